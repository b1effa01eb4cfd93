// Kivaro as an MPRIS player, seen from another client on a private session bus: what it says
// plays, the change signals, and what play, stop, raise and quit do to the program's windows.

#include "demosite.h"
#include "desktop/mprisservice.h"
#include "form1rig.h"
#include "privatebus.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QLineEdit>
#include <QTest>

using namespace kivaro;
using namespace kivaro::test;

namespace {

const QString RootInterface = QStringLiteral("org.mpris.MediaPlayer2");
const QString PlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");
const QString KivaroName = QStringLiteral("org.mpris.MediaPlayer2.kivaro");
constexpr int CallTimeoutMs = 10000;

// A nested a{sv} arrives still marshalled.
QVariantMap toMap(const QVariant &value)
{
    if (value.canConvert<QDBusArgument>())
        return qdbus_cast<QVariantMap>(value.value<QDBusArgument>());
    return value.toMap();
}

// Records every PropertiesChanged the player sends. QDBusConnection::connect only takes slots by
// their signature text.
class ChangeRecorder : public QObject
{
    Q_OBJECT

public:
    struct Change
    {
        QString interface;
        QVariantMap changed;
        QStringList invalidated;
    };
    QList<Change> changes;

public Q_SLOTS:
    void record(const QString &interface, const QVariantMap &changed, const QStringList &invalidated)
    {
        changes.append({ interface, changed, invalidated });
    }
};

} // namespace

class TestMpris : public QObject
{
    Q_OBJECT

    // One program with its windows against the demo site, offered on the private bus, and a client
    // connection of its own that talks to it as a desktop would.
    struct Rig : BusPeers
    {
        demo::DemoSite site;
        std::unique_ptr<Form1Rig> program;

        Rig(const QString &busAddress, bool useDemoSite = true)
            : BusPeers(busAddress)
        {
            if (!site.listen())
                qFatal("cannot listen on loopback");
            program = std::make_unique<Form1Rig>(
                useDemoSite ? QStringLiteral("http://127.0.0.1:%1").arg(site.port()) : QString());
        }
        ~Rig() { program.reset(); }

        Windows &windows() { return *program->windows; }
        RecordingPlayer &player() { return program->player(); }
        QVariantMap metadata() { return toMap(property(PlayerInterface, QStringLiteral("Metadata"))); }
        QString status() { return property(PlayerInterface, QStringLiteral("PlaybackStatus")).toString(); }

        // Searches as the main window does and waits for the video.
        bool search(const QString &query)
        {
            const int before = player().addresses.size();
            program->form().Text1->setText(query);
            program->form().startSearch();
            return QTest::qWaitFor([&] {
                return player().addresses.size() > before + 1 && program->form().searchResultFlag() == u"yes";
            });
        }
    };

    std::unique_ptr<PrivateBus> m_bus;

    std::unique_ptr<Rig> startedRig(bool useDemoSite = true)
    {
        auto rig = std::make_unique<Rig>(m_bus->address(), useDemoSite);
        if (!rig->windows().startMediaControls(rig->service))
            return nullptr;
        return rig;
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_bus = std::make_unique<PrivateBus>();
        if (m_bus->address().isEmpty())
            QSKIP(qPrintable(QStringLiteral("no private session bus: ") + m_bus->errorString()));
    }

    void cleanupTestCase() { m_bus.reset(); }

