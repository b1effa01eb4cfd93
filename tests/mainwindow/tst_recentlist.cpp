// The recent list: adding titles to the engine's ten slots, the wait for a found video, choosing an
// entry, and keeping the list in the playlist file across runs.

#include "engine/protocol.h"
#include "engine/recentlist.h"
#include "enginetestcase.h"
#include "form1rig.h"
#include "platform/tag.h"
#include "testhelpers.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>

#include <ctime>

using namespace kivaro;
using namespace kivaro::test;

namespace {

const QString Found = protocol::SearchResultFound;

// "title|query" for each filled slot, newest first; empty slots must be hidden and keep their names.
QStringList listed(Form2 &engine)
{
    QStringList entries;
    for (int slot = 0; slot < int(engine.vb.size()); ++slot) {
        QAction *entry = engine.vb[slot];
        if (engine.recentList->isEmpty(slot)) {
            if (entry->isVisible() || !tag(entry).isEmpty())
                entries.append(QStringLiteral("<broken empty slot %1>").arg(slot + 1));
            continue;
        }
        entries.append(engine.recentList->caption(slot) + QLatin1Char('|') + tag(entry)
                       + (entry->isVisible() ? QString() : QStringLiteral(" <hidden>")));
    }
    return entries;
}

// Fills the list as earlier adds would have, entries given newest first as "title|query".
void fill(Form2 &engine, const QStringList &entries)
{
    for (int slot = 0; slot < entries.size(); ++slot) {
        engine.recentList->setCaption(slot, entries.at(slot).section(QLatin1Char('|'), 0, 0));
        setTag(engine.vb[slot], entries.at(slot).section(QLatin1Char('|'), 1));
        engine.vb[slot]->setVisible(true);
    }
}

QStringList numbered(int from, int to)
{
    QStringList entries;
    for (int i = from; i >= to; --i)
        entries.append(QStringLiteral("Title %1|query %1").arg(i));
    return entries;
}

double processorSeconds()
{
    return double(std::clock()) / CLOCKS_PER_SEC;
}

} // namespace

