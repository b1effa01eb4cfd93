#pragma once

#include "engine/form2.h"
#include "engine/protocol.h"
#include "fakemainwindow.h"
#include "loopbackserver.h"
#include "platform/settings.h"

#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace kivaro::test {

// An engine wired to a fake main window and a scripted server on loopback.
struct EngineRig
{
    LoopbackServer server;
    FakeMainWindow main;
    std::unique_ptr<Form2> form;
    QStringList progress; // every progress value written, in order

    EngineRig()
    {
        if (!server.listen())
            qFatal("cannot listen on loopback");
        form = makeEngine(server.address());
    }

    std::unique_ptr<Form2> makeEngine(const QString &site)
    {
        Settings settings;
        settings.site = QUrl(site);
        auto engine = std::make_unique<Form2>(settings, [this]() -> MainWindowInterface & { return main; });
        QObject::connect(engine.get(), &QWidget::windowTitleChanged, engine.get(),
                         [this](const QString &value) {
                             progress.append(value);
                             main.events.append(QStringLiteral("progress=") + value);
                         });
        return engine;
    }

    // Answers search pages and video pages with the given bodies.
    void serve(const QByteArray &searchPage, const QByteArray &videoPage, int chunkSize = 0)
    {
        server.setScript([=](const QByteArray &line) {
            const QByteArray page = line.contains("/results?") ? searchPage : videoPage;
            return LoopbackServer::Reply { LoopbackServer::ok(page), chunkSize };
        });
    }

    // True once the engine has handed the player a video address.
    bool waitForVideo(int timeoutMs = 5000)
    {
        return QTest::qWaitFor([&] { return main.flag == protocol::SearchResultFound; }, timeoutMs);
    }
};

inline QByteArray resultsPage(const QByteArray &id)
{
    return "<html><body><div class=\"v\"><a href=\"/watch?v=" + id
        + "\" class=\"vLink\"><img src=\"t.jpg\"></a></div></body></html>";
}

inline QByteArray watchPage(const QByteArray &parameters, const QByteArray &title)
{
    return "<html><head><title>" + title
        + "</title></head><body><script>var fo = new SWFObject(\"/player2.swf?video_id=" + parameters
        + "\", \"movie_player\", \"450\", \"370\", 7);</script></body></html>";
}

} // namespace kivaro::test
