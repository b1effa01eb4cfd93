#include "desktop/mprisservice.h"

#include "desktop/mediaplayer2adaptor.h"
#include "desktop/mediaplayer2playeradaptor.h"
#include "platform/mpvipc.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusObjectPath>

#include <algorithm>
#include <cmath>

namespace kivaro {

namespace {
const QLatin1String ArtistSeparator(" - ");
// Track ids name one playback each; MPRIS keeps paths under /org/mpris for itself.
const QLatin1String TrackPathPrefix("/org/kivaro/track/");
const QLatin1String PropertiesInterface("org.freedesktop.DBus.Properties");
// MPRIS gives the volume from 0.0 to 1.0; the player from 0 to 100.
constexpr double PlayerFullVolume = 100.0;
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
            m_sentVolume = volume();
            m_sentControlled = controlled();
            m_sentCanSeek = canSeek();
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
        m_lengthUs = -1;
    }
    scheduleChangeSignal();
}

void MprisService::setPlayerControl(MpvIpc *control)
{
    if (m_control)
        m_control->disconnect(this);
    m_control = control;
    if (!control)
        return;
    connect(control, &MpvIpc::stateChanged, this, [this] {
        const MpvIpc *player = controlledPlayer();
        if (player && player->lengthUs() >= 0)
            m_lengthUs = player->lengthUs();
        scheduleChangeSignal();
    });
    connect(control, &MpvIpc::seeked, this, [this](qint64 positionUs) {
        if (controlled())
            Q_EMIT seeked(positionUs);
    });
}

MpvIpc *MprisService::controlledPlayer() const
{
    MpvIpc *control = m_control.data();
    return playing() && control && control->isAnswering() ? control : nullptr;
}

bool MprisService::controlled() const
{
    return controlledPlayer() != nullptr;
}

bool MprisService::canSeek() const
{
    return controlled() && m_lengthUs >= 0;
}

double MprisService::volume() const
{
    const MpvIpc *control = controlledPlayer();
    return control ? std::clamp(control->volume() / PlayerFullVolume, 0.0, 1.0) : 1.0;
}

qlonglong MprisService::position() const
{
    const MpvIpc *control = controlledPlayer();
    return control ? control->positionUs() : 0;
}

QString MprisService::trackId() const
{
    return TrackPathPrefix + QString::number(m_track);
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
    if (!playing())
        return QStringLiteral("Stopped");
    const MpvIpc *control = controlledPlayer();
    return control && control->paused() ? QStringLiteral("Paused") : QStringLiteral("Playing");
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
    map.insert(QStringLiteral("mpris:trackid"), QVariant::fromValue(QDBusObjectPath(trackId())));
    map.insert(QStringLiteral("xesam:title"), m_title);
    const QString artistName = artist(m_title);
    if (!artistName.isEmpty())
        map.insert(QStringLiteral("xesam:artist"), QStringList { artistName });
    map.insert(QStringLiteral("xesam:url"), m_playedAddress);
    if (m_lengthUs >= 0)
        map.insert(QStringLiteral("mpris:length"), qlonglong(m_lengthUs));
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
    const double level = volume();
    if (level != m_sentVolume)
        changed.insert(QStringLiteral("Volume"), level);
    const bool canControl = controlled();
    if (canControl != m_sentControlled)
        changed.insert(QStringLiteral("CanPause"), canControl);
    const bool seekable = canSeek();
    if (seekable != m_sentCanSeek)
        changed.insert(QStringLiteral("CanSeek"), seekable);
    m_sentStatus = status;
    m_sentMetadata = map;
    m_sentVolume = level;
    m_sentControlled = canControl;
    m_sentCanSeek = seekable;
    if (changed.isEmpty())
        return;
    QDBusMessage signal
        = QDBusMessage::createSignal(objectPath(), PropertiesInterface, QStringLiteral("PropertiesChanged"));
    signal << playerInterface() << changed << QStringList();
    m_connection.send(signal);
}

void MprisService::raise()
{
    m_actions.raise();
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
    m_actions.stop();
}

void MprisService::play()
{
    if (MpvIpc *control = controlledPlayer(); control && control->pausedOrPausing())
        control->setPaused(false);
    else if (!playing())
        m_actions.replay();
}

void MprisService::pause()
{
    if (MpvIpc *control = controlledPlayer(); control && !control->pausedOrPausing())
        control->setPaused(true);
}

void MprisService::playPause()
{
    if (MpvIpc *control = controlledPlayer())
        control->setPaused(!control->pausedOrPausing());
    else if (playing())
        m_actions.stop();
    else
        m_actions.replay();
}

void MprisService::setVolume(double volume)
{
    if (MpvIpc *control = controlledPlayer(); control && !std::isnan(volume))
        control->setVolume(std::clamp(volume, 0.0, 1.0) * PlayerFullVolume);
}

void MprisService::seek(qlonglong offset)
{
    MpvIpc *control = controlledPlayer();
    if (!control || !canSeek())
        return;
    // Any offset the bus may carry, without overflow: none goes further than a track can be long.
    constexpr qint64 MaxOffsetUs = qint64(MpvIpc::MaxSeconds) * 1000000;
    const qint64 target
        = std::max<qint64>(0, control->positionUs() + std::clamp<qint64>(offset, -MaxOffsetUs, MaxOffsetUs));
    if (target > m_lengthUs)
        return;
    control->seekTo(target);
}

void MprisService::setPosition(const QString &trackId, qlonglong position)
{
    MpvIpc *control = controlledPlayer();
    if (!control || !canSeek() || trackId != this->trackId() || position < 0 || position > m_lengthUs)
        return;
    control->seekTo(position);
}

} // namespace kivaro
