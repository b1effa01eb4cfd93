#include "platform/mpvipc.h"
#include "platform/processplayer.h"
#include "testhelpers.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/types.h>

using namespace kivaro;
using kivaro::test::processEnded;

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
        QTRY_VERIFY_WITH_TIMEOUT(processEnded(pid), 5000);
    }

    void emptyCommandPlaysNothing()
    {
        ProcessPlayer player(QString(), QStringLiteral("about:blank"));
        QSignalSpy reports(&player, &ProcessPlayer::playerUnavailable);
        QSignalSpy ended(&player, &ProcessPlayer::playbackEnded);
        player.setMovie(QStringLiteral("http://h/one"));
        QCOMPARE(reports.size(), 1);
        QCOMPARE(player.processId(), 0);
        // Nothing plays, and whoever shows what plays is told so, as for a player that cannot start.
        QCOMPARE(ended.count(), 0);
        QTRY_COMPARE(ended.count(), 1);
    }

    // mpv is given an IPC socket in a folder of its own that only this user may enter, under the
    // runtime folder when there is a usable one; the folder goes with the player. Other players get
    // nothing of the kind.
    void mpvGetsAPrivateSocket_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("runtimeFolder"); // XDG_RUNTIME_DIR; "{dir}" is the test's folder
        QTest::addColumn<QString>("socketBase"); // where the socket's folder lies; empty: no socket
        const QString run = QStringLiteral("{dir}/run");
        QTest::newRow("mpv, in the runtime folder") << QStringLiteral("mpv") << run << run;
        QTest::newRow("mpv without a runtime folder")
            << QStringLiteral("mpv") << QString() << QDir::tempPath();
        QTest::newRow("mpv with a path too long for a socket: no control, still music")
            << QStringLiteral("mpv") << QStringLiteral("{dir}/") + QString(100, QLatin1Char('r'))
            << QString();
        QTest::newRow("another player") << QStringLiteral("player") << run << QString();
    }

    void mpvGetsAPrivateSocket()
    {
        QFETCH(QString, program);
        QFETCH(QString, runtimeFolder);
        QFETCH(QString, socketBase);
        runtimeFolder.replace(QLatin1String("{dir}"), dir.path());
        socketBase.replace(QLatin1String("{dir}"), dir.path());
        QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("run"))));
        QVERIFY(QDir().mkpath(dir.filePath(QString(100, QLatin1Char('r')))));
        const QString fake = dir.filePath(program);
        QFile::remove(fake);
        QVERIFY(QFile::copy(fakePlayer, fake));
        const QByteArray before = qgetenv("XDG_RUNTIME_DIR");
        const auto restore = qScopeGuard([&] { qputenv("XDG_RUNTIME_DIR", before); });
        if (runtimeFolder.isEmpty())
            qunsetenv("XDG_RUNTIME_DIR");
        else
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtimeFolder));

        ProcessPlayer player(quoted(fake) + QStringLiteral(" --no-video"), QStringLiteral("about:blank"));
        QCOMPARE(player.control() != nullptr, program == u"mpv");
        const QString address = QStringLiteral("http://h/one");
        player.setMovie(address);
        QTRY_COMPARE(log().size(), 1);
        const QString socket = player.control() ? player.control()->serverPath() : QString();
        if (socketBase.isEmpty()) {
            QCOMPARE(socket, QString());
            QCOMPARE(log().constFirst(), QStringLiteral("[--no-video][") + address + QLatin1Char(']'));
            return;
        }
        QCOMPARE(log().constFirst(),
                 QStringLiteral("[--no-video][--input-ipc-server=%1][%2]").arg(socket, address));
        const QFileInfo folder(QFileInfo(socket).path());
        QCOMPARE(QFileInfo(folder.absolutePath()).canonicalFilePath(),
                 QFileInfo(socketBase).canonicalFilePath());
        QVERIFY(folder.fileName().startsWith(QLatin1String("kivaro-")));
        QCOMPARE(folder.permissions(),
                 QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadUser | QFile::WriteUser
                     | QFile::ExeUser);
        player.setMovie(QStringLiteral("about:blank"));
        QVERIFY(!QFileInfo::exists(folder.filePath()));
        QCOMPARE(player.control()->serverPath(), QString());
    }
};

QTEST_GUILESS_MAIN(TestProcessPlayer)
#include "tst_processplayer.moc"
