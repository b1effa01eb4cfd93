// Titles as pages give them, made fit to show before anything shows, keeps or logs them: a title
// cannot add entries to the playlist, send the terminal escape sequences or show reversed, and a
// title with a comma stays one entry of the playlist.

#include "engine/recentlist.h"
#include "form1rig.h"
#include "platform/trace.h"

#include <QAction>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

using namespace kivaro;
using namespace kivaro::test;

namespace {

QStringList loggedTitles;

void keepTitleLines(QtMsgType, const QMessageLogContext &, const QString &message)
{
    if (message.startsWith(QLatin1String("title: ")))
        loggedTitles.append(message.mid(7));
}

QByteArray pages(const QByteArray &requestLine, const QByteArray &title)
{
    return requestLine.contains("/results?")
        ? QByteArrayLiteral("<a href=\"/watch?v=Zz9\">")
        : "var fo = new SWFObject(\"/player2.swf?video_id=Zz9&l=5\", <title>YouTube - " + title + "</title>";
}

} // namespace

class TestTitles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QLoggingCategory::setFilterRules(QStringLiteral("kivaro.engine.info=true"));
        qInstallMessageHandler(keepTitleLines);
    }

    // Each character class is the one-line rule's (tst_textdecoding); here, the page's references
    // are read before the rule applies, and what it leaves is one entry.
    void titlesFromPages_data()
    {
        QTest::addColumn<QByteArray>("title"); // between <title> and </title>, after the site's prefix
        QTest::addColumn<QString>("shown");
        QTest::newRow("CR LF as references, a comma and ESC")
            << QByteArray("Red&#13;&#10;Band, Blue\x1b[2J") << QStringLiteral("Red  Band, Blue [2J");
        QTest::newRow("right-to-left override")
            << QByteArray("Song &#8238;3pm.exe") << QStringLiteral("Song  3pm.exe");
        QTest::newRow("kept as it is") << QByteArray("Sigur R\xc3\xb3s - Hopp\xc3\xadpolla")
                                       << QStringLiteral("Sigur R\u00f3s - Hopp\u00edpolla");
    }

    void titlesFromPages()
    {
        QFETCH(QByteArray, title);
        QFETCH(QString, shown);
        QTemporaryDir folder;
        loggedTitles.clear();
        QStringList announced;
        {
            Form1Rig rig(QString(), folder.path());
            rig.server.setScript([&title](const QByteArray &requestLine) {
                return LoopbackServer::Reply { LoopbackServer::ok(pages(requestLine, title)) };
            });
            connect(&rig.engine(), &Form2::titleChanged, this, [&](const QString &t) { announced << t; });
            rig.form().Text1->setText(QStringLiteral("red band"));
            rig.form().startSearch();
            QTRY_COMPARE(rig.form().searchResultFlag(), QStringLiteral("yes"));
            QCOMPARE(rig.form().fullTitle(), shown);
            QCOMPARE(announced, QStringList { shown });
            QCOMPARE(loggedTitles, QStringList { shown });

            rig.engine().Addplay->trigger();
            QCOMPARE(rig.engine().recentList->count(), 1);
            rig.engine().mnusaveH->trigger();
        }
        // Loaded again: the one entry, as it was shown.
        Form1Rig again(QString(), folder.path());
        again.form().setSearchResultFlag(QStringLiteral("yes"));
        again.engine().mnuLoadH->trigger();
        QCOMPARE(again.engine().recentList->count(), 1);
        QCOMPARE(again.engine().recentList->caption(0), shown);
        QCOMPARE(again.engine().recentList->query(0), QStringLiteral("red band"));
    }
};

QTEST_MAIN(TestTitles)
#include "tst_titles.moc"
