// The media controls with the real player: mpv (silent, --ao=null) plays the demo site's track on
// loop, a desktop client on a private bus pauses, resumes, sets the volume and seeks, and each is
// checked in mpv's own answer on its IPC socket.

#include "app/windows.h"
#include "demosite.h"
#include "desktop/mprisservice.h"
#include "engine/form2.h"
#include "mainwindow/form1.h"
#include "platform/mpvipc.h"
#include "platform/processplayer.h"
#include "platform/settings.h"
#include "privatebus.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QLocalSocket>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <csignal>
#include <limits>

using namespace kivaro;
using namespace kivaro::test;

namespace {

const QString PlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");
const QString PropertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");
const QString KivaroName = QStringLiteral("org.mpris.MediaPlayer2.kivaro");
const QString Mpv = QStringLiteral("mpv --ao=null --no-video --really-quiet --loop-file=inf");
constexpr int CallTimeoutMs = 10000;
// The demo site's tracks are six seconds long; mpv tells a few samples less.
constexpr qint64 TrackLengthUs = 6000000;
constexpr qint64 PastTheEndUs = 6500000;
// How far a position read over the bus may be from mpv's own, read a moment later.
constexpr double ToleranceSeconds = 0.25;

QVariantMap toMap(const QVariant &value)
{
    if (value.canConvert<QDBusArgument>())
        return qdbus_cast<QVariantMap>(value.value<QDBusArgument>());
    return value.toMap();
}

// Seeked signals as a desktop sees them.
class SeekRecorder : public QObject
{
    Q_OBJECT

public:
    QList<qlonglong> positions;

public Q_SLOTS:
    void record(qlonglong position) { positions.append(position); }
};

} // namespace

class TestMprisMpv : public QObject
{
    Q_OBJECT

    // The program against the demo site with a real player command, on the private bus, and a
    // client connection that talks to it as a desktop would.
    struct Rig
    {
        demo::DemoSite site;
        std::unique_ptr<Windows> windows;
        QDBusConnection service { QString() };
        QDBusConnection client { QString() };
        QString serviceName;
        QString clientName;
        SeekRecorder seeks;

        Rig(const QString &busAddress, int serial, const QString &player)
        {
            if (!site.listen())
                qFatal("cannot listen on loopback");
            Settings settings;
            settings.site = QUrl(QStringLiteral("http://127.0.0.1:%1").arg(site.port()));
            settings.vendor = settings.site;
            settings.shop = settings.site;
            settings.player = player;
            windows = std::make_unique<Windows>(settings, Windows::PlayerFactory(), [] {});
            serviceName = QStringLiteral("kivaro-mpv-service-%1").arg(serial);
            clientName = QStringLiteral("kivaro-mpv-client-%1").arg(serial);
            service = QDBusConnection::connectToBus(busAddress, serviceName);
            client = QDBusConnection::connectToBus(busAddress, clientName);
            windows->startMediaControls(service);
            client.connect(KivaroName, MprisService::objectPath(), PlayerInterface, QStringLiteral("Seeked"),
                           &seeks, SLOT(record(qlonglong)));
        }
        ~Rig()
        {
            windows.reset();
            QDBusConnection::disconnectFromBus(serviceName);
            QDBusConnection::disconnectFromBus(clientName);
        }

        ProcessPlayer &player() { return static_cast<ProcessPlayer &>(windows->form1().flash()); }

        QDBusMessage call(const QString &method, const QVariantList &arguments = {},
                          const QString &interface = PlayerInterface)
        {
            QDBusMessage message
                = QDBusMessage::createMethodCall(KivaroName, MprisService::objectPath(), interface, method);
            message.setArguments(arguments);
            return client.call(message, QDBus::BlockWithGui, CallTimeoutMs);
        }
        QVariant property(const QString &name)
        {
            const QDBusMessage reply
                = call(QStringLiteral("Get"), { PlayerInterface, name }, PropertiesInterface);
            if (reply.type() != QDBusMessage::ReplyMessage)
                return QVariant();
            return reply.arguments().value(0).value<QDBusVariant>().variant();
        }
        bool setProperty(const QString &name, const QVariant &value)
        {
            return call(QStringLiteral("Set"),
                        { PlayerInterface, name, QVariant::fromValue(QDBusVariant(value)) },
                        PropertiesInterface)
                       .type()
                == QDBusMessage::ReplyMessage;
        }
        QString status() { return property(QStringLiteral("PlaybackStatus")).toString(); }
        bool canPause() { return property(QStringLiteral("CanPause")).toBool(); }
        qlonglong position() { return property(QStringLiteral("Position")).toLongLong(); }
        QVariantMap metadata() { return toMap(property(QStringLiteral("Metadata"))); }
        // The metadata holds the length, in microseconds, as mpv tells it.
        bool hasLengthOfTrack()
        {
            const qlonglong length = metadata().value(QStringLiteral("mpris:length")).toLongLong();
            return std::abs(length - TrackLengthUs) < 1000
                && length == std::llround(askMpv(QStringLiteral("duration")).toDouble() * 1e6);
        }

