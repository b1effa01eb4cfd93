// The yt-dlp backend: a search through a stand-in yt-dlp script that the test writes, which plays
// each of the ways the real program can answer.

#include "engine/form2.h"
#include "engine/protocol.h"
#include "engine/recentlist.h"
#include "engine/ytdlpsearch.h"
#include "fakemainwindow.h"
#include "platform/settings.h"
#include "testhelpers.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace kivaro;
using namespace kivaro::test;

namespace {

const QString Query = QStringLiteral("red band");
const QString Blank = QStringLiteral("about:blank");
const QString NoMusic = QStringLiteral("No Music Found!");

} // namespace

class TestYtDlpBackend : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    FakeMainWindow m_main;
    std::unique_ptr<Form2> m_form;
    QStringList m_progress;

    QString path(const QString &name) const { return m_dir.filePath(name); }

    // Writes the stand-in yt-dlp: a shell script that records its arguments, one a line, in "argv"
    // and its process id in "pid", then runs `body`.
    QString writeFake(const QByteArray &body)
    {
        const QString fake = path(QStringLiteral("yt-dlp"));
        QFile file(fake);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            qFatal("cannot write the fake yt-dlp");
        file.write("#!/bin/sh\nD='" + m_dir.path().toUtf8()
                   + "'\n"
                     "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$D/argv\"\n"
                     "echo $$ > \"$D/pid\"\n"
                   + body + "\n");
        file.close();
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return fake;
    }

    void makeEngine(const QString &command)
    {
        Settings settings;
        settings.backend = Settings::Backend::YtDlp;
        settings.ytDlp = command;
        m_form = std::make_unique<Form2>(settings, [this]() -> MainWindowInterface & { return m_main; });
        QObject::connect(m_form.get(), &QWidget::windowTitleChanged, m_form.get(),
                         [this](const QString &value) { m_progress.append(value); });
    }

    // True once the engine has settled: a video plays or the search came to nothing.
    bool searchEnded() const
    {
        return !m_progress.isEmpty()
            && (m_progress.constLast() == protocol::ProgressPlaying
                || m_progress.constLast() == protocol::ProgressSearchPage);
    }

    static bool processGone(const QString &pid)
    {
        // A zombie still has its /proc entry: gone means killed and reaped.
        return !pid.isEmpty() && !QFileInfo::exists(QStringLiteral("/proc/") + pid);
    }

    QString fakePid() const
    {
        return QString::fromLatin1(fileContents(path(QStringLiteral("pid"))).trimmed());
    }

