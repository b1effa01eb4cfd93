// Reading the two pages: what is cut out of them, what the player and the main window are given,
// and what happens when a page is not what the engine expects.

#include "enginetestcase.h"
#include "platform/socket.h"
#include "platform/tag.h"

#include <QLabel>

using namespace kivaro;
using namespace kivaro::test;

class TestPageReading : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void videoAndTitle_data()
    {
        QTest::addColumn<QByteArray>("searchPage");
        QTest::addColumn<QByteArray>("videoPage");
        QTest::addColumn<QByteArray>("videoRequest");
        QTest::addColumn<QString>("playerSuffix");
        QTest::addColumn<QString>("title");

        QTest::newRow("site layout")
            << QByteArray("<a href=\"/watch?v=AbCdEfGhIjK\" class=\"vLink\">")
            << QByteArray("<title>YouTube - Red Band - Blue Song</title>"
                          "var fo = new SWFObject(\"/player2.swf?video_id=AbCdEfGhIjK&l=212\", \"movie\"")
            << QByteArray("/watch?v=AbCdEfGhIjK") << QStringLiteral("AbCdEfGhIjK&l=212")
            << QStringLiteral("Red Band - Blue Song");
        QTest::newRow("two results: the first in page order")
            << QByteArray("<a href=\"/watch?v=second\"> <a href=\"/watch?v=third\">").prepend(
                   "<p>a href=\"/watch?v=first\" x</p>")
            << watchPage("first", "YouTube - One") << QByteArray("/watch?v=first") << QStringLiteral("first")
            << QStringLiteral("One");
        QTest::newRow("prefix is case-sensitive") << resultsPage("v") << watchPage("v", "youtube - x")
                                                  << QByteArray("/watch?v=v") << QStringLiteral("v")
                                                  << QStringLiteral("youtube - x");
        QTest::newRow("title without prefix shown whole") << resultsPage("v") << watchPage("v", "Just a Title")
                                                          << QByteArray("/watch?v=v") << QStringLiteral("v")
                                                          << QStringLiteral("Just a Title");
        QTest::newRow("every prefix removed, spaces kept, breaks as spaces")
            << resultsPage("v") << watchPage("v", "\n YouTube - A YouTube - B \n") << QByteArray("/watch?v=v")
            << QStringLiteral("v") << QStringLiteral("  A B  ");
        QTest::newRow("empty identifier and parameters are still used")
            << QByteArray("a href=\"/watch?v=\"") << watchPage("", "YouTube - E") << QByteArray("/watch?v=")
            << QString() << QStringLiteral("E");
        QTest::newRow("parameters without closing quote run to the end")
            << resultsPage("v") << QByteArray("<title>T</title>var fo = new SWFObject(\"/player2.swf?video_id=v&l=9")
            << QByteArray("/watch?v=v") << QStringLiteral("v&l=9") << QStringLiteral("T");
        QTest::newRow("UTF-8 title") << resultsPage("v") << watchPage("v", "YouTube - \xc3\x89mile Sorel - Caf\xc3\xa9")
                                     << QByteArray("/watch?v=v") << QStringLiteral("v")
                                     << QStringLiteral("\u00c9mile Sorel - Caf\u00e9");
        QTest::newRow("character references decoded")
            << resultsPage("v") << watchPage("v", "YouTube - Kite &amp; Compass &#8211; Live") << QByteArray("/watch?v=v")
            << QStringLiteral("v") << QStringLiteral("Kite & Compass \u2013 Live");
        QTest::newRow("DEL, blanks and bytes beyond ASCII are no control bytes")
            << QByteArray("a href=\"/watch?v=a b\"") << watchPage("v\x7f \xc3\xa9", "T")
            << QByteArray("/watch?v=a b") << QStringLiteral("v\u007f \u00e9") << QStringLiteral("T");
        // A title's line breaks would make new lines in the playlist file.
        QTest::newRow("line breaks in the title become spaces")
            << resultsPage("v") << watchPage("v", "A\r\nB") << QByteArray("/watch?v=v") << QStringLiteral("v")
            << QStringLiteral("A  B");
        QTest::newRow("markup in the title stays text") << resultsPage("v") << watchPage("v", "YouTube - <b>Bold</b>")
                                                        << QByteArray("/watch?v=v") << QStringLiteral("v")
                                                        << QStringLiteral("<b>Bold</b>");
    }

    void videoAndTitle()
    {
        QFETCH(QByteArray, searchPage);
        QFETCH(QByteArray, videoPage);
        QFETCH(QByteArray, videoRequest);
        QFETCH(QString, playerSuffix);
        QFETCH(QString, title);
        EngineRig rig;
        rig.serve(searchPage, videoPage);

        rig.form->Play(QStringLiteral("red band"));
        QVERIFY(rig.waitForVideo());
        QCOMPARE(rig.server.requestLines().at(1), "GET " + rig.server.address().toLatin1() + videoRequest + " HTTP/1.0");
        QCOMPARE(rig.main.player.movie(), rig.server.address() + QStringLiteral("/player2.swf?video_id=") + playerSuffix);
        QCOMPARE(rig.main.title, title);
        QCOMPARE(rig.form->fetchStage(), QString());
        // The player has the video before the flag turns, and the flag turns before the title.
        const QStringList tail = rig.main.events.mid(rig.main.events.size() - 4);
        QCOMPARE(tail, QStringList({QStringLiteral("flash"), QStringLiteral("progress=30"), QStringLiteral("flag=yes"),
                                    QStringLiteral("title=") + title}));
    }

    void markersSplitAcrossManyPackets()
    {
        EngineRig rig;
        rig.serve(QByteArray(300, ' ') + resultsPage("AbCdEfGhIjK"),
                  watchPage("AbCdEfGhIjK&l=212&t=xyz", "YouTube - Split Title"), 3);
        QSignalSpy arrivals(rig.form->sckTCP, &Socket::dataArrival);
        rig.form->Play(QStringLiteral("split"));
        QVERIFY(rig.waitForVideo(10000));
        QVERIFY2(arrivals.size() > 20, qPrintable(QString::number(arrivals.size())));
        QCOMPARE(rig.main.player.movie(),
                 rig.server.address() + QStringLiteral("/player2.swf?video_id=AbCdEfGhIjK&l=212&t=xyz"));
        QCOMPARE(rig.main.title, QStringLiteral("Split Title"));
    }

    void dataArrivesBeforeClose()
    {
        // The whole page and the close come together; the page must still be read complete.
        EngineRig rig;
        const QByteArray padding(200000, 'x');
        rig.serve(padding + resultsPage("late"), padding + watchPage("late", "YouTube - Late"));
        rig.form->Play(QStringLiteral("late"));
        QVERIFY(rig.waitForVideo());
        QCOMPARE(rig.main.title, QStringLiteral("Late"));
    }

    void pagesWithoutMarkers_data()
    {
        QTest::addColumn<QByteArray>("searchPage");
        QTest::addColumn<QByteArray>("videoPage");
        QTest::addColumn<int>("requests");

        QTest::newRow("search found nothing") << QByteArray("<html>No videos found</html>") << QByteArray() << 1;
        QTest::newRow("marker in other letter case")
            << QByteArray("<A HREF=\"/watch?v=abc\">") << watchPage("abc", "YouTube - T") << 1;
        QTest::newRow("empty response") << QByteArray() << QByteArray() << 1;
        QTest::newRow("video page without player marker")
            << resultsPage("abc") << QByteArray("<title>YouTube - Removed</title>This video is unavailable") << 2;
        // A cut piece goes into the next request line or the player's argument: a control byte in it
        // would let the page add header lines or arguments, so such a piece counts as none.
        QTest::newRow("identifier with CR LF")
            << QByteArray("<a href=\"/watch?v=abc\r\nX-Added: 1\">") << watchPage("abc", "YouTube - T") << 1;
        QTest::newRow("identifier with NUL")
            << (QByteArray("<a href=\"/watch?v=ab") + '\0' + "c\">") << watchPage("abc", "YouTube - T") << 1;
        QTest::newRow("identifier with TAB")
            << QByteArray("<a href=\"/watch?v=ab\tc\">") << watchPage("abc", "YouTube - T") << 1;
        QTest::newRow("parameters with LF")
            << resultsPage("abc") << watchPage("abc\n--script=x", "YouTube - T") << 2;
        QTest::newRow("parameters with ESC")
            << resultsPage("abc") << watchPage("abc&l=1\x1b", "YouTube - T") << 2;
    }

    void pagesWithoutMarkers()
    {
        QFETCH(QByteArray, searchPage);
        QFETCH(QByteArray, videoPage);
        QFETCH(int, requests);
        EngineRig rig;
        rig.serve(searchPage, videoPage);
        rig.main.title = QStringLiteral("Previous Title");

        rig.form->Play(QStringLiteral("nothing"));
        QTRY_COMPARE(rig.main.notices, QStringList{QStringLiteral("No Music Found!")});
        QCOMPARE(rig.server.received().size(), requests);
        QCOMPARE(rig.main.flag, QString());
        QCOMPARE(rig.main.title, QStringLiteral("Previous Title"));
        QCOMPARE(rig.main.player.addresses, QStringList{Settings::neutralAddress()});
        QCOMPARE(rig.form->progressValue(), QStringLiteral("0"));
        QCOMPARE(rig.form->fetchStage(), QString());

        // The engine is ready for the next search.
        rig.serve(resultsPage("ok"), watchPage("ok", "YouTube - Works"));
        rig.form->Play(QStringLiteral("again"));
        QVERIFY(rig.waitForVideo());
        QCOMPARE(rig.main.title, QStringLiteral("Works"));
    }

    void pagesPastTheBound_data()
    {
        QTest::addColumn<bool>("videoStage"); // the long page is the video page, not the search page
        QTest::addColumn<qsizetype>("length");
        QTest::addColumn<bool>("close");
        QTest::addColumn<bool>("found");

        // Eight MiB is read; one byte more is no page, whether or not the server ever stops.
        constexpr qsizetype Bound = 8 * 1024 * 1024;
        QTest::newRow("search page of exactly the bound") << false << Bound << true << true;
        QTest::newRow("search page one byte past") << false << Bound + 1 << true << false;
        QTest::newRow("search page past the bound, never ending") << false << Bound + 65536 << false << false;
        QTest::newRow("video page of exactly the bound") << true << Bound << true << true;
        QTest::newRow("video page past the bound, never ending") << true << Bound + 65536 << false << false;
    }

    void pagesPastTheBound()
    {
        QFETCH(bool, videoStage);
        QFETCH(qsizetype, length);
        QFETCH(bool, close);
        QFETCH(bool, found);
        // The markers come first: what is read past the bound never counts, whatever it holds.
        const QByteArray search = "HTTP/1.0 200 OK\r\n\r\n" + resultsPage("big");
        const QByteArray video = "HTTP/1.0 200 OK\r\n\r\n" + watchPage("big&l=1", "YouTube - Big");
        EngineRig rig;
        rig.server.setScript([&](const QByteArray &line) {
            const bool searchPage = line.contains("/results?");
            QByteArray page = searchPage ? search : video;
            if (searchPage == videoStage)
                return LoopbackServer::Reply { page };
            page += QByteArray(length - page.size(), ' ');
            return LoopbackServer::Reply { page, 0, close };
        });

        rig.form->Play(QStringLiteral("big"));
        if (found) {
            QVERIFY(rig.waitForVideo(20000));
            QCOMPARE(rig.main.title, QStringLiteral("Big"));
            return;
        }
        QTRY_COMPARE_WITH_TIMEOUT(rig.main.notices, QStringList { QStringLiteral("No Music Found!") }, 20000);
        QCOMPARE(rig.server.received().size(), videoStage ? 2 : 1);
        QCOMPARE(rig.form->sckTCP->state(), Socket::Closed);
        QVERIFY(rig.form->Text1.bytes().size() <= 8 * 1024 * 1024);
        QCOMPARE(rig.main.player.addresses, QStringList { Settings::neutralAddress() });
        QCOMPARE(rig.form->progressValue(), QStringLiteral("0"));
        QCOMPARE(rig.form->fetchStage(), QString());

        // The next search works.
        rig.serve(resultsPage("ok"), watchPage("ok", "YouTube - Works"));
        rig.form->Play(QStringLiteral("again"));
        QVERIFY(rig.waitForVideo());
        QCOMPARE(rig.main.title, QStringLiteral("Works"));
    }

    void videoPageWithoutTitleNamesTheQuery()
    {
        EngineRig rig;
        rig.serve(resultsPage("v"), "var fo = new SWFObject(\"/player2.swf?video_id=v&l=3\"");
        rig.main.title = QStringLiteral("Previous Title");
        rig.form->Play(QStringLiteral("nova ellis"));
        QVERIFY(rig.waitForVideo());
        QCOMPARE(rig.main.player.movie(), rig.server.address() + QStringLiteral("/player2.swf?video_id=v&l=3"));
        QCOMPARE(rig.main.title, QStringLiteral("nova ellis"));
        QVERIFY(rig.main.notices.isEmpty());
    }

    void markersAreTheLabelsData()
    {
        EngineRig rig;
        rig.form->Label3->setText(QStringLiteral("<vid>"));
        setTag(rig.form->Label3, QStringLiteral("</vid>"));
        rig.serve("<vid>custom</vid>", watchPage("p", "YouTube - T"));
        rig.form->Play(QStringLiteral("q"));
        QVERIFY(rig.waitForVideo());
        QVERIFY(rig.server.requestLines().at(1).contains("/watch?v=custom "));
    }
};

QTEST_MAIN(TestPageReading)
#include "tst_pagereading.moc"