        // Searches as the main window does, and waits until the player plays under control.
        bool playUnderControl(const QString &query = QStringLiteral("red band paper"))
        {
            windows->form1().Text1->setText(query);
            windows->form1().startSearch();
            return QTest::qWaitFor([&] { return status() == u"Playing" && canPause(); }, CallTimeoutMs);
        }

        // Asks mpv itself, on the socket Kivaro controls it through.
        QVariant askMpv(const QString &name)
        {
            QLocalSocket socket;
            socket.connectToServer(player().control()->serverPath());
            if (!socket.waitForConnected(CallTimeoutMs))
                return QStringLiteral("<no connection>");
            socket.write(QByteArrayLiteral("{\"command\":[\"get_property\",\"") + name.toUtf8()
                         + QByteArrayLiteral("\"],\"request_id\":4242}\n"));
            while (socket.waitForReadyRead(CallTimeoutMs)) {
                while (socket.canReadLine()) {
                    const QJsonObject reply = QJsonDocument::fromJson(socket.readLine()).object();
                    if (reply.value(QLatin1String("request_id")).toInt() == 4242)
                        return reply.value(QLatin1String("data")).toVariant();
                }
            }
            return QStringLiteral("<no answer>");
        }
        double mpvSeconds() { return askMpv(QStringLiteral("time-pos")).toDouble(); }
    };

    std::unique_ptr<PrivateBus> m_bus;
    int m_serial = 0;
    QTemporaryDir m_dir;

    std::unique_ptr<Rig> rig(const QString &player = Mpv)
    {
        return std::make_unique<Rig>(m_bus->address(), ++m_serial, player);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        if (QStandardPaths::findExecutable(QStringLiteral("mpv")).isEmpty())
            QFAIL("mpv is not installed: scripts/setup installs it");
        m_bus = std::make_unique<PrivateBus>();
        if (m_bus->address().isEmpty())
            QSKIP(qPrintable(QStringLiteral("no private session bus: ") + m_bus->errorString()));
    }

    void cleanupTestCase() { m_bus.reset(); }

