// The search operation and the fetch: request bytes, progress values, connections that fail or
// never answer, and searches that overtake each other.

#include "deafport.h"
#include "engine/recentlist.h"
#include "enginetestcase.h"
#include "platform/socket.h"
#include "platform/tag.h"
#include "testhelpers.h"

#include <QAction>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMenu>
#include <QTcpSocket>
#include <QTimer>

#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using namespace kivaro;
using namespace kivaro::test;

namespace {

QByteArray expectedRequest(const QString &site, const QByteArray &searchQuery)
{
    return "GET " + site.toLatin1() + "/results?search_query=" + searchQuery
        + "+music+video&search=Search HTTP/1.0\r\nAccept: */*\r\nAccept: text/html\r\n\r\n";
}

// A loopback server on a thread of its own that deals with the connections one after the other, as
// scripted, with plain blocking calls, so that it can end a connection while the engine's event loop
// is busy elsewhere.
class ThreadedServer
{
public:
    enum Action {
        CloseAtOnce, // accept and close, reading nothing
        ResetAfterRequest, // read the request, then reset the connection
        Serve, // read the request, send the reply, close
    };
    struct Step
    {
        Action action = Serve;
        QByteArray reply;
    };

    explicit ThreadedServer(QList<Step> script)
        : m_script(std::move(script))
    {
        sockaddr_in address {};
        m_listener = listenOnLoopback(8, address);
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([this] { run(); });
    }
    ~ThreadedServer()
    {
        ::shutdown(m_listener, SHUT_RDWR); // ends an accept() still waiting
        m_thread.join();
        ::close(m_listener);
    }
    quint16 port() const { return m_port; }
    Action action(int connection) const
    {
        return connection >= 1 && connection <= m_script.size() ? m_script.at(connection - 1).action : Serve;
    }

private:
    void run()
    {
        for (const Step &step : std::as_const(m_script)) {
            const int fd = ::accept(m_listener, nullptr, nullptr);
            if (fd < 0)
                return;
            // A failing test must not leave the thread waiting for a request that never comes.
            const timeval patience { 5, 0 };
            ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &patience, sizeof patience);
            if (step.action != CloseAtOnce) {
                QByteArray request;
                char buffer[1024];
                while (!request.contains("\r\n\r\n")) {
                    const ssize_t count = ::read(fd, buffer, sizeof buffer);
                    if (count <= 0)
                        break;
                    request.append(buffer, count);
                }
            }
            if (step.action == Serve)
                ::write(fd, step.reply.constData(), size_t(step.reply.size()));
            if (step.action == ResetAfterRequest) {
                const linger abortive { 1, 0 };
                ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
            }
            ::close(fd);
        }
    }

    QList<Step> m_script;
    int m_listener = -1;
    quint16 m_port = 0;
    std::thread m_thread;
};

quint16 closedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

} // namespace

Q_DECLARE_METATYPE(ThreadedServer::Step)