    void artist_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("artist");
        QTest::newRow("artist and song")
            << QStringLiteral("Red Band - Blue Song") << QStringLiteral("Red Band");
        QTest::newRow("first separator") << QStringLiteral("A - B - C") << QStringLiteral("A");
        QTest::newRow("hyphen without spaces") << QStringLiteral("Red-Band Blue") << QString();
        QTest::newRow("no separator") << QStringLiteral("Blue Song") << QString();
        QTest::newRow("nothing before it") << QStringLiteral(" - Blue Song") << QString();
        QTest::newRow("page spacing trimmed")
            << QStringLiteral("\n  Red Band - Blue Song\n") << QStringLiteral("Red Band");
        QTest::newRow("empty") << QString() << QString();
    }

    void artist()
    {
        QFETCH(QString, title);
        QFETCH(QString, artist);
        QCOMPARE(MprisService::artist(title), artist);
    }

    void fixedProperties_data()
    {
        QTest::addColumn<QString>("interface");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QVariant>("value");
        QTest::newRow("Identity") << RootInterface << QStringLiteral("Identity")
                                  << QVariant(QStringLiteral("Kivaro"));
        QTest::newRow("DesktopEntry")
            << RootInterface << QStringLiteral("DesktopEntry") << QVariant(QStringLiteral("kivaro"));
        QTest::newRow("CanQuit") << RootInterface << QStringLiteral("CanQuit") << QVariant(true);
        QTest::newRow("CanRaise") << RootInterface << QStringLiteral("CanRaise") << QVariant(true);
        QTest::newRow("HasTrackList") << RootInterface << QStringLiteral("HasTrackList") << QVariant(false);
        QTest::newRow("CanPlay") << PlayerInterface << QStringLiteral("CanPlay") << QVariant(true);
        QTest::newRow("CanPause") << PlayerInterface << QStringLiteral("CanPause") << QVariant(false);
        QTest::newRow("CanSeek") << PlayerInterface << QStringLiteral("CanSeek") << QVariant(false);
        QTest::newRow("CanGoNext") << PlayerInterface << QStringLiteral("CanGoNext") << QVariant(false);
        QTest::newRow("CanControl") << PlayerInterface << QStringLiteral("CanControl") << QVariant(true);
        QTest::newRow("Rate") << PlayerInterface << QStringLiteral("Rate") << QVariant(1.0);
        QTest::newRow("Volume") << PlayerInterface << QStringLiteral("Volume") << QVariant(1.0);
        QTest::newRow("Position") << PlayerInterface << QStringLiteral("Position") << QVariant(qlonglong(0));
        QTest::newRow("stopped before any search")
            << PlayerInterface << QStringLiteral("PlaybackStatus") << QVariant(QStringLiteral("Stopped"));
    }

    void fixedProperties()
    {
        QFETCH(QString, interface);
        QFETCH(QString, name);
        QFETCH(QVariant, value);
        const auto rig = startedRig();
        QVERIFY(rig);
        QCOMPARE(rig->windows().mediaControls()->serviceName(), KivaroName);
        QCOMPARE(rig->property(interface, name), value);
    }

    void noMetadataBeforeAnyVideo()
    {
        const auto rig = startedRig();
        QVERIFY(rig);
        const QDBusMessage reply
            = rig->call(QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"),
                        { PlayerInterface, QStringLiteral("Metadata") });
        QCOMPARE(reply.type(), QDBusMessage::ReplyMessage);
        QCOMPARE(rig->metadata(), QVariantMap());
    }

    void propertiesAfterSearch_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("artist");
        QTest::addColumn<QString>("parametersStart");
        QTest::newRow("artist and song")
            << QStringLiteral("Red Band - Blue Song") << QStringLiteral("Red Band - Blue Song")
            << QStringList { QStringLiteral("Red Band") } << QStringLiteral("AbCdEfGhIjK&l=212&t=");
        QTest::newRow("ampersand") << QStringLiteral("kite & compass")
                                   << QStringLiteral("Kite & Compass - Open Water")
                                   << QStringList { QStringLiteral("Kite & Compass") }
                                   << QStringLiteral("kC1openWat8&l=233&t=");
        QTest::newRow("beyond ASCII")
            << QStringLiteral("caf\u00e9") << QStringLiteral("\u00c9mile Sorel - Caf\u00e9 Lumi\u00e8re")
            << QStringList { QStringLiteral("\u00c9mile Sorel") } << QStringLiteral("eS6cafeLum4&l=190&t=");
    }

    void propertiesAfterSearch()
    {
        QFETCH(QString, query);
        QFETCH(QString, title);
        QFETCH(QStringList, artist);
        QFETCH(QString, parametersStart);
        const auto rig = startedRig();
        QVERIFY(rig);
        QVERIFY(rig->search(query));

        QCOMPARE(rig->status(), QStringLiteral("Playing"));
        const QVariantMap metadata = rig->metadata();
        QCOMPARE(metadata.value(QStringLiteral("xesam:title")).toString(), title);
        QCOMPARE(metadata.value(QStringLiteral("xesam:artist")).toStringList(), artist);
        const QString url = metadata.value(QStringLiteral("xesam:url")).toString();
        QCOMPARE(url, rig->player().movie());
        const QString prefix
            = QStringLiteral("http://127.0.0.1:%1/player2.swf?video_id=").arg(rig->site.port());
        QVERIFY2(url.startsWith(prefix + parametersStart), qPrintable(url));
        QCOMPARE(metadata.value(QStringLiteral("mpris:trackid")).value<QDBusObjectPath>().path(),
                 QStringLiteral("/org/kivaro/track/1"));
    }

    void titleWithoutArtist()
    {
        const auto rig = startedRig(false);
        QVERIFY(rig);
        rig->program->server.setScript([](const QByteArray &requestLine) {
            const QByteArray page = requestLine.contains("/results?")
                ? QByteArrayLiteral("<a href=\"/watch?v=Zz9\">")
                : QByteArrayLiteral("var fo = new SWFObject(\"/player2.swf?video_id=Zz9&l=5\", "
                                    "<title>YouTube - Lullaby</title>");
            return LoopbackServer::Reply { LoopbackServer::ok(page) };
        });
        QVERIFY(rig->search(QStringLiteral("lullaby")));
        const QVariantMap metadata = rig->metadata();
        QCOMPARE(metadata.value(QStringLiteral("xesam:title")).toString(), QStringLiteral("Lullaby"));
        QVERIFY(!metadata.contains(QStringLiteral("xesam:artist")));
        QCOMPARE(metadata.value(QStringLiteral("xesam:url")).toString(),
                 rig->program->server.address() + QStringLiteral("/player2.swf?video_id=Zz9&l=5"));
    }

    // One signal when the video starts (its address and title together), one when it stops; stopping
    // leaves the last video's description as it was.
    void changeSignals()
    {
        const auto rig = startedRig();
        QVERIFY(rig);
        ChangeRecorder recorder;
        QVERIFY(rig->client.connect(
            KivaroName, MprisService::objectPath(), QStringLiteral("org.freedesktop.DBus.Properties"),
            QStringLiteral("PropertiesChanged"), &recorder, SLOT(record(QString, QVariantMap, QStringList))));
        QVERIFY(rig->search(QStringLiteral("Red Band - Blue Song")));
        QTRY_COMPARE(recorder.changes.size(), 1);
        QCOMPARE(rig->call(PlayerInterface, QStringLiteral("Stop")).type(), QDBusMessage::ReplyMessage);
        QTRY_COMPARE(recorder.changes.size(), 2);

        const ChangeRecorder::Change started = recorder.changes.at(0);
        QCOMPARE(started.interface, PlayerInterface);
        QCOMPARE(started.changed.keys(),
                 (QStringList { QStringLiteral("Metadata"), QStringLiteral("PlaybackStatus") }));
        QCOMPARE(started.changed.value(QStringLiteral("PlaybackStatus")).toString(),
                 QStringLiteral("Playing"));
        const QVariantMap metadata = toMap(started.changed.value(QStringLiteral("Metadata")));
        QCOMPARE(metadata.value(QStringLiteral("xesam:title")).toString(),
                 QStringLiteral("Red Band - Blue Song"));
        QCOMPARE(metadata.value(QStringLiteral("xesam:artist")).toStringList(),
                 QStringList { QStringLiteral("Red Band") });
        QCOMPARE(started.invalidated, QStringList());

        const ChangeRecorder::Change stopped = recorder.changes.at(1);
        QCOMPARE(stopped.changed,
                 (QVariantMap { { QStringLiteral("PlaybackStatus"), QStringLiteral("Stopped") } }));
        QCOMPARE(rig->metadata().value(QStringLiteral("xesam:title")).toString(),
                 QStringLiteral("Red Band - Blue Song"));
    }

    // What each request does after a search has started its video, playing on or stopped first.
    void playerMethods_data()
    {
        QTest::addColumn<QString>("method");
        QTest::addColumn<bool>("stoppedFirst");
        QTest::addColumn<bool>("stops"); // the player is given the neutral address first
        QTest::addColumn<bool>("replays"); // the last query is searched again and plays
        QTest::addColumn<QString>("status");
        QTest::newRow("Stop while playing")
            << QStringLiteral("Stop") << false << true << false << QStringLiteral("Stopped");
        QTest::newRow("Stop while stopped")
            << QStringLiteral("Stop") << true << true << false << QStringLiteral("Stopped");
        QTest::newRow("Play after Stop")
            << QStringLiteral("Play") << true << true << true << QStringLiteral("Playing");
        QTest::newRow("Play while playing")
            << QStringLiteral("Play") << false << false << false << QStringLiteral("Playing");
        QTest::newRow("PlayPause while playing")
            << QStringLiteral("PlayPause") << false << true << false << QStringLiteral("Stopped");
        QTest::newRow("PlayPause after Stop")
            << QStringLiteral("PlayPause") << true << true << true << QStringLiteral("Playing");
        QTest::newRow("Pause does nothing")
            << QStringLiteral("Pause") << false << false << false << QStringLiteral("Playing");
        QTest::newRow("Next does nothing")
            << QStringLiteral("Next") << false << false << false << QStringLiteral("Playing");
        QTest::newRow("Previous does nothing")
            << QStringLiteral("Previous") << true << false << false << QStringLiteral("Stopped");
    }

    void playerMethods()
    {
        QFETCH(QString, method);
        QFETCH(bool, stoppedFirst);
        QFETCH(bool, stops);
        QFETCH(bool, replays);
        QFETCH(QString, status);
        const auto rig = startedRig();
        QVERIFY(rig);
        QVERIFY(rig->search(QStringLiteral("red band paper")));
        const QString video = rig->player().movie();
        const QString title = rig->program->form().fullTitle();
        QCOMPARE(title, QStringLiteral("Red Band - Paper Boats"));
        if (stoppedFirst)
            rig->program->engine().StpStream->trigger();
        const QStringList before = rig->player().addresses;
        const int served = rig->site.requestsServed();

        QCOMPARE(rig->call(PlayerInterface, method).type(), QDBusMessage::ReplyMessage);
        // Answered first, carried out from the event loop.
        QTRY_VERIFY(!rig->windows().mediaControls()->requestsPending());
        const QStringList given = rig->player().addresses.mid(before.size());
        if (replays) {
            // The search may already have found its video while the call waited for its answer.
            QCOMPARE(given.value(0), Settings::neutralAddress());
            QTRY_COMPARE(rig->player().movie(), video);
            QCOMPARE(rig->site.requestsServed(), served + 2);
            QCOMPARE(rig->program->engine().Text4->text(), QStringLiteral("red band paper"));
            QTRY_COMPARE(
                rig->metadata().value(QStringLiteral("mpris:trackid")).value<QDBusObjectPath>().path(),
                QStringLiteral("/org/kivaro/track/2"));
        } else {
            QCOMPARE(given, stops ? QStringList { Settings::neutralAddress() } : QStringList());
        }
        QTRY_COMPARE(rig->status(), status);
        // Stopping keeps the title the window shows.
        QCOMPARE(rig->program->form().fullTitle(), title);
    }

    // With a real player command: once it has played the music through, or when it cannot start,
    // nothing plays.
    void stoppedWhenThePlayerEnds_data()
    {
        QTest::addColumn<QString>("player");
        QTest::newRow("played through") << QStringLiteral("true");
        QTest::newRow("mpv not there") << QStringLiteral("/nonexistent/mpv --no-video");
        QTest::newRow("another player not there") << QStringLiteral("/nonexistent/kivaro-player");
        QTest::newRow("no player command") << QString();
    }
    void stoppedWhenThePlayerEnds()
    {
        QFETCH(QString, player);
        demo::DemoSite site;
        QVERIFY(site.listen());
        Settings settings;
        settings.site = QUrl(QStringLiteral("http://127.0.0.1:%1").arg(site.port()));
        settings.player = player;
        Windows windows(settings, {}, [] {});
        BusPeers bus(m_bus->address());
        QVERIFY(windows.startMediaControls(bus.service));
        windows.form1().startSearch();
        QTRY_COMPARE(windows.form1().fullTitle(), QStringLiteral("Red Band - Blue Song"));
        QTRY_COMPARE(bus.property(PlayerInterface, QStringLiteral("PlaybackStatus")).toString(),
                     QStringLiteral("Stopped"));
        QCOMPARE(toMap(bus.property(PlayerInterface, QStringLiteral("Metadata")))
                     .value(QStringLiteral("xesam:title")),
                 QStringLiteral("Red Band - Blue Song"));
    }

    void raiseShowsTheMainWindow_data()
    {
        QTest::addColumn<bool>("minimisedFirst");
        QTest::newRow("not shown yet") << false;
        QTest::newRow("minimised") << true;
    }

    void raiseShowsTheMainWindow()
    {
        QFETCH(bool, minimisedFirst);
        const auto rig = startedRig();
        QVERIFY(rig);
        Form1 &form = rig->program->form();
        if (minimisedFirst) {
            form.showMinimized();
            QVERIFY(form.isMinimized());
        }
        QVERIFY(!form.isVisible() || form.isMinimized());
        QCOMPARE(rig->call(RootInterface, QStringLiteral("Raise")).type(), QDBusMessage::ReplyMessage);
        QTRY_VERIFY(form.isVisible());
        QVERIFY(!form.isMinimized());
    }

    // The exit button's ending, which leaves no time afterwards: the caller has its answer before.
    void quitEndsLikeTheExitButton()
    {
        const auto rig = startedRig();
        QVERIFY(rig);
        QDBusMessage quit = QDBusMessage::createMethodCall(KivaroName, MprisService::objectPath(),
                                                           RootInterface, QStringLiteral("Quit"));
        QDBusPendingCall pending = rig->client.asyncCall(quit, 2 * CallTimeoutMs);
        int ended = 0;
        bool answeredBefore = false;
        rig->program->onProgramEnd = [&] {
            ++ended;
            answeredBefore = QTest::qWaitFor([&] { return pending.isFinished(); }, CallTimeoutMs);
        };
        QTRY_COMPARE(ended, 1);
        QVERIFY(answeredBefore);
        QVERIFY(!pending.isError());
    }

    void secondKivaroTakesAnInstanceName()
    {
        const auto first = startedRig();
        QVERIFY(first);
        const auto second = startedRig();
        QVERIFY(second);
        const QString instance = QStringLiteral("org.mpris.MediaPlayer2.kivaro.instance%1")
                                     .arg(QCoreApplication::applicationPid());
        QCOMPARE(first->windows().mediaControls()->serviceName(), KivaroName);
        QCOMPARE(second->windows().mediaControls()->serviceName(), instance);
        // Each answers for its own program.
        QVERIFY(second->search(QStringLiteral("Red Band - Blue Song")));
        QCOMPARE(first->status(), QStringLiteral("Stopped"));
        QCOMPARE(first->property(PlayerInterface, QStringLiteral("PlaybackStatus")).toString(),
                 QStringLiteral("Stopped"));
        QDBusMessage get = QDBusMessage::createMethodCall(instance, MprisService::objectPath(),
                                                          QStringLiteral("org.freedesktop.DBus.Properties"),
                                                          QStringLiteral("Get"));
        get << PlayerInterface << QStringLiteral("PlaybackStatus");
        const QDBusMessage reply = first->client.call(get, QDBus::BlockWithGui);
        QCOMPARE(reply.arguments().value(0).value<QDBusVariant>().variant().toString(),
                 QStringLiteral("Playing"));
    }

    void nameIsFreedWithTheProgram()
    {
        auto rig = startedRig();
        QVERIFY(rig);
        auto watcher = std::make_unique<Rig>(m_bus->address());
        QVERIFY(watcher->client.interface()->isServiceRegistered(KivaroName));
        rig.reset();
        QTRY_VERIFY(!watcher->client.interface()->isServiceRegistered(KivaroName));
    }

    void withoutABusTheProgramRunsAsBefore()
    {
        Rig rig(m_bus->address());
        const QDBusConnection none = QDBusConnection::connectToBus(
            QStringLiteral("unix:path=/nonexistent/kivaro-test-bus"), QStringLiteral("kivaro-no-bus"));
        QVERIFY(!none.isConnected());
        QVERIFY(!rig.windows().startMediaControls(none));
        QCOMPARE(rig.windows().mediaControls(), nullptr);
        QVERIFY(rig.search(QStringLiteral("Red Band - Blue Song")));
        QCOMPARE(rig.program->form().fullTitle(), QStringLiteral("Red Band - Blue Song"));
        QDBusConnection::disconnectFromBus(QStringLiteral("kivaro-no-bus"));
    }
};

QTEST_MAIN(TestMpris)
#include "tst_mpris.moc"
