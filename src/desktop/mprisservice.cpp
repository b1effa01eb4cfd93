#include "desktop/mprisservice.h"

#include "desktop/mediaplayer2adaptor.h"
#include "desktop/mediaplayer2playeradaptor.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QPointer>

#include <utility>

namespace kivaro {

namespace {
const QLatin1String ArtistSeparator(" - ");
// Track ids name one playback each; MPRIS keeps paths under /org/mpris for itself.
const QLatin1String TrackPathPrefix("/org/kivaro/track/");
const QLatin1String PropertiesInterface("org.freedesktop.DBus.Properties");
} // namespace

QString MprisService::instanceBusName(qint64 processId)
{
    return busName() + QStringLiteral(".instance") + QString::number(processId);
}

MprisService::MprisService(const QString &neutralAddress, Actions actions, QObject *parent)
    : QObject(parent)
    , m_neutralAddress(neutralAddress)
    , m_actions(std::move(actions))
    , m_connection(QString())
{
    new MediaPlayer2Adaptor(this);
    new MediaPlayer2PlayerAdaptor(this);
    m_changeSignal.setSingleShot(true);
    m_changeSignal.setInterval(0);
    connect(&m_changeSignal, &QTimer::timeout, this, &MprisService::sendChangeSignal);
    m_requestTimer.setSingleShot(true);
    connect(&m_requestTimer, &QTimer::timeout, this, &MprisService::runRequests);
}

MprisService::~MprisService()
{
    if (m_serviceName.isEmpty())
        return;
    m_connection.unregisterService(m_serviceName);
    m_connection.unregisterObject(objectPath());
}

bool MprisService::registerOn(const QDBusConnection &connection)
{
    if (!connection.isConnected())
        return false;
    // The object first, so that whoever sees the name appear finds the player behind it.
    m_connection = connection;
    if (!m_connection.registerObject(objectPath(), this, QDBusConnection::ExportAdaptors))
        return false;
    for (const QString &name : { busName(), instanceBusName(QCoreApplication::applicationPid()) }) {
        if (m_connection.registerService(name)) {
            m_serviceName = name;
            m_sentStatus = playbackStatus();
            m_sentMetadata = metadata();
            return true;
        }
    }
    m_connection.unregisterObject(objectPath());
    return false;
}

void MprisService::setPlayerAddress(const QString &address)
{
    m_address = address;
    if (playing()) {
        ++m_track;
        m_playedAddress = address;
    }
    scheduleChangeSignal();
}

void MprisService::setTitle(const QString &title)
{
    m_title = title;
    scheduleChangeSignal();
}

bool MprisService::playing() const
{
    return !m_address.isEmpty() && m_address != m_neutralAddress;
}

QString MprisService::playbackStatus() const
{
    return playing() ? QStringLiteral("Playing") : QStringLiteral("Stopped");
}

QString MprisService::artist(const QString &title)
{
    const qsizetype separator = title.indexOf(ArtistSeparator);
    return separator < 0 ? QString() : title.left(separator).trimmed();
}

QVariantMap MprisService::metadata() const
{
    if (m_track == 0)
        return {};
    QVariantMap map;
    map.insert(QStringLiteral("mpris:trackid"),
               QVariant::fromValue(QDBusObjectPath(TrackPathPrefix + QString::number(m_track))));
    map.insert(QStringLiteral("xesam:title"), m_title);
    const QString artistName = artist(m_title);
    if (!artistName.isEmpty())
        map.insert(QStringLiteral("xesam:artist"), QStringList { artistName });
    map.insert(QStringLiteral("xesam:url"), m_playedAddress);
    return map;
}

void MprisService::scheduleChangeSignal()
{
    if (!m_serviceName.isEmpty())
        m_changeSignal.start();
}

void MprisService::sendChangeSignal()
{
    QVariantMap changed;
    const QString status = playbackStatus();
    if (status != m_sentStatus)
        changed.insert(QStringLiteral("PlaybackStatus"), status);
    const QVariantMap map = metadata();
    if (map != m_sentMetadata)
        changed.insert(QStringLiteral("Metadata"), map);
    m_sentStatus = status;
    m_sentMetadata = map;
    if (changed.isEmpty())
        return;
    QDBusMessage signal
        = QDBusMessage::createSignal(objectPath(), PropertiesInterface, QStringLiteral("PropertiesChanged"));
    signal << playerInterface() << changed << QStringList();
    m_connection.send(signal);
}

void MprisService::raise()
{
    m_raisePending = true;
    m_requestTimer.start(0);
}

void MprisService::quit()
{
    // The program ends at once, so the caller is answered first. Messages leave a connection in
    // order: once the bus has answered a ping sent after the reply, the reply is on its way.
    if (calledFromDBus()) {
        setDelayedReply(true);
        QDBusConnection bus = connection();
        bus.send(message().createReply());
        bus.call(QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
            QStringLiteral("org.freedesktop.DBus.Peer"), QStringLiteral("Ping")));
    }
    m_actions.quit();
}

void MprisService::stop()
{
    request(Transport::Stop);
}

void MprisService::play()
{
    request(Transport::Play);
}

void MprisService::playPause()
{
    request(Transport::PlayPause);
}

void MprisService::request(Transport transport)
{
    m_transportPending = transport;
    // The request that runs now looks for the next one when it returns.
    if (!m_running)
        m_requestTimer.start(0);
}

void MprisService::runRequests()
{
    const QPointer<MprisService> self(this);
    // A raise starts nothing that lets events run: it need not wait for anything.
    if (std::exchange(m_raisePending, false)) {
        m_actions.raise();
        if (!self)
            return;
    }
    // A play or stop waits for the one that runs (which looks again when it returns), and for the
    // program to leave a connection wait.
    if (m_transportPending == Transport::None || m_running)
        return;
    if (m_actions.busy && m_actions.busy()) {
        m_requestTimer.start(BusyRetryMs);
        return;
    }
    // What it decides is read when it runs: play-pause stops or plays as things stand then.
    m_running = true;
    const Transport transport = std::exchange(m_transportPending, Transport::None);
    const bool stopping = transport == Transport::Stop || (transport == Transport::PlayPause && playing());
    if (stopping)
        m_actions.stop();
    else if (!playing())
        m_actions.replay();
    if (!self)
        return;
    m_running = false;
    if (requestsPending())
        m_requestTimer.start(0);
}

} // namespace kivaro