class TestRecentList : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void add_data()
    {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("after");
        const QString now = QStringLiteral("|typed now");
        const QString red = QStringLiteral("Red Band - Blue Song|red band");
        QTest::newRow("first fills vb1 only")
            << QStringList() << QStringLiteral("A") << QStringList{QStringLiteral("A") + now};
        QTest::newRow("third moves the older two down")
            << QStringList{QStringLiteral("B|b"), QStringLiteral("A|a")} << QStringLiteral("C")
            << QStringList{QStringLiteral("C") + now, QStringLiteral("B|b"), QStringLiteral("A|a")};
        QTest::newRow("eleventh drops the oldest")
            << numbered(10, 1) << QStringLiteral("Title 11")
            << QStringList{QStringLiteral("Title 11") + now} + numbered(10, 2);
        QTest::newRow("listed ignoring case, at the top")
            << QStringList{red, QStringLiteral("X|x")} << QStringLiteral("red band - blue song")
            << QStringList{red, QStringLiteral("X|x")};
        QTest::newRow("listed ignoring case, at the bottom of a full list")
            << numbered(9, 1) + QStringList{red} << QStringLiteral("RED BAND - BLUE SONG")
            << numbered(9, 1) + QStringList{red};
        QTest::newRow("an empty slot's name") << QStringList{QStringLiteral("A|a")} << QStringLiteral("VB7")
                                              << QStringList{QStringLiteral("A|a")};
        QTest::newRow("nothing trimmed") << QStringList{QStringLiteral("A|a")} << QStringLiteral(" a")
                                         << QStringList{QStringLiteral(" a") + now, QStringLiteral("A|a")};
    }

    void add()
    {
        QFETCH(QStringList, before);
        QFETCH(QString, title);
        QFETCH(QStringList, after);
        Form1Rig rig;
        fill(rig.engine(), before);
        rig.form().setSearchResultFlag(Found);
        rig.form().Text1->setText(QStringLiteral("typed now"));
        rig.form().Add(title);
        QCOMPARE(listed(rig.engine()), after);
    }

    void addWaitsForAFoundVideo()
    {
        // The title is the one given at the call; the query is the search box's text once a video
        // has been found. Waiting sleeps on the event loop.
        Form1Rig rig;
        Form1 &form = rig.form();
        QStringList seenWhileWaiting;
        QTimer::singleShot(300, &form, [&] {
            seenWhileWaiting = listed(rig.engine());
            form.Text1->setText(QStringLiteral("typed later"));
            form.setSearchResultFlag(Found);
        });
        const double start = processorSeconds();
        form.Add(QStringLiteral("Waiting Title"));
        QVERIFY2(processorSeconds() - start < 0.15, "the wait kept the processor busy");
        QCOMPARE(seenWhileWaiting, QStringList());
        QCOMPARE(listed(rig.engine()), QStringList{QStringLiteral("Waiting Title|typed later")});
    }

    void overlappingAddsFinishLastStartedFirst()
    {
        Form1Rig rig;
        Form1 &form = rig.form();
        QStringList finished;
        QTimer::singleShot(0, &form, [&] {
            QTimer::singleShot(0, &form, [&] { form.setSearchResultFlag(Found); });
            form.Add(QStringLiteral("Second"));
            finished.append(QStringLiteral("Second"));
        });
        form.Add(QStringLiteral("First"));
        finished.append(QStringLiteral("First"));
        QCOMPARE(finished, QStringList({QStringLiteral("Second"), QStringLiteral("First")}));
        const QString query = Form1::DefaultQuery();
        QCOMPARE(listed(rig.engine()),
                 QStringList({QStringLiteral("First|") + query, QStringLiteral("Second|") + query}));
    }

    void addToPlaylistKeepsTheFoundTitle()
    {
        Form1Rig rig;
        rig.server.setScript([](const QByteArray &line) {
            const QByteArray video = watchPage("v1", "YouTube - Kite &amp; Compass - Open Water");
            return LoopbackServer::Reply{LoopbackServer::ok(line.contains("/results?") ? resultsPage("v1") : video)};
        });
        Form1 &form = rig.form();
        form.Text1->setText(QStringLiteral("kite compass"));
        form.startSearch();
        QTRY_COMPARE(form.searchResultFlag(), Found);
        rig.engine().Addplay->trigger();
        QCOMPARE(listed(rig.engine()),
                 QStringList{QStringLiteral("Kite & Compass - Open Water|kite compass")});
        QCOMPARE(rig.engine().vb[0]->text(), QStringLiteral("Kite && Compass - Open Water"));
    }

    void choosingAnEntry_data()
    {
        QTest::addColumn<bool>("searchBoxHadFocus");
        QTest::newRow("focus in the search box") << true;
        QTest::newRow("focus elsewhere") << false;
    }

    void choosingAnEntry()
    {
        QFETCH(bool, searchBoxHadFocus);
        Form1Rig rig;
        rig.server.replyWith("nothing");
        Form1 &form = rig.form();
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        fill(rig.engine(), {QStringLiteral("Newer|newer"), QStringLiteral("Green Day Out|green day")});
        form.setSearchResultFlag(Found);
        form.Text1->setText(QStringLiteral("something typed"));
        if (searchBoxHadFocus)
            form.Text1->setFocus();
        else
            form.Label2->setFocus();

        rig.engine().vb[1]->trigger();
        QVERIFY(rig.server.waitForConnections(1));
        QVERIFY(rig.server.requestLines().constFirst().contains("search_query=green+day+music+video"));
        QCOMPARE(form.Text1->text(), QStringLiteral("Green Day Out"));
        QTRY_VERIFY(form.Text1->hasFocus());
        QCOMPARE(form.Text1->selectedText(), QStringLiteral("Green Day Out"));
        QCOMPARE(form.searchResultFlag(), Found);
    }

    void saveAndLoadAcrossRuns()
    {
        // Saved newest first; loading adds each entry on top, so the order comes back reversed.
        QTemporaryDir folder;
        const QString productFolder = folder.filePath(QStringLiteral("kivaro"));
        {
            Form1Rig first(QString(), productFolder);
            fill(first.engine(), numbered(10, 1));
            first.engine().mnusaveH->trigger();
        }
        QByteArray lines;
        for (int i = 10; i >= 1; --i)
            lines += "Title " + QByteArray::number(i) + "|query " + QByteArray::number(i) + "\r\n";
        QCOMPARE(fileContents(productFolder + QStringLiteral("/hist")), lines);

        Form1Rig second(QString(), productFolder);
        second.form().setSearchResultFlag(Found);
        second.engine().mnuLoadH->trigger();
        QStringList reversed = numbered(10, 1);
        std::reverse(reversed.begin(), reversed.end());
        QCOMPARE(listed(second.engine()), reversed);
    }

    void save_data()
    {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("two entries") << QStringList{QStringLiteral("Red Band - Blue Song|red band"),
                                                    QStringLiteral("Green Day Out|green")}
                                     << QByteArray("Red Band - Blue Song|red band\r\nGreen Day Out|green\r\n");
        QTest::newRow("empty list") << QStringList() << QByteArray();
    }

    void save()
    {
        QFETCH(QStringList, entries);
        QFETCH(QByteArray, bytes);
        QTemporaryDir folder;
        Form1Rig rig(QString(), folder.path());
        fill(rig.engine(), entries);
        rig.engine().mnusaveH->trigger();
        QCOMPARE(fileContents(folder.filePath(QStringLiteral("hist"))), bytes);
    }

    void load_data()
    {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("after");
        const QStringList old{QStringLiteral("Old|old")};
        QTest::newRow("no file") << old << QByteArray() << old;
        QTest::newRow("empty file") << old << QByteArray("") << old;
        QTest::newRow("adds on top")
            << old << QByteArray("New|new\r\n") << QStringList{QStringLiteral("New|new"), old.at(0)};
        QTest::newRow("all listed already, ignoring case")
            << QStringList{QStringLiteral("A|a"), QStringLiteral("B|b")} << QByteArray("b|x\r\na|y\r\n")
            << QStringList{QStringLiteral("A|a"), QStringLiteral("B|b")};
        QTest::newRow("no bar: the search box's text is the query")
            << QStringList() << QByteArray("Only Title\r\n")
            << QStringList{QStringLiteral("Only Title|box text")};
        QTest::newRow("no bar after an entry: that entry's query stays")
            << QStringList() << QByteArray("A|a\r\nOnly Title\r\n")
            << QStringList{QStringLiteral("Only Title|a"), QStringLiteral("A|a")};
        QTest::newRow("comma in a title makes two entries")
            << QStringList() << QByteArray("Earth, Wind & Fire|ewf\r\n")
            << QStringList{QStringLiteral(" Wind & Fire|ewf"), QStringLiteral("Earth|box text")};
        QTest::newRow("binary junk") << QStringList() << QByteArray("\x00\xff\x01|\xfe\x80\r\n", 8)
                                     << QStringList{QString::fromLatin1("\x00\xff\x01|\xfe\x80", 6)};
    }

    void load()
    {
        QFETCH(QStringList, before);
        QFETCH(QByteArray, file);
        QFETCH(QStringList, after);
        QTemporaryDir folder;
        if (!file.isNull()) {
            QFile hist(folder.filePath(QStringLiteral("hist")));
            QVERIFY(hist.open(QIODevice::WriteOnly));
            hist.write(file);
        }
        Form1Rig rig(QString(), folder.path());
        fill(rig.engine(), before);
        rig.form().setSearchResultFlag(Found);
        rig.form().Text1->setText(QStringLiteral("box text"));
        rig.engine().mnuLoadH->trigger();
        QCOMPARE(listed(rig.engine()), after);
        QCOMPARE(rig.form().Text1->text(), QStringLiteral("box text"));
    }

    void loadStartedBeforeAVideoWasFound()
    {
        // As at start-up: the engine is still fetching the first search when the list is loaded.
        QTemporaryDir folder;
        QFile hist(folder.filePath(QStringLiteral("hist")));
        QVERIFY(hist.open(QIODevice::WriteOnly));
        hist.write("Green Day Out|green\r\nRed Band - Blue Song|red band\r\n");
        hist.close();
        Form1Rig rig(QString(), folder.path());
        rig.server.setScript([](const QByteArray &line) {
            // Sent in small pieces, so the load's wait sees many events before the video is found.
            const QByteArray page = line.contains("/results?") ? resultsPage("v") : watchPage("v", "YouTube - T");
            return LoopbackServer::Reply{LoopbackServer::ok(page), 64};
        });
        rig.engine().Play(Form1::DefaultQuery());
        QCOMPARE(rig.form().searchResultFlag(), QString());

        rig.engine().mnuLoadH->trigger();
        QCOMPARE(rig.form().searchResultFlag(), Found);
        QCOMPARE(listed(rig.engine()), QStringList({QStringLiteral("Red Band - Blue Song|red band"),
                                                    QStringLiteral("Green Day Out|green")}));
        QCOMPARE(rig.form().Text1->text(), Form1::DefaultQuery());
    }

    void failedSaveKeepsWhatWasThere()
    {
        QTemporaryDir folder;
        const QString notAFolder = folder.filePath(QStringLiteral("kivaro"));
        QFile blocker(notAFolder);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        Form1Rig rig(QString(), notAFolder);
        fill(rig.engine(), {QStringLiteral("A|a")});
        rig.engine().mnusaveH->trigger();
        QCOMPARE(fileContents(notAFolder), QByteArray());
        QCOMPARE(listed(rig.engine()), QStringList { QStringLiteral("A|a") });
    }
};

QTEST_MAIN(TestRecentList)
#include "tst_recentlist.moc"