class TestSearch : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void requestBytes_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QByteArray>("searchQuery");
        QTest::newRow("two words") << QStringLiteral("red band") << QByteArray("red+band");
        QTest::newRow("double space") << QStringLiteral("a  b") << QByteArray("a++b");
        QTest::newRow("leading and trailing space") << QStringLiteral(" a ") << QByteArray("+a+");
        QTest::newRow("nothing escaped") << QStringLiteral("AC/DC & co") << QByteArray("AC/DC+&+co");
        QTest::newRow("plus hash percent quote")
            << QStringLiteral("a+b#c%d\"e") << QByteArray("a+b#c%d\"e");
        QTest::newRow("empty") << QString() << QByteArray();
        QTest::newRow("beyond ASCII as UTF-8") << QStringLiteral("Caf\u00e9 \u00c9mile") << QByteArray("Caf\xc3\xa9+\xc3\x89mile");
    }

    void requestBytes()
    {
        QFETCH(QString, query);
        QFETCH(QByteArray, searchQuery);
        EngineRig rig;
        rig.serve("no results here", "");

        rig.form->Play(query);
        QVERIFY(rig.server.waitForConnections(1));
        // The connection carries the request and nothing after it.
        QTRY_COMPARE(rig.progress.constLast(), QStringLiteral("0"));
        QTRY_VERIFY(!rig.main.notices.isEmpty());
        QCOMPARE(rig.server.received().constFirst(), expectedRequest(rig.server.address(), searchQuery));
        QCOMPARE(rig.form->Text4->text(), query);
    }

    void playBlanksThePlayerBeforeAnything()
    {
        EngineRig rig;
        rig.serve(resultsPage("vid"), watchPage("vid&l=1", "YouTube - T"));
        rig.main.player.addresses = {QStringLiteral("http://old/player")};
        rig.form->Play(QStringLiteral("q"));
        QCOMPARE(rig.main.player.addresses.size(), 2);
        QCOMPARE(rig.main.player.addresses.at(1), Settings::neutralAddress());
        QCOMPARE(rig.main.events.constFirst(), QStringLiteral("flash"));
        QVERIFY(rig.waitForVideo());
    }

    void progressValues()
    {
        EngineRig rig;
        rig.serve(resultsPage("vid"), watchPage("vid&l=1", "YouTube - T"));
        QCOMPARE(rig.form->progressValue(), QStringLiteral("Kivaro"));

        rig.form->Play(QStringLiteral("q"));
        QCOMPARE(rig.form->progressValue(), QStringLiteral("0"));
        QVERIFY(rig.waitForVideo());
        QCOMPARE(rig.form->progressValue(), QStringLiteral("30"));
        // "10" at the end of every fetch, at once replaced by "0" and then "20".
        QCOMPARE(rig.progress, QStringList({QStringLiteral("10"), QStringLiteral("0"), QStringLiteral("10"),
                                            QStringLiteral("20"), QStringLiteral("30")}));
        QCOMPARE(rig.server.requestLines().at(1),
                 "GET " + rig.server.address().toLatin1() + "/watch?v=vid HTTP/1.0");
    }

    void secondSearchDiscardsTheFirst()
    {
        EngineRig rig;
        // The first search page arrives in part and never ends; its connection must be dropped.
        rig.server.setScript([](const QByteArray &line) {
            if (line.contains("search_query=slow"))
                return LoopbackServer::Reply{"HTTP/1.0 200 OK\r\n\r\n" + resultsPage("fromSlow"), 0, false};
            if (line.contains("search_query=fast"))
                return LoopbackServer::Reply{LoopbackServer::ok(resultsPage("fromFast"))};
            return LoopbackServer::Reply{LoopbackServer::ok(watchPage(line.contains("fromFast") ? "fast&l=2" : "slow",
                                                                      "YouTube - Fast"))};
        });
        QSignalSpy firstData(rig.form->sckTCP, &Socket::dataArrival);
        rig.form->Play(QStringLiteral("slow"));
        QVERIFY(firstData.wait());
        QVERIFY(rig.form->Text1.bytes().contains("fromSlow"));

        rig.form->Play(QStringLiteral("fast"));
        QVERIFY(!rig.form->Text1.bytes().contains("fromSlow"));
        QVERIFY(rig.waitForVideo());
        QCOMPARE(rig.main.player.movie(), rig.server.address() + QStringLiteral("/player2.swf?video_id=fast&l=2"));
        QCOMPARE(rig.main.title, QStringLiteral("Fast"));
        const QList<QByteArray> lines = rig.server.requestLines();
        QCOMPARE(lines.size(), 3);
        QVERIFY(lines.at(2).contains("/watch?v=fromFast "));
    }

    void searchStartedWhileSearchPageIsRead_data()
    {
        // The reading lets events run twice before it fetches the video's page: once right after
        // the close, once after it has set the video's address.
        QTest::addColumn<bool>("secondPass");
        QTest::newRow("first time events run") << false;
        QTest::newRow("second time events run") << true;
    }

    void searchStartedWhileSearchPageIsRead()
    {
        // A search the user starts while the engine lets events run inside its page reading must
        // win: the older reading may not fetch anything over the newer search.
        QFETCH(bool, secondPass);
        EngineRig rig;
        rig.server.setScript([](const QByteArray &line) {
            if (line.contains("search_query=first"))
                return LoopbackServer::Reply{LoopbackServer::ok(resultsPage("firstVideo"))};
            if (line.contains("search_query=second"))
                return LoopbackServer::Reply{LoopbackServer::ok(resultsPage("secondVideo"))};
            return LoopbackServer::Reply{LoopbackServer::ok(
                watchPage(line.contains("secondVideo") ? "secondVideo" : "firstVideo", "YouTube - X"))};
        });
        bool queued = false;
        auto startSecondSearch = [&] {
            if (queued)
                return;
            queued = true;
            QMetaObject::invokeMethod(rig.form.get(), [&] { rig.form->Play(QStringLiteral("second")); },
                                      Qt::QueuedConnection);
        };
        if (secondPass) {
            QObject::connect(rig.form->Text2, &QLineEdit::textChanged, rig.form.get(),
                             [&](const QString &text) {
                                 if (text.endsWith(QLatin1String("/watch?v=firstVideo")))
                                     startSecondSearch();
                             });
        } else {
            QObject::connect(rig.form->sckTCP, &Socket::stateChanged, rig.form.get(),
                             [&](Socket::State state) {
                                 if (state == Socket::Closing)
                                     startSecondSearch();
                             });
        }
        rig.form->Play(QStringLiteral("first"));
        QVERIFY(rig.waitForVideo());
        QCOMPARE(rig.main.player.movie(), rig.server.address() + QStringLiteral("/player2.swf?video_id=secondVideo"));
        letAWhilePass(); // a stray fetch would reach the server meanwhile
        const QList<QByteArray> lines = rig.server.requestLines();
        QCOMPARE(lines.size(), 3);
        QVERIFY(lines.at(1).contains("search_query=second"));
        QVERIFY(lines.at(2).contains("/watch?v=secondVideo "));
        QCOMPARE(rig.form->progressValue(), QStringLiteral("30"));
    }

    void secondSearchClosesTheOldConnectionFirst()
    {
        EngineRig rig;
        rig.server.setScript([](const QByteArray &) { return LoopbackServer::Reply { {}, 0, false, true }; });
        rig.form->Play(QStringLiteral("first"));
        QVERIFY(rig.server.waitForConnections(1));

        // When the new connection starts, no connection of the engine may still be open.
        QStringList openAtNewConnection;
        QObject::connect(rig.form->sckTCP, &Socket::stateChanged, rig.form.get(), [&](Socket::State state) {
            if (state != Socket::ResolvingHost)
                return;
            for (const QTcpSocket *tcp : rig.form->sckTCP->findChildren<QTcpSocket *>()) {
                if (tcp->state() != QAbstractSocket::UnconnectedState)
                    openAtNewConnection.append(QString::number(tcp->peerPort()));
            }
        });
        rig.form->Play(QStringLiteral("second"));
        QVERIFY(rig.server.waitForConnections(2));
        QCOMPARE(openAtNewConnection, QStringList());
    }

    void refusedConnection()
    {
        EngineRig rig;
        auto engine = rig.makeEngine(QStringLiteral("http://127.0.0.1:%1").arg(closedPort()));
        QElapsedTimer clock;
        clock.start();
        engine->Play(QStringLiteral("red band"));
        QVERIFY(clock.elapsed() < 5000);
        QCOMPARE(rig.main.notices.size(), 1);
        QVERIFY(rig.main.notices.constFirst().startsWith(QStringLiteral("Cannot reach the music site 127.0.0.1:")));
        QCOMPARE(engine->progressValue(), QStringLiteral("0"));
        QCOMPARE(rig.main.player.addresses, QStringList{Settings::neutralAddress()});
        QCOMPARE(rig.main.flag, QString());
    }

    void connectionWithoutAnswerIsGivenUp()
    {
        DeafPort deaf;
        EngineRig rig;
        auto engine = rig.makeEngine(QStringLiteral("http://127.0.0.1:%1").arg(deaf.port()));
        engine->setConnectTimeout(300);
        QElapsedTimer clock;
        clock.start();
        engine->Play(QStringLiteral("red band"));
        QVERIFY2(clock.elapsed() >= 250, "the wait ended before the connection was given up");
        QVERIFY(clock.elapsed() < 5000);
        QCOMPARE(rig.main.notices.size(), 1);
        QVERIFY(rig.main.notices.constFirst().contains(QStringLiteral("no answer within 300 ms")));
        QCOMPARE(engine->progressValue(), QStringLiteral("0"));
    }

    void responseThatNeverEnds()
    {
        EngineRig rig;
        rig.server.setScript([](const QByteArray &line) {
            if (line.contains("search_query=hang"))
                return LoopbackServer::Reply{{}, 0, true, true};
            return LoopbackServer::Reply{LoopbackServer::ok(resultsPage("v"))};
        });
        rig.form->Play(QStringLiteral("hang"));
        QCOMPARE(rig.form->progressValue(), QStringLiteral("0"));
        QVERIFY(rig.server.waitForConnections(1));
        letAWhilePass(100);
        QCOMPARE(rig.form->progressValue(), QStringLiteral("0"));
        QVERIFY(rig.main.notices.isEmpty());

        // The user can search on; the hanging connection is dropped.
        rig.server.setScript([](const QByteArray &line) {
            return LoopbackServer::Reply{LoopbackServer::ok(
                line.contains("/results?") ? resultsPage("v") : watchPage("v", "YouTube - Found"))};
        });
        rig.form->Play(QStringLiteral("next"));
        QVERIFY(rig.waitForVideo());
        QCOMPARE(rig.main.title, QStringLiteral("Found"));
    }

    void connectionEndsWhileTheFetchWaits_data()
    {
        using Step = ThreadedServer::Step;
        QTest::addColumn<QList<Step>>("script");

        // Whenever the server ends the connection, the engine reads what it has, an empty page
        // here, which is a page without the marker; and no wait of the engine goes on after it.
        const Step searchPage { ThreadedServer::Serve, "HTTP/1.0 200 OK\r\n\r\n" + resultsPage("v") };
        const Step closes { ThreadedServer::CloseAtOnce, {} };
        const Step resets { ThreadedServer::ResetAfterRequest, {} };
        QTest::newRow("search page: closed in the pass that connects") << QList<Step> { closes };
        QTest::newRow("video page: closed in the pass that connects") << QList<Step> { searchPage, closes };
        QTest::newRow("search page: reset once the request is in") << QList<Step> { resets };
        QTest::newRow("video page: reset once the request is in") << QList<Step> { searchPage, resets };
    }

    void connectionEndsWhileTheFetchWaits()
    {
        QFETCH(QList<ThreadedServer::Step>, script);
        const int ending = int(script.size());
        script << ThreadedServer::Step { ThreadedServer::Serve, "HTTP/1.0 200 OK\r\n\r\n" + resultsPage("v") }
               << ThreadedServer::Step { ThreadedServer::Serve,
                                         "HTTP/1.0 200 OK\r\n\r\n" + watchPage("v", "YouTube - Again") };
        ThreadedServer server(script);
        EngineRig rig;
        auto engine = rig.makeEngine(QStringLiteral("http://127.0.0.1:%1").arg(server.port()));

        // A connection the server closes at once: its close is let in while the socket is still
        // telling that it has connected, so the engine's wait learns both from one pass.
        bool closedInConnectPass = false;
        QObject context;
        QObject::connect(engine->sckTCP, &Socket::stateChanged, &context, [&](Socket::State state) {
            const int connection = int(engine->sckTCP->connectionSerial());
            if (state != Socket::Connected || server.action(connection) != ThreadedServer::CloseAtOnce)
                return;
            closedInConnectPass
                = QTest::qWaitFor([&] { return engine->sckTCP->state() != Socket::Connected; });
        });

        engine->Play(QStringLiteral("q"));
        QTRY_COMPARE(rig.main.notices, QStringList { QStringLiteral("No Music Found!") });
        QCOMPARE(int(engine->sckTCP->connectionSerial()), ending);
        QCOMPARE(closedInConnectPass, server.action(ending) == ThreadedServer::CloseAtOnce);
        QCOMPARE(engine->progressValue(), QStringLiteral("0"));
        QCOMPARE(engine->fetchStage(), QString());
        QCOMPARE(rig.main.flag, QString());
        QCOMPARE(rig.main.player.addresses, QStringList { Settings::neutralAddress() });

        // The engine is free for the next search.
        engine->Play(QStringLiteral("again"));
        QVERIFY(rig.waitForVideo());
        QCOMPARE(rig.main.title, QStringLiteral("Again"));
    }

    void waitingForConnectionKeepsEventsFlowing()
    {
        DeafPort deaf;
        EngineRig rig;
        auto engine = rig.makeEngine(QStringLiteral("http://127.0.0.1:%1").arg(deaf.port()));
        engine->setConnectTimeout(400);
        int ticks = 0;
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
        timer.start(20);
        engine->Play(QStringLiteral("x"));
        QVERIFY2(ticks >= 5, qPrintable(QStringLiteral("only %1 timer ticks during the wait").arg(ticks)));
    }

    void stopStreamingEndsOnlyTheVideo()
    {
        EngineRig rig;
        rig.server.setScript([](const QByteArray &line) {
            return LoopbackServer::Reply{LoopbackServer::ok(line.contains("/results?") ? resultsPage("v")
                                                                                       : watchPage("v", "YouTube - T")),
                                         8};
        });
        rig.main.title = QStringLiteral("Old");
        rig.main.flag = QStringLiteral("yes");
        rig.form->Play(QStringLiteral("q"));
        rig.form->StpStream->trigger();
        QCOMPARE(rig.main.player.movie(), Settings::neutralAddress());
        QCOMPARE(rig.main.title, QStringLiteral("Old"));
        QCOMPARE(rig.form->progressValue(), QStringLiteral("0"));
        QCOMPARE(rig.form->fetchStage(), QString());
        // The search goes on and starts its video.
        QTRY_COMPARE_WITH_TIMEOUT(rig.main.title, QStringLiteral("T"), 5000);
        QCOMPARE(rig.main.player.movie(), rig.server.address() + QStringLiteral("/player2.swf?video_id=v"));
    }

    void menus()
    {
        EngineRig rig;
        auto entries = [](QMenu *menu) {
            QStringList names;
            for (QAction *a : menu->actions())
                names << a->objectName() + QLatin1Char(':') + (a->isSeparator() ? QStringLiteral("-") : a->text());
            return names;
        };
        QCOMPARE(rig.form->mnumnu->title(), QStringLiteral("Menu"));
        QCOMPARE(entries(rig.form->mnumnu),
                 QStringList({QStringLiteral("mnuLoadH:Load Playlist"), QStringLiteral("mnusaveH:Save Playlist"),
                              QStringLiteral("lin1:-"), QStringLiteral("StpStream:Stop Streaming"),
                              QStringLiteral("mnuSkin:Choose Skin")}));
        QStringList recent{QStringLiteral("Addplay:Add to playlist"), QStringLiteral("lin2:-")};
        for (int i = 1; i <= 10; ++i)
            recent << QStringLiteral("vb%1:vb%1").arg(i);
        QCOMPARE(entries(rig.form->voorb), recent);
        for (QAction *slot : rig.form->vb)
            QVERIFY(!slot->isVisible());

        // "Add to playlist" keeps the title as shown, with the search box's text as its query.
        rig.main.title = QStringLiteral("Shown Title");
        rig.main.search = QStringLiteral("shown");
        rig.main.flag = QStringLiteral("yes");
        rig.form->Addplay->trigger();
        QCOMPARE(rig.form->recentList->caption(0), QStringLiteral("Shown Title"));
        QCOMPARE(rig.form->recentList->query(0), QStringLiteral("shown"));
        QVERIFY(rig.form->vb[0]->isVisible());
        rig.form->mnuSkin->trigger();
        QCOMPARE(rig.main.skinChooserShown, 1);
    }

    void choosingASlotReplaysItsQuery()
    {
        EngineRig rig;
        rig.serve(resultsPage("v"), watchPage("v", "YouTube - Kite & Compass - Open Water"));
        rig.form->recentList->setCaption(0, QStringLiteral("Kite & Compass - Open Water"));
        setTag(rig.form->vb[0], QStringLiteral("kite compass"));
        QCOMPARE(rig.form->vb[0]->text(), QStringLiteral("Kite && Compass - Open Water"));

        rig.form->vb[0]->trigger();
        QCOMPARE(rig.form->Text4->text(), QStringLiteral("kite compass"));
        QCOMPARE(rig.main.search, QStringLiteral("Kite & Compass - Open Water"));
        QCOMPARE(rig.main.events.constLast(), QStringLiteral("focus"));
        QVERIFY(rig.server.waitForConnections(1));
        QVERIFY(rig.server.requestLines().constFirst().contains("search_query=kite+compass+music"));
    }
};

QTEST_MAIN(TestSearch)
#include "tst_search.moc"