private Q_SLOTS:
    void init()
    {
        QVERIFY(m_dir.isValid());
        m_main = FakeMainWindow();
        m_progress.clear();
        QFile::remove(path(QStringLiteral("pid")));
        QFile::remove(path(QStringLiteral("argv")));
        QFile::remove(path(QStringLiteral("child")));
    }

    void cleanup() { m_form.reset(); }

    void answers_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("address"); // the player's address after the blank one; "" none
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("notice");

        const QString watch = QStringLiteral("https://www.youtube.com/watch?v=");
        const QByteArray longId(4096, 'a');
        QTest::newRow("a hit") << QByteArray("printf 'dQw4w9WgXcQ\\nRed Band - Blue Song\\n'")
                               << watch + QStringLiteral("dQw4w9WgXcQ")
                               << QStringLiteral("Red Band - Blue Song") << QString();
        QTest::newRow("no line end after the title")
            << QByteArray("printf 'AbC_-9\\nx  y'") << watch + QStringLiteral("AbC_-9")
            << QStringLiteral("x  y") << QString();
        QTest::newRow("title in UTF-8")
            << QByteArray("printf 'abc\\nSigur R\\303\\263s\\n'") << watch + QStringLiteral("abc")
            << QStringLiteral("Sigur R\u00f3s") << QString();
        QTest::newRow("no title: the query stands in")
            << QByteArray("printf 'abc\\n'") << watch + QStringLiteral("abc") << Query << QString();
        QTest::newRow("identifier of 4096 bytes")
            << "printf '" + longId + "\\nT\\n'" << watch + QString::fromLatin1(longId) << QStringLiteral("T")
            << QString();
        QTest::newRow("prints nothing")
            << QByteArray("exit 0") << QString() << QStringLiteral("?") << NoMusic;
        QTest::newRow("identifier with a slash")
            << QByteArray("printf 'ab/c\\nT\\n'") << QString() << QStringLiteral("?") << NoMusic;
        QTest::newRow("identifier with a space")
            << QByteArray("printf 'ab c\\nT\\n'") << QString() << QStringLiteral("?") << NoMusic;
        // The title is made fit to show, as the site engine's titles are.
        QTest::newRow("escape sequence in the title")
            << QByteArray("printf 'abc\\nT\\033[2J\\342\\200\\256x\\n'") << watch + QStringLiteral("abc")
            << QStringLiteral("T [2J x") << QString();
        QTest::newRow("a third line")
            << QByteArray("printf 'abc\\nT\\nmore\\n'") << QString() << QStringLiteral("?") << NoMusic;
        QTest::newRow("identifier of 4097 bytes")
            << "printf '" + longId + "a\\nT\\n'" << QString() << QStringLiteral("?") << NoMusic;
        // Ended at once, long before the time-out: 1 MB on one line, then no end.
        QTest::newRow("huge line, then hangs")
            << QByteArray("head -c 1000000 /dev/zero | tr '\\0' a; exec sleep 600") << QString()
            << QStringLiteral("?") << NoMusic;
        QTest::newRow("fails with a message")
            << QByteArray("echo 'WARNING: slow' >&2; echo 'ERROR: Unable to download API page: HTTP Error "
                          "429' >&2; exit 1")
            << QString() << QStringLiteral("?")
            << QStringLiteral("yt-dlp could not search: ERROR: Unable to download API page: HTTP Error 429");
        QTest::newRow("fails silently") << QByteArray("exit 3") << QString() << QStringLiteral("?")
                                        << QStringLiteral("yt-dlp could not search: it ended with status 3");
        QTest::newRow("prints only an error")
            << QByteArray("echo 'ERROR: no network' >&2; echo >&2") << QString() << QStringLiteral("?")
            << QStringLiteral("yt-dlp could not search: ERROR: no network");
        QTest::newRow("error with an escape sequence")
            << QByteArray("printf 'ERROR: bad\\033[31m red\\n' >&2; exit 1") << QString()
            << QStringLiteral("?") << QStringLiteral("yt-dlp could not search: ERROR: bad [31m red");
        QTest::newRow("killed") << QByteArray("kill -9 $$") << QString() << QStringLiteral("?")
                                << QStringLiteral("yt-dlp could not search: it crashed or was killed");
    }

    void answers()
    {
        QFETCH(QByteArray, body);
        QFETCH(QString, address);
        QFETCH(QString, title);
        QFETCH(QString, notice);
        makeEngine(writeFake(body));

        m_form->Play(Query);
        QCOMPARE(m_progress, QStringList { QStringLiteral("10") });
        QTRY_VERIFY(searchEnded());

        QStringList addresses { Blank };
        if (!address.isEmpty())
            addresses << address;
        QCOMPARE(m_main.player.addresses, addresses);
        QCOMPARE(m_main.title, title);
        QCOMPARE(m_main.notices, notice.isEmpty() ? QStringList() : QStringList { notice });
        if (address.isEmpty()) {
            QCOMPARE(m_progress.constLast(), QStringLiteral("0"));
            QVERIFY(!m_progress.contains(QStringLiteral("30")));
            QCOMPARE(m_main.flag, QString());
        } else {
            QCOMPARE(m_progress,
                     (QStringList { QStringLiteral("10"), QStringLiteral("20"), QStringLiteral("30") }));
            QCOMPARE(m_main.flag, QStringLiteral("yes"));
            // The player is given its address before the flag turns "yes", and the flag before the title.
            const qsizetype flash = m_main.events.lastIndexOf(QStringLiteral("flash"));
            QVERIFY(flash < m_main.events.indexOf(QStringLiteral("flag=yes")));
            QVERIFY(m_main.events.indexOf(QStringLiteral("flag=yes"))
                    < m_main.events.indexOf(QStringLiteral("title=") + title));
        }
        QTRY_VERIFY(processGone(fakePid()));
    }

    void hangingSearchTimesOut()
    {
        makeEngine(writeFake("printf 'abc\\n'; exec sleep 600"));
        m_form->ytDlp->setTimeout(300);
        m_form->Play(Query);
        QTRY_VERIFY(searchEnded());
        // The identifier came, the title never did.
        QCOMPARE(m_progress,
                 (QStringList { QStringLiteral("10"), QStringLiteral("20"), QStringLiteral("0") }));
        QCOMPARE(m_main.notices,
                 QStringList { QStringLiteral("yt-dlp gave no answer in 0.3 s; the search was stopped.") });
        QCOMPARE(m_main.player.addresses, QStringList { Blank });
        QTRY_VERIFY(processGone(fakePid()));
    }

    void missingProgram_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("noticeStart");
        const QString missing = QDir::tempPath() + QStringLiteral("/kivaro-no-such-dir/yt-dlp");
        QTest::newRow("no such file")
            << missing << QStringLiteral("Cannot start yt-dlp (\"%1\"): ").arg(missing);
        QTest::newRow("not on the PATH")
            << QStringLiteral("kivaro-no-such-program --x")
            << QStringLiteral("Cannot start yt-dlp (\"kivaro-no-such-program\"): ");
        QTest::newRow("empty command")
            << QString() << QStringLiteral("No yt-dlp command is set (see --yt-dlp).");
    }

    void missingProgram()
    {
        QFETCH(QString, command);
        QFETCH(QString, noticeStart);
        makeEngine(command);
        m_form->Play(Query);
        QTRY_VERIFY(searchEnded());
        QCOMPARE(m_progress, (QStringList { QStringLiteral("10"), QStringLiteral("0") }));
        QCOMPARE(m_main.notices.size(), 1);
        QVERIFY2(m_main.notices.constFirst().startsWith(noticeStart),
                 qPrintable(m_main.notices.constFirst()));
        QCOMPARE(m_main.player.addresses, QStringList { Blank });
    }

    void queryIsOneArgument()
    {
        // Run from the temporary folder, so that a command a shell would run leaves its file there.
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_dir.path()));
        makeEngine(writeFake("printf 'abc\\nT\\n'") + QStringLiteral(" --proxy \"http://h:1/a b\""));
        const QString query = QStringLiteral("red $(touch pwned); \"a b\" `touch pwned2` | touch pwned3 * ~");
        m_form->Play(query);
        QTRY_VERIFY(searchEnded());
        QDir::setCurrent(previous);

        const QByteArray expected
            = "--proxy\nhttp://h:1/a b\n--ignore-config\n--no-warnings\n--skip-download\n--no-playlist\n"
              "--flat-playlist\n--encoding\nutf-8\n--print\n%(id)s\n--print\n%(title)s\n"
              "ytsearch1:red $(touch pwned); \"a b\" `touch pwned2` | touch pwned3 * ~\n";
        QCOMPARE(fileContents(path(QStringLiteral("argv"))), expected);
        QVERIFY(!QFileInfo::exists(path(QStringLiteral("pwned"))));
        QVERIFY(!QFileInfo::exists(path(QStringLiteral("pwned2"))));
        QVERIFY(!QFileInfo::exists(path(QStringLiteral("pwned3"))));
        QCOMPARE(m_main.player.movie(), QStringLiteral("https://www.youtube.com/watch?v=abc"));
    }

    void newerSearchEndsTheOlder()
    {
        // The first search hangs; the second answers.
        makeEngine(writeFake("case \"$*\" in *first*) echo $$ > \"$D/first\"; exec sleep 600;; esac\n"
                             "printf 'abc\\nSecond\\n'"));
        m_form->Play(QStringLiteral("first"));
        QTRY_VERIFY(QFileInfo::exists(path(QStringLiteral("first"))));
        const QString first = QString::fromLatin1(fileContents(path(QStringLiteral("first"))).trimmed());
        QVERIFY(QFileInfo::exists(QStringLiteral("/proc/") + first));

        m_form->Play(QStringLiteral("second"));
        QTRY_COMPARE(m_main.title, QStringLiteral("Second"));
        QTRY_VERIFY(processGone(first));
        QCOMPARE(m_main.player.addresses,
                 (QStringList { Blank, Blank, QStringLiteral("https://www.youtube.com/watch?v=abc") }));
        QCOMPARE(m_main.notices, QStringList());
        // The second "10" is no change of the progress value.
        QCOMPARE(m_progress,
                 (QStringList { QStringLiteral("10"), QStringLiteral("20"), QStringLiteral("30") }));
    }

    // However the search ends before yt-dlp does, whatever yt-dlp started ends with it.
    void whatYtDlpStartedEndsWithIt_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("time-out") << QStringLiteral("time-out");
        QTest::newRow("a newer search") << QStringLiteral("newer");
        QTest::newRow("the engine closes") << QStringLiteral("closed");
    }

    void whatYtDlpStartedEndsWithIt()
    {
        QFETCH(QString, how);
        makeEngine(writeFake("case \"$*\" in *second*) printf 'abc\\nT\\n'; exit 0;; esac\n"
                             "sleep 600 & echo $! > \"$D/child\"\nwait"));
        m_form->ytDlp->setTimeout(how == QLatin1String("time-out") ? 500 : 60000);
        m_form->Play(QStringLiteral("first"));
        QTRY_VERIFY(QFileInfo::exists(path(QStringLiteral("child"))));
        const QString child = QString::fromLatin1(fileContents(path(QStringLiteral("child"))).trimmed());
        QVERIFY(!processEnded(child.toLongLong()));
        if (how == QLatin1String("newer"))
            m_form->Play(QStringLiteral("second"));
        else if (how == QLatin1String("closed"))
            m_form.reset();
        QTRY_VERIFY(processEnded(child.toLongLong()));
        QTRY_VERIFY(processEnded(fakePid().toLongLong()));
    }

    void addKeepsTitleAndQuery()
    {
        makeEngine(writeFake("printf 'abc\\nRed Band - Blue Song\\n'"));
        m_main.search = Query;
        m_form->Play(Query);
        QTRY_VERIFY(searchEnded());
        m_form->Addplay->trigger();
        QCOMPARE(m_form->recentList->caption(0), QStringLiteral("Red Band - Blue Song"));
        QCOMPARE(m_form->recentList->query(0), Query);
    }
};

QTEST_MAIN(TestYtDlpBackend)
#include "tst_ytdlpbackend.moc"
