#pragma once

#include "app/windows.h"
#include "engine/form2.h"
#include "loopbackserver.h"
#include "mainwindow/form1.h"
#include "mainwindow/picturebox.h"
#include "recordingplayer.h"

#include <QPainter>

namespace kivaro::test {

// Pictures that tell at a glance which stored look an element shows: each a plain colour of its own.
// The backgrounds have a pure red bottom-left corner, which the window's shape must leave out.
inline StoredLooks plainLooks()
{
    int hue = 0;
    auto plain = [&hue](int w, int h) {
        QPixmap p(w, h);
        p.fill(QColor::fromHsv((hue += 17) % 360, 160, 200));
        return p;
    };
    auto background = [&](int w, int h) {
        QPixmap p = plain(w, h);
        QPainter painter(&p);
        painter.fillRect(0, h - 20, 20, 20, QColor(255, 0, 0));
        return p;
    };
    StoredLooks looks;
    looks.IMn = background(391, 103);
    looks.IMd = background(391, 103);
    looks.ImGo = background(391, 103);
    looks.En = plain(36, 29);
    looks.Eo = plain(36, 29);
    looks.Ed = plain(36, 29);
    looks.Dn = plain(36, 29);
    looks.Doo = plain(36, 29);
    looks.Dd = plain(36, 29);
    looks.Xn = plain(37, 30);
    looks.Xo = plain(37, 30);
    looks.Xd = plain(37, 30);
    for (int k = 0; k < 8; ++k)
        looks.P[k] = plain(68, 70);
    looks.historyGlyph = plain(13, 12);
    return looks;
}

// The program's windows against a scripted server, with a recording player and without ending the
// test process when the exit button is used.
struct Form1Rig
{
    LoopbackServer server;
    std::unique_ptr<Windows> windows;
    int programEnded = 0;
    // Runs when the program would end, after the count.
    std::function<void()> onProgramEnd;
    QList<QUrl> opened;

    explicit Form1Rig(const QString &site = QString(), const QString &dataDir = QString())
    {
        if (!server.listen())
            qFatal("cannot listen on loopback");
        Settings settings;
        settings.site = QUrl(site.isEmpty() ? server.address() : site);
        settings.dataDir = dataDir;
        settings.shop = QUrl(QStringLiteral("http://shop.example"));
        windows = std::make_unique<Windows>(
            settings, [] { return std::make_unique<RecordingPlayer>(); }, [this] {
                ++programEnded;
                if (onProgramEnd)
                    onProgramEnd();
            });
        form().setUrlOpener([this](const QUrl &url) { opened.append(url); });
    }

    Form1 &form() { return windows->form1(); }
    Form2 &engine() { return windows->form2(); }
    RecordingPlayer &player() { return static_cast<RecordingPlayer &>(form().flash()); }
};

} // namespace kivaro::test
