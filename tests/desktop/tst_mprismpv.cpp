// The media controls with the real player: mpv (silent) plays the demo site's track on loop, a
// desktop client on a private bus sends its requests, and each is checked in mpv's own answer on
// the IPC socket Kivaro controls it through.

#include "app/windows.h"
#include "demosite.h"
#include "desktop/mprisservice.h"
#include "mainwindow/form1.h"
#include "platform/mpvipc.h"
#include "platform/processplayer.h"
#include "privatebus.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalSocket>
#include <QTest>

#include <csignal>

using namespace kivaro;
using namespace kivaro::test;

namespace {

const QString PlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");
const QString Properties = QStringLiteral("org.freedesktop.DBus.Properties");
const QString Mpv = QStringLiteral("mpv --ao=null --no-video --really-quiet --loop-file=inf");
constexpr int WaitMs = 10000;
// mpv tells its place a little before where it was sent, by what its silent output holds.
constexpr double ToleranceSeconds = 0.25;

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
        BusPeers bus;
        std::unique_ptr<Windows> windows;
        SeekRecorder seeks;

        Rig(const QString &busAddress, const QString &player)
            : bus(busAddress)
        {
            if (!site.listen())
                qFatal("cannot listen on loopback");
            Settings settings;
            settings.site = QUrl(QStringLiteral("http://127.0.0.1:%1").arg(site.port()));
            settings.player = player;
            windows = std::make_unique<Windows>(settings, Windows::PlayerFactory(), [] {});
            windows->startMediaControls(bus.service);
            bus.client.connect(MprisService::busName(), MprisService::objectPath(), PlayerInterface,
                               QStringLiteral("Seeked"), &seeks, SLOT(record(qlonglong)));
        }
        ~Rig() { windows.reset(); }

        ProcessPlayer &player() { return static_cast<ProcessPlayer &>(windows->form1().flash()); }
        QDBusMessage call(const QString &method, const QVariantList &arguments = {})
        {
            return bus.call(PlayerInterface, method, arguments);
        }
        QVariant property(const QString &name) { return bus.property(PlayerInterface, name); }
        QString status() { return property(QStringLiteral("PlaybackStatus")).toString(); }
        qlonglong position() { return property(QStringLiteral("Position")).toLongLong(); }
        QVariantMap metadata()
        {
            return qdbus_cast<QVariantMap>(property(QStringLiteral("Metadata")).value<QDBusArgument>());
        }
        QDBusObjectPath track()
        {
            return metadata().value(QStringLiteral("mpris:trackid")).value<QDBusObjectPath>();
        }

        // Searches as the main window does, and waits until mpv plays under control, its length known.
        bool play()
        {
            windows->form1().startSearch();
            return QTest::qWaitFor(
                [&] { return status() == u"Playing" && property(QStringLiteral("CanSeek")).toBool(); },
                WaitMs);
        }
        // Asks mpv itself, on its own socket.
        QVariant askMpv(const QString &property)
        {
            QLocalSocket socket;
            socket.connectToServer(player().control()->serverPath());
            socket.write(QByteArrayLiteral("{\"command\":[\"get_property\",\"") + property.toUtf8()
                         + "\"]}\n");
            while (socket.waitForReadyRead(WaitMs)) {
                while (socket.canReadLine()) {
                    const QJsonObject reply = QJsonDocument::fromJson(socket.readLine()).object();
                    if (reply.contains(QLatin1String("error")))
                        return reply.value(QLatin1String("data")).toVariant();
                }
            }
            return QStringLiteral("<no answer>");
        }
    };

    std::unique_ptr<PrivateBus> m_bus;

