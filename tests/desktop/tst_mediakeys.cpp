// The media controls under a flood of requests from the bus, and on the update path: requests wait
// their turn instead of running inside a search that lets events run, a burst of them is one
// request, and nothing the desktop asks creates the program's windows while the update prompt
// stands alone.

#include "deafport.h"
#include "desktop/mprisservice.h"
#include "form1rig.h"
#include "platform/socket.h"
#include "privatebus.h"
#include "startup/frmupdate.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <optional>

using namespace kivaro;
using namespace kivaro::test;

namespace {

const QString RootInterface = QStringLiteral("org.mpris.MediaPlayer2");
const QString PlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");
constexpr int CallTimeoutMs = 60000;

} // namespace

class TestMediaKeys : public QObject
{
    Q_OBJECT

    std::unique_ptr<PrivateBus> m_bus;

private Q_SLOTS:
    void initTestCase()
    {
        m_bus = std::make_unique<PrivateBus>();
        if (m_bus->address().isEmpty())
            QSKIP(qPrintable(QStringLiteral("no private session bus: ") + m_bus->errorString()));
    }

    void cleanupTestCase() { m_bus.reset(); }

    // Thousands of play-pause presses sent without waiting, while every search hangs in its
    // connection wait: each would have started a search inside the one before, until the stack ran
    // out. Now no search starts while another is still connecting, and the burst is one request.
    void floodOfPlayPauseWhileTheSiteStalls()
    {
        DeafPort site;
        BusPeers bus(m_bus->address());
        Form1Rig rig(site.address());
        Form2 &engine = rig.engine();
        engine.setConnectTimeout(1000);
        engine.Text4->setText(QStringLiteral("red band"));
        QVERIFY(rig.windows->startMediaControls(bus.service));

        int searches = 0;
        int startedWhileConnecting = 0;
        connect(&engine, &Form2::playerAddressChanged, this, [&](const QString &address) {
            if (address != Settings::neutralAddress())
                return;
            ++searches;
            const Socket::State state = engine.sckTCP->state();
            if (state == Socket::ResolvingHost || state == Socket::HostResolved
                || state == Socket::Connecting)
                ++startedWhileConnecting;
        });

        constexpr int Presses = 5000;
        for (int i = 0; i < Presses; ++i)
            QVERIFY(bus.client.send(BusPeers::request(PlayerInterface, QStringLiteral("PlayPause"))));
        // Answered in order: once this call has its answer, every press has been taken.
        QVERIFY(bus.property(PlayerInterface, QStringLiteral("PlaybackStatus")).isValid());
        QTRY_VERIFY_WITH_TIMEOUT(!rig.windows->mediaControls()->requestsPending(), CallTimeoutMs);
        QTRY_VERIFY_WITH_TIMEOUT(engine.sckTCP->state() == Socket::Error, CallTimeoutMs);

        QCOMPARE(startedWhileConnecting, 0);
        QVERIFY2(searches >= 1 && searches <= 20, qPrintable(QString::number(searches)));
        // Still answering.
        QCOMPARE(bus.call(RootInterface, QStringLiteral("Raise")).type(), QDBusMessage::ReplyMessage);
        QTRY_VERIFY(rig.form().isVisible());
    }

    // A raise starts no search, so it need not wait for one that hangs in its connection wait.
    void raiseDoesNotWaitForAStalledSearch()
    {
        DeafPort site;
        BusPeers bus(m_bus->address());
        Form1Rig rig(site.address());
        Form2 &engine = rig.engine();
        engine.setConnectTimeout(2000);
        engine.Text4->setText(QStringLiteral("red band"));
        QVERIFY(rig.windows->startMediaControls(bus.service));
        QVERIFY(bus.client.send(BusPeers::request(PlayerInterface, QStringLiteral("PlayPause"))));
        // Sent from within the search's connection wait, which lets timers run; looked at a little
        // later, still within it.
        QTimer::singleShot(300, this, [&bus] {
            bus.client.send(BusPeers::request(RootInterface, QStringLiteral("Raise")));
        });
        std::optional<bool> shownWhileWaiting;
        QTimer::singleShot(
            900, this, [&] { shownWhileWaiting = rig.form().isVisible() && engine.waitingForConnection(); });
        QTRY_VERIFY(shownWhileWaiting.has_value());
        QVERIFY(*shownWhileWaiting);
    }

    // On the update path only the update prompt exists: what the desktop asks must not create the
    // main window or the engine (and with them a search and its player) behind it.
    void updatePromptCreatesNoWindows_data()
    {
        QTest::addColumn<QString>("interface");
        QTest::addColumn<QString>("method");
        QTest::newRow("Raise") << RootInterface << QStringLiteral("Raise");
        QTest::newRow("Play") << PlayerInterface << QStringLiteral("Play");
        QTest::newRow("PlayPause") << PlayerInterface << QStringLiteral("PlayPause");
        QTest::newRow("Stop") << PlayerInterface << QStringLiteral("Stop");
    }

    void updatePromptCreatesNoWindows()
    {
        QFETCH(QString, interface);
        QFETCH(QString, method);
        BusPeers bus(m_bus->address());
        Settings settings;
        Windows windows(
            settings, [] { return std::make_unique<RecordingPlayer>(); }, [] {});
        windows.updateWindow().show();
        QVERIFY(windows.startMediaControls(bus.service));

        QCOMPARE(bus.call(interface, method).type(), QDBusMessage::ReplyMessage);
        QTRY_VERIFY(!windows.mediaControls()->requestsPending());
        QTest::qWait(50);
        QVERIFY(!windows.hasForm1());
        QVERIFY(!windows.hasForm2());
        QVERIFY(windows.updateWindow().isVisible());
    }
};

QTEST_MAIN(TestMediaKeys)
#include "tst_mediakeys.moc"
