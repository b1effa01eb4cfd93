#include "platform/processplayer.h"
#include "testhelpers.h"

#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/types.h>

using namespace kivaro;

namespace {

QString quoted(const QString &path)
{
    return QLatin1Char('"') + path + QLatin1Char('"');
}

} // namespace

class TestProcessPlayer : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString fakePlayer;

    // Each line of the log: the arguments one player process was started with.
    QStringList log() const
    {
        QFile file(dir.filePath(QStringLiteral("log")));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        fakePlayer = dir.filePath(QStringLiteral("fake player"));
        QFile script(fakePlayer);
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\nfor a in \"$@\"; do printf '[%s]' \"$a\"; done >> \"$(dirname \"$0\")/log\"\n"
                     "echo >> \"$(dirname \"$0\")/log\"\nexec sleep 30\n");
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void init() { QFile::remove(dir.filePath(QStringLiteral("log"))); }

    void addressIsTheLastArgumentWithoutShell()
    {
        ProcessPlayer player(quoted(fakePlayer) + QStringLiteral(" --no-video --really-quiet"),
                             QStringLiteral("about:blank"));
        const QString address = QStringLiteral("http://h/player2.swf?video_id=a&l=1;$(touch pwned) `x` 'q'");
        player.setMovie(address);
        QTRY_COMPARE(log().size(), 1);
        QCOMPARE(log().constFirst(), QStringLiteral("[--no-video][--really-quiet][") + address + QLatin1Char(']'));
        QVERIFY(!QFile::exists(QStringLiteral("pwned")));
        QCOMPARE(player.movie(), address);
    }

    void newAddressStopsThePreviousPlayer()
    {
        ProcessPlayer player(quoted(fakePlayer), QStringLiteral("about:blank"));
        player.setMovie(QStringLiteral("http://h/one"));
        QTRY_VERIFY(player.processId() > 0);
        QTRY_COMPARE(log().size(), 1);
        const qint64 first = player.processId();
        player.setMovie(QStringLiteral("http://h/two"));
        QTRY_COMPARE(log().size(), 2);
        QVERIFY(player.processId() != first);
        QVERIFY(::kill(pid_t(first), 0) != 0); // gone, and reaped
    }

    void neutralAddressOnlyStops()
    {
        ProcessPlayer player(quoted(fakePlayer), QStringLiteral("about:blank"));
        player.setMovie(QStringLiteral("http://h/one"));
        QTRY_COMPARE(log().size(), 1);
        const qint64 pid = player.processId();
        player.setMovie(QStringLiteral("about:blank"));
        QCOMPARE(player.processId(), 0);
        QVERIFY(::kill(pid_t(pid), 0) != 0);
        kivaro::test::letAWhilePass();
        QCOMPARE(log().size(), 1);
    }

    void playbackEndsOnlyByItself_data()
    {
        QTest::addColumn<QString>("command"); // empty: the fake player, which plays for 30 s
        QTest::addColumn<QStringList>("addresses");
        QTest::addColumn<int>("ends");
        const QString one = QStringLiteral("http://h/one");
        QTest::newRow("the music is over") << QStringLiteral("true") << QStringList{one} << 1;
        QTest::newRow("the player cannot start") << QStringLiteral("/nonexistent/kivaro-player") << QStringList{one} << 1;
        QTest::newRow("the player fails") << QStringLiteral("false") << QStringList{one} << 1;
        QTest::newRow("a new address stops it") << QString() << QStringList{one, QStringLiteral("http://h/two")} << 0;
        QTest::newRow("the neutral address stops it") << QString() << QStringList{one, QStringLiteral("about:blank")}
                                                      << 0;
    }

    void playbackEndsOnlyByItself()
    {
        QFETCH(QString, command);
        QFETCH(QStringList, addresses);
        QFETCH(int, ends);
        ProcessPlayer player(command.isEmpty() ? quoted(fakePlayer) : command, QStringLiteral("about:blank"));
        QSignalSpy ended(&player, &ProcessPlayer::playbackEnded);
        for (const QString &address : addresses) {
            player.setMovie(address);
            // Never told within the call that gave the address, not even for a player that fails at once.
            QCOMPARE(ended.count(), 0);
            if (command.isEmpty() && address != u"about:blank")
                QTRY_COMPARE(log().size(), addresses.indexOf(address) + 1);
        }
        if (ends > 0) {
            QTRY_COMPARE(ended.count(), ends);
        } else {
            QCoreApplication::processEvents();
            QCOMPARE(ended.count(), 0);
        }
    }

    void destroyingThePlayerStopsTheSound()
    {
        qint64 pid = 0;
        {
            ProcessPlayer player(quoted(fakePlayer), QStringLiteral("about:blank"));
            player.setMovie(QStringLiteral("http://h/one"));
            QTRY_VERIFY(player.processId() > 0);
            pid = player.processId();
        }
        QVERIFY(::kill(pid_t(pid), 0) != 0);
    }

    void missingPlayerIsReportedOnce()
    {
        ProcessPlayer player(dir.filePath(QStringLiteral("no-such-player")), QStringLiteral("about:blank"));
        QSignalSpy reports(&player, &ProcessPlayer::playerUnavailable);
        player.setMovie(QStringLiteral("http://h/one"));
        QTRY_COMPARE(reports.size(), 1);
        player.setMovie(QStringLiteral("http://h/two"));
        kivaro::test::letAWhilePass(100);
        QCOMPARE(reports.size(), 1);
        QVERIFY(reports.constFirst().constFirst().toString().contains(QStringLiteral("no-such-player")));
    }

    void playerDiesWithAKilledProgram()
    {
        // A player that announces itself, then plays on for a long time.
        const QString player = dir.filePath(QStringLiteral("announcing player"));
        QFile script(player);
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\ntouch \"$(dirname \"$0\")/started\"\nexec sleep 60\n");
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        QProcess program;
        program.start(QStringLiteral(ORPHAN_PLAYER), {quoted(player), dir.filePath(QStringLiteral("started"))});
        QVERIFY(program.waitForFinished(15000));
        QCOMPARE(program.exitStatus(), QProcess::CrashExit);
        const qint64 pid = program.readAllStandardOutput().trimmed().toLongLong();
        QVERIFY(pid > 0);
        // Gone, or at most a zombie waiting to be reaped by whoever adopted it.
        auto gone = [pid] {
            QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
            if (!stat.open(QIODevice::ReadOnly))
                return true;
            const QByteArray line = stat.readAll();
            return line.mid(line.lastIndexOf(')') + 2, 1) == "Z";
        };
        QTRY_VERIFY_WITH_TIMEOUT(gone(), 5000);
    }

    void emptyCommandPlaysNothing()
    {
        ProcessPlayer player(QString(), QStringLiteral("about:blank"));
        QSignalSpy reports(&player, &ProcessPlayer::playerUnavailable);
        player.setMovie(QStringLiteral("http://h/one"));
        QCOMPARE(reports.size(), 1);
        QCOMPARE(player.processId(), 0);
    }
};

QTEST_GUILESS_MAIN(TestProcessPlayer)
#include "tst_processplayer.moc"