private Q_SLOTS:
    void initTestCase()
    {
        m_bus = std::make_unique<PrivateBus>();
        if (m_bus->address().isEmpty())
            QSKIP(qPrintable(QStringLiteral("no private session bus: ") + m_bus->errorString()));
    }

    void cleanupTestCase() { m_bus.reset(); }

    // The desktop's requests, each sent once the desktop shows what mpv did with the one before
    // ("&": at once, as a double press), and what mpv then says. For time-pos the value says whether
    // the last request moves (1: mpv lands where the desktop asked, from where it showed mpv to be)
    // or is refused (-1: mpv stays where the request before put it).
    void requestsReachMpv_data()
    {
        QTest::addColumn<QStringList>("requests");
        QTest::addColumn<QString>("mpvProperty");
        QTest::addColumn<double>("mpvValue");
        QTest::addColumn<QString>("status");
        auto row = [](const char *name, const char *requests, const char *property, double value,
                      const char *status) {
            QTest::newRow(name) << QString::fromLatin1(requests).split(QLatin1Char(' '))
                                << QString::fromLatin1(property) << value << QString::fromLatin1(status);
        };
        const char *pause = "pause";
        const char *volume = "volume";
        const char *timePos = "time-pos";
        const char *paused = "Paused";
        const char *playing = "Playing";
        row("Pause", "Pause", pause, 1, paused);
        row("Play resumes", "Pause Play", pause, 0, playing);
        row("PlayPause twice at once: paused and resumed", "&PlayPause &PlayPause", pause, 0, playing);
        row("volume", "Volume=0.25", volume, 25, playing);
        row("volume above full", "Volume=1.7", volume, 100, playing);
        row("volume while paused, below none", "Pause Volume=-0.5", volume, 0, paused);
        row("SetPosition", "Pause SetPosition=3500000", timePos, 1, paused);
        row("SetPosition past the end", "Pause SetPosition=1000000 SetPosition=6500000", timePos, -1, paused);
        row("SetPosition before the start", "Pause SetPosition=1000000 SetPosition=-1", timePos, -1, paused);
        row("Seek forward", "Pause SetPosition=1000000 Seek=2000000", timePos, 1, paused);
        row("Seek back", "Pause SetPosition=3000000 Seek=-1000000", timePos, 1, paused);
        row("Seek back past the start", "Pause SetPosition=1000000 Seek=-9223372036854775808", timePos, 1,
            paused);
        row("Seek past the end", "Pause SetPosition=1000000 Seek=5500000", timePos, -1, paused);
    }

    void requestsReachMpv()
    {
        QFETCH(QStringList, requests);
        QFETCH(QString, mpvProperty);
        QFETCH(double, mpvValue);
        QFETCH(QString, status);
        Rig r(m_bus->address(), Mpv);
        QVERIFY(r.play());
        double target = 0; // where the last seek was sent, in seconds
        for (QString request : requests) {
            const bool atOnce = request.startsWith(QLatin1Char('&'));
            const QString method = request.remove(QLatin1Char('&')).section(QLatin1Char('='), 0, 0);
            const QString argument = request.section(QLatin1Char('='), 1);
            if (method == u"Volume") {
                const QVariant level = QVariant::fromValue(QDBusVariant(argument.toDouble()));
                QCOMPARE(
                    r.bus.call(Properties, QStringLiteral("Set"), { PlayerInterface, method, level }).type(),
                    QDBusMessage::ReplyMessage);
                QTRY_COMPARE(r.property(method).toDouble(), std::clamp(argument.toDouble(), 0.0, 1.0));
                continue;
            }
            QVariantList arguments;
            if (method == u"SetPosition")
                arguments << QVariant::fromValue(r.track());
            if (!argument.isEmpty())
                arguments << argument.toLongLong();
            const double from = r.position() / 1e6;
            const qsizetype seeks = r.seeks.positions.size();
            QCOMPARE(r.call(method, arguments).type(), QDBusMessage::ReplyMessage);
            if (!arguments.isEmpty() && (request != requests.last() || mpvValue >= 0)) {
                const double seconds = std::max(argument.toLongLong(), -1000000000000LL) / 1e6;
                target = method == u"Seek" ? std::max(0.0, from + seconds) : seconds;
                QTRY_COMPARE(r.seeks.positions.size(), seeks + 1);
            } else if (!atOnce) {
                QTRY_COMPARE(r.status(),
                             r.askMpv(QStringLiteral("pause")).toBool() ? QStringLiteral("Paused")
                                                                        : QStringLiteral("Playing"));
            }
        }
        QTRY_COMPARE(r.status(), status);
        if (mpvProperty != u"time-pos") {
            QTRY_COMPARE(r.askMpv(mpvProperty).toDouble(), mpvValue);
        } else {
            // Paused: the desktop's position is mpv's own, and the last jump was told with it.
            const double now = r.askMpv(mpvProperty).toDouble();
            QVERIFY2(now <= target + 0.01 && now > target - ToleranceSeconds,
                     qPrintable(QStringLiteral("%1 for %2").arg(now).arg(target)));
            const qlonglong position = std::llround(std::max(0.0, now) * 1e6);
            QTRY_COMPARE(r.position(), position);
            QCOMPARE(r.seeks.positions.value(r.seeks.positions.size() - 1), position);
        }
        // Never stopped nor searched again: two pages and the track.
        QCOMPARE(r.site.requestsServed(), 3);
    }

    // The position runs with playback and stands while paused; the length is mpv's.
    void positionAndLength()
    {
        Rig r(m_bus->address(), Mpv);
        QVERIFY(r.play());
        QTRY_VERIFY(r.metadata().contains(QStringLiteral("mpris:length")));
        QCOMPARE(r.metadata().value(QStringLiteral("mpris:length")).toLongLong(),
                 std::llround(r.askMpv(QStringLiteral("duration")).toDouble() * 1e6));
        r.call(QStringLiteral("SetPosition"), { QVariant::fromValue(r.track()), 500000LL });
        QTRY_COMPARE(r.seeks.positions.size(), 1);
        const qlonglong first = r.position();
        QTest::qWait(700);
        const qlonglong second = r.position();
        QVERIFY2(second - first >= 400000 && second - first <= 1500000,
                 qPrintable(QString::number(second - first)));
        QVERIFY(std::abs(r.askMpv(QStringLiteral("time-pos")).toDouble() - r.position() / 1e6)
                < ToleranceSeconds);
        r.call(QStringLiteral("Pause"));
        QTRY_COMPARE(r.status(), QStringLiteral("Paused"));
        const qlonglong standing = r.position();
        QTest::qWait(500);
        QCOMPARE(r.position(), standing);
    }

    // mpv killed from outside: stopped, nothing the desktop sends harms the program, and the
    // play-pause key of a stopped player searches again, under control again.
    void playerKilledFromOutside()
    {
        Rig r(m_bus->address(), Mpv);
        QVERIFY(r.play());
        const qint64 pid = r.player().processId();
        QCOMPARE(::kill(pid_t(pid), SIGKILL), 0);
        QTRY_COMPARE(r.status(), QStringLiteral("Stopped"));
        QCOMPARE(r.property(QStringLiteral("CanPause")).toBool(), false);
        QCOMPARE(r.property(QStringLiteral("Volume")).toDouble(), 1.0);
        QCOMPARE(r.call(QStringLiteral("Seek"), { 1000000LL }).type(), QDBusMessage::ReplyMessage);
        QCOMPARE(r.call(QStringLiteral("PlayPause")).type(), QDBusMessage::ReplyMessage);
        QTRY_VERIFY(r.property(QStringLiteral("CanPause")).toBool());
        QVERIFY(r.player().processId() != pid);
    }
};

QTEST_MAIN(TestMprisMpv)
#include "tst_mprismpv.moc"