    // Pause, resume and the volume, each a step the desktop sends after the one before has shown;
    // "&" sends the next at once. Checked in mpv's own answer.
    void controlsReachMpv_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("mpvProperty");
        QTest::addColumn<QVariant>("mpvValue");
        QTest::addColumn<QString>("status");
        QTest::addColumn<double>("volume");
        const QString pause = QStringLiteral("pause");
        const QString paused = QStringLiteral("Paused");
        const QString playing = QStringLiteral("Playing");
        QTest::newRow("Pause") << QStringList { QStringLiteral("Pause") } << pause << QVariant(true) << paused
                               << 1.0;
        QTest::newRow("Pause twice") << QStringList { QStringLiteral("Pause"), QStringLiteral("Pause") }
                                     << pause << QVariant(true) << paused << 1.0;
        QTest::newRow("Play resumes") << QStringList { QStringLiteral("Pause"), QStringLiteral("Play") }
                                      << pause << QVariant(false) << playing << 1.0;
        QTest::newRow("PlayPause pauses")
            << QStringList { QStringLiteral("PlayPause") } << pause << QVariant(true) << paused << 1.0;
        QTest::newRow("PlayPause resumes")
            << QStringList { QStringLiteral("PlayPause"), QStringLiteral("PlayPause") } << pause
            << QVariant(false) << playing << 1.0;
        QTest::newRow("PlayPause twice at once")
            << QStringList { QStringLiteral("PlayPause"), QStringLiteral("&PlayPause") } << pause
            << QVariant(false) << playing << 1.0;
        QTest::newRow("volume") << QStringList { QStringLiteral("Volume=0.25") } << QStringLiteral("volume")
                                << QVariant(25.0) << playing << 0.25;
        QTest::newRow("volume above full") << QStringList { QStringLiteral("Volume=1.7") }
                                           << QStringLiteral("volume") << QVariant(100.0) << playing << 1.0;
        QTest::newRow("volume below none")
            << QStringList { QStringLiteral("Volume=0.5"), QStringLiteral("Volume=-0.5") }
            << QStringLiteral("volume") << QVariant(0.0) << playing << 0.0;
        QTest::newRow("volume while paused")
            << QStringList { QStringLiteral("Pause"), QStringLiteral("Volume=0.6") }
            << QStringLiteral("volume") << QVariant(60.0) << paused << 0.6;
    }

    void controlsReachMpv()
    {
        QFETCH(QStringList, steps);
        QFETCH(QString, mpvProperty);
        QFETCH(QVariant, mpvValue);
        QFETCH(QString, status);
        QFETCH(double, volume);
        const auto r = rig();
        QVERIFY(r->playUnderControl());
        QCOMPARE(r->property(QStringLiteral("Volume")).toDouble(), 1.0);
        for (QString step : steps) {
            const bool atOnce = step.startsWith(QLatin1Char('&'));
            if (atOnce)
                step.remove(0, 1);
            if (step.startsWith(QLatin1String("Volume="))) {
                const double level = step.section(QLatin1Char('='), 1).toDouble();
                QVERIFY(r->setProperty(QStringLiteral("Volume"), level));
                QTRY_COMPARE(r->property(QStringLiteral("Volume")).toDouble(), std::clamp(level, 0.0, 1.0));
            } else {
                QCOMPARE(r->call(step).type(), QDBusMessage::ReplyMessage);
                // As a user's next press comes: once the desktop shows what mpv did.
                if (!atOnce)
                    QTRY_COMPARE(r->status(),
                                 r->askMpv(QStringLiteral("pause")).toBool() ? QStringLiteral("Paused")
                                                                             : QStringLiteral("Playing"));
            }
        }
        QTRY_COMPARE(r->askMpv(mpvProperty), mpvValue);
        QTRY_COMPARE(r->status(), status);
        QCOMPARE(r->property(QStringLiteral("Volume")).toDouble(), volume);
        // Playing on, or paused: never stopped or searched again (two pages and the track).
        QCOMPARE(r->site.requestsServed(), 3);
    }

    // Seeking a paused track from about one second in. A seek that moves lands where it was asked
    // (mpv tells its place a little before, by what its silent output holds), the Seeked signal and
    // the Position tell mpv's own place; a refused one moves nothing and tells nothing.
    void seekReachesMpv_data()
    {
        QTest::addColumn<QString>("method");
        QTest::addColumn<qlonglong>("argument"); // microseconds: SetPosition's place, Seek's offset
        QTest::addColumn<bool>("otherTrack");
        QTest::addColumn<bool>("moves");
        const QString setPosition = QStringLiteral("SetPosition");
        const QString seek = QStringLiteral("Seek");
        QTest::newRow("SetPosition") << setPosition << 3500000LL << false << true;
        QTest::newRow("SetPosition to the start") << setPosition << 0LL << false << true;
        QTest::newRow("SetPosition of another track") << setPosition << 3500000LL << true << false;
        QTest::newRow("SetPosition past the end") << setPosition << PastTheEndUs << false << false;
        QTest::newRow("SetPosition before the start") << setPosition << -1LL << false << false;
        QTest::newRow("Seek forward") << seek << 2000000LL << false << true;
        QTest::newRow("Seek back") << seek << -500000LL << false << true;
        QTest::newRow("Seek back past the start") << seek << -10000000LL << false << true;
        QTest::newRow("Seek past the end") << seek << 5500000LL << false << false;
        QTest::newRow("Seek by the most there is")
            << seek << std::numeric_limits<qlonglong>::min() << false << true;
    }

    void seekReachesMpv()
    {
        QFETCH(QString, method);
        QFETCH(qlonglong, argument);
        QFETCH(bool, otherTrack);
        QFETCH(bool, moves);
        const auto r = rig();
        QVERIFY(r->playUnderControl());
        QTRY_VERIFY(r->hasLengthOfTrack());
        QCOMPARE(r->call(QStringLiteral("Pause")).type(), QDBusMessage::ReplyMessage);
        QTRY_COMPARE(r->status(), QStringLiteral("Paused"));
        const QString track
            = r->metadata().value(QStringLiteral("mpris:trackid")).value<QDBusObjectPath>().path();
        QCOMPARE(
            r->call(QStringLiteral("SetPosition"), { QVariant::fromValue(QDBusObjectPath(track)), 1000000LL })
                .type(),
            QDBusMessage::ReplyMessage);
        QTRY_COMPARE(r->seeks.positions.size(), 1);
        const double base = r->mpvSeconds();
        QVERIFY2(std::abs(base - 1.0) < ToleranceSeconds, qPrintable(QString::number(base)));
        QCOMPARE(r->seeks.positions.constFirst(), std::llround(base * 1e6));
        QCOMPARE(r->position(), r->seeks.positions.constFirst());
        r->seeks.positions.clear();

        const QVariantList arguments = method == u"Seek"
            ? QVariantList { argument }
            : QVariantList { QVariant::fromValue(QDBusObjectPath(
                                 otherTrack ? QStringLiteral("/org/kivaro/track/99") : track)),
                             argument };
        QCOMPARE(r->call(method, arguments).type(), QDBusMessage::ReplyMessage);
        if (!moves) {
            QTest::qWait(300);
            QVERIFY(r->seeks.positions.isEmpty());
            QCOMPARE(r->mpvSeconds(), base);
        } else {
            const double target = method == u"Seek"
                ? std::max(0.0, base + std::max(argument, -10000000LL) / 1e6)
                : argument / 1e6;
            QTRY_COMPARE(r->seeks.positions.size(), 1);
            const double now = r->mpvSeconds();
            QVERIFY2(now <= target + 0.01 && now > target - ToleranceSeconds,
                     qPrintable(QStringLiteral("%1 for %2").arg(now).arg(target)));
            QCOMPARE(r->seeks.positions.constFirst(), std::llround(std::max(0.0, now) * 1e6));
            QCOMPARE(r->position(), r->seeks.positions.constFirst());
        }
        QCOMPARE(r->status(), QStringLiteral("Paused"));
    }

    // The position runs with playback, stands while paused, and agrees with mpv's.
    void positionFollowsPlayback()
    {
        const auto r = rig();
        QVERIFY(r->playUnderControl());
        QTRY_VERIFY(r->hasLengthOfTrack());
        const QString track
            = r->metadata().value(QStringLiteral("mpris:trackid")).value<QDBusObjectPath>().path();
        // Far from the loop's turn, so that the position only grows in what follows.
        r->call(QStringLiteral("SetPosition"), { QVariant::fromValue(QDBusObjectPath(track)), 500000LL });
        QTRY_COMPARE(r->seeks.positions.size(), 1);
        const qlonglong first = r->position();
        QTest::qWait(700);
        const qlonglong second = r->position();
        QVERIFY2(second - first >= 400000 && second - first <= 1500000,
                 qPrintable(QStringLiteral("%1 -> %2").arg(first).arg(second)));
        QVERIFY2(std::abs(r->mpvSeconds() - r->position() / 1e6) < ToleranceSeconds,
                 qPrintable(QStringLiteral("%1 / %2").arg(r->mpvSeconds()).arg(r->position())));

        QCOMPARE(r->call(QStringLiteral("Pause")).type(), QDBusMessage::ReplyMessage);
        QTRY_COMPARE(r->status(), QStringLiteral("Paused"));
        QTRY_VERIFY(std::abs(r->mpvSeconds() - r->position() / 1e6) < 0.01);
        const qlonglong standing = r->position();
        QTest::qWait(500);
        QCOMPARE(r->position(), standing);

        QCOMPARE(r->call(QStringLiteral("Play")).type(), QDBusMessage::ReplyMessage);
        QTRY_COMPARE(r->status(), QStringLiteral("Playing"));
        QTRY_VERIFY(r->position() > standing + 200000);
    }

    void lengthAndControlShowOnTheBus()
    {
        const auto r = rig();
        QCOMPARE(r->canPause(), false);
        QVERIFY(r->playUnderControl());
        QTRY_VERIFY(r->hasLengthOfTrack());
        const qlonglong length = r->metadata().value(QStringLiteral("mpris:length")).toLongLong();
        QCOMPARE(r->property(QStringLiteral("CanSeek")).toBool(), true);
        QCOMPARE(r->property(QStringLiteral("CanControl")).toBool(), true);
        // Stopped, the last video keeps its length; control ends with its player.
        r->windows->form2().StpStream->trigger();
        QTRY_COMPARE(r->status(), QStringLiteral("Stopped"));
        QCOMPARE(r->canPause(), false);
        QCOMPARE(r->position(), 0LL);
        QCOMPARE(r->metadata().value(QStringLiteral("mpris:length")).toLongLong(), length);
    }

    // mpv killed from outside: the desktop sees it stopped, and nothing it sends harms the program.
    void playerKilledFromOutside()
    {
        const auto r = rig();
        QVERIFY(r->playUnderControl());
        const qint64 pid = r->player().processId();
        QVERIFY(pid > 0);
        QCOMPARE(::kill(pid_t(pid), SIGKILL), 0);
        QTRY_COMPARE(r->status(), QStringLiteral("Stopped"));
        QCOMPARE(r->canPause(), false);
        QCOMPARE(r->property(QStringLiteral("Volume")).toDouble(), 1.0);
        for (const char *method : { "Pause", "Seek", "PlayPause" }) {
            const QVariantList arguments
                = qstrcmp(method, "Seek") == 0 ? QVariantList { 1000000LL } : QVariantList();
            QCOMPARE(r->call(QLatin1String(method), arguments).type(), QDBusMessage::ReplyMessage);
        }
        // PlayPause of a stopped player searches again, and the new mpv is under control.
        QTRY_VERIFY(r->canPause());
        QCOMPARE(r->status(), QStringLiteral("Playing"));
        QVERIFY(r->player().processId() != pid);
    }

    // A player that cannot start is not playing.
    void playerThatCannotStart_data()
    {
        QTest::addColumn<QString>("player");
        QTest::newRow("mpv not there") << QStringLiteral("/nonexistent/mpv --no-video");
        QTest::newRow("another player not there") << QStringLiteral("/nonexistent/kivaro-player");
        QTest::newRow("no player command") << QString();
    }

    void playerThatCannotStart()
    {
        QFETCH(QString, player);
        const auto r = rig(player);
        r->windows->form1().startSearch();
        QTRY_COMPARE(r->windows->form1().searchResultFlag(), QStringLiteral("yes"));
        QTRY_COMPARE(r->status(), QStringLiteral("Stopped"));
        QTest::qWait(100);
        QCOMPARE(r->status(), QStringLiteral("Stopped"));
        QCOMPARE(r->canPause(), false);
    }

    // A player named mpv that never opens its socket plays on without control; the play-pause key
    // then stops it, as without control.
    void mpvWithoutAnswer()
    {
        const QString fake = m_dir.filePath(QStringLiteral("silent/mpv"));
        QVERIFY(QDir().mkpath(QFileInfo(fake).path()));
        QFile script(fake);
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\nexec sleep 30\n");
        script.close();
        QVERIFY(script.setPermissions(QFile::ReadOwner | QFile::ExeOwner));
        const auto r = rig(fake);
        r->windows->form1().startSearch();
        QTRY_COMPARE(r->status(), QStringLiteral("Playing"));
        QCOMPARE(r->canPause(), false);
        QCOMPARE(r->call(QStringLiteral("Pause")).type(), QDBusMessage::ReplyMessage);
        QCOMPARE(r->status(), QStringLiteral("Playing"));
        QCOMPARE(r->call(QStringLiteral("PlayPause")).type(), QDBusMessage::ReplyMessage);
        QTRY_COMPARE(r->status(), QStringLiteral("Stopped"));
        QCOMPARE(r->player().processId(), 0);
    }

    // A fresh start with no backend chosen and yt-dlp on the PATH: the search goes through yt-dlp,
    // and mpv plays the video's address through its own yt-dlp support, here a stand-in that
    // hands it the demo site's track (so nothing leaves this machine).
    void autoBackendPlaysThroughYtDlp()
    {
        demo::DemoSite site;
        QVERIFY(site.listen());
        const QString bin = m_dir.filePath(QStringLiteral("bin"));
        QVERIFY(QDir().mkpath(bin));
        const QString log = m_dir.filePath(QStringLiteral("yt-dlp.log"));
        QFile script(bin + QLatin1String("/yt-dlp"));
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write(QStringLiteral("#!/bin/sh\n"
                                    "echo \"$@\" >> '%1'\n"
                                    "for a in \"$@\"; do case \"$a\" in\n"
                                    "--print) printf 'AbCdEfGhIjK\\nRed Band - Blue Song\\n'; exit 0;;\n"
                                    "-J) printf '{\"id\":\"AbCdEfGhIjK\",\"title\":\"Red Band - Blue Song\","
                                    "\"url\":\"http://127.0.0.1:%2/player2.swf?video_id=AbCdEfGhIjK\","
                                    "\"ext\":\"wav\"}\\n'; exit 0;;\n"
                                    "esac; done\nexit 1\n")
                         .arg(log)
                         .arg(site.port())
                         .toUtf8());
        script.close();
        QVERIFY(script.setPermissions(QFile::ReadOwner | QFile::ExeOwner));
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(bin) + ':' + path);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const QString &name : environment.keys()) {
            if (name.startsWith(QLatin1String("KIVARO_")))
                environment.remove(name);
        }
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir.filePath(QStringLiteral("no-config")));
        // mpv asks yt-dlp first, so it never looks up the site's name.
        const ParsedSettings parsed
            = parseSettings({ QStringLiteral("kivaro"), QStringLiteral("--player"),
                              Mpv + QStringLiteral(" --script-opts=ytdl_hook-try_ytdl_first=yes") },
                            environment);
        QCOMPARE(parsed.error, QString());
        QCOMPARE(parsed.settings.backend, Settings::Backend::YtDlp);
        QCOMPARE(parsed.backendChoice,
                 QStringLiteral("backend: yt-dlp (auto: the built-in video site, and yt-dlp is %1/yt-dlp)")
                     .arg(bin));

        Windows windows(parsed.settings, Windows::PlayerFactory(), [] {});
        const QString serviceName = QStringLiteral("kivaro-mpv-auto-%1").arg(++m_serial);
        QVERIFY(windows.startMediaControls(QDBusConnection::connectToBus(m_bus->address(), serviceName)));
        windows.form1().Text1->setText(QStringLiteral("red band"));
        windows.form1().startSearch();
        QTRY_COMPARE_WITH_TIMEOUT(windows.form1().fullTitle(), QStringLiteral("Red Band - Blue Song"),
                                  CallTimeoutMs);
        auto &player = static_cast<ProcessPlayer &>(windows.form1().flash());
        QCOMPARE(player.movie(), QStringLiteral("https://www.youtube.com/watch?v=AbCdEfGhIjK"));
        // mpv plays the track it was handed: its length and its running clock say so.
        QTRY_VERIFY_WITH_TIMEOUT(std::abs(player.control()->lengthUs() - TrackLengthUs) < 1000,
                                 CallTimeoutMs);
        QTRY_VERIFY(player.control()->positionUs() > 300000);
        QCOMPARE(windows.mediaControls()->playbackStatus(), QStringLiteral("Playing"));
        qputenv("PATH", path);
        QFile logFile(log);
        QVERIFY(logFile.open(QIODevice::ReadOnly));
        const QStringList lines
            = QString::fromUtf8(logFile.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2);
        QVERIFY2(lines.at(0).endsWith(QLatin1String("ytsearch1:red band")), qPrintable(lines.at(0)));
        QVERIFY2(lines.at(1).contains(QLatin1String("-J")), qPrintable(lines.at(1)));
        QVERIFY2(lines.at(1).endsWith(QLatin1String("https://www.youtube.com/watch?v=AbCdEfGhIjK")),
                 qPrintable(lines.at(1)));
        windows.form1().flash().setMovie(Settings::neutralAddress());
        QDBusConnection::disconnectFromBus(serviceName);
    }
};

QTEST_MAIN(TestMprisMpv)
#include "tst_mprismpv.moc"
