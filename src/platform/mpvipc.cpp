#include "platform/mpvipc.h"

#include "platform/trace.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QLocalSocket>

#include <algorithm>
#include <cmath>
#include <optional>

namespace kivaro {

namespace {

// The properties observed, by the ids mpv reports their changes with.
enum ObservedProperty : qint64 { PauseProperty = 1, VolumeProperty, DurationProperty, CoreIdleProperty };

constexpr double MicrosecondsPerSecond = 1e6;

// A number that is a sane value between the limits, or nothing.
std::optional<double> number(const QJsonValue &value, double limit, double lowest = 0.0)
{
    if (!value.isDouble())
        return std::nullopt;
    const double d = value.toDouble();
    if (!std::isfinite(d) || d < lowest || d > limit)
        return std::nullopt;
    return d;
}

} // namespace

MpvIpc::MpvIpc(QObject *parent)
    : QObject(parent)
{
    m_retry.setSingleShot(true);
    m_retry.setInterval(ConnectRetryMs);
    connect(&m_retry, &QTimer::timeout, this, &MpvIpc::tryConnect);
}

MpvIpc::~MpvIpc()
{
    if (m_socket)
        m_socket->disconnect(this);
}

void MpvIpc::attach(const QString &serverPath)
{
    detach();
    m_serverPath = serverPath;
    m_sinceAttach.start();
    tryConnect();
}

void MpvIpc::detach()
{
    const bool wasAnswering = m_answering;
    dropSocket();
    m_serverPath.clear();
    reset();
    if (wasAnswering)
        Q_EMIT stateChanged();
}

// Stops retrying and lets go of the connection; nothing it still sends reaches this object.
void MpvIpc::dropSocket()
{
    m_retry.stop();
    if (QLocalSocket *socket = m_socket.data()) {
        m_socket.clear();
        socket->disconnect(this);
        socket->abort();
        socket->deleteLater();
    }
}

void MpvIpc::reset()
{
    m_buffer.clear();
    m_firstRequest = m_lastRequest + 1;
    m_positionRequest = 0;
    m_positionWanted = PositionWanted::ToSync;
    m_seeking = false;
    m_connected = false;
    m_answering = false;
    m_broken = false;
    m_paused = false;
    m_pauseWanted.reset();
    m_pauseRequest = 0;
    m_volume = 100.0;
    m_lengthUs = -1;
    m_anchorUs = 0;
    m_running = false;
}

void MpvIpc::tryConnect()
{
    if (m_serverPath.isEmpty() || m_socket)
        return;
    if (m_sinceAttach.elapsed() > m_answerTimeoutMs) {
        giveUp(QStringLiteral("its socket did not open"));
        return;
    }
    auto *socket = new QLocalSocket(this);
    socket->setReadBufferSize(2 * MaxLineBytes);
    m_socket = socket;
    connect(socket, &QLocalSocket::connected, this, &MpvIpc::onConnected);
    connect(socket, &QLocalSocket::readyRead, this, &MpvIpc::onReadyRead);
    connect(socket, &QLocalSocket::errorOccurred, this, [this, socket] { socketLost(socket); });
    connect(socket, &QLocalSocket::disconnected, this, [this, socket] { socketLost(socket); });
    socket->connectToServer(m_serverPath, QIODevice::ReadWrite);
}

void MpvIpc::socketLost(QLocalSocket *socket)
{
    if (m_socket != socket)
        return;
    m_socket.clear();
    socket->disconnect(this);
    socket->deleteLater();
    if (!m_connected) {
        // Not there yet: mpv is still starting.
        if (!m_broken)
            m_retry.start();
        return;
    }
    // The player went (its end is the player's to report): no control until the next one.
    const bool wasAnswering = m_answering;
    m_connected = false;
    m_broken = true;
    m_answering = false;
    m_running = false;
    if (wasAnswering)
        Q_EMIT stateChanged();
}

void MpvIpc::onConnected()
{
    m_connected = true;
    m_firstRequest = m_lastRequest + 1;
    for (const auto &[id, name] :
         { std::pair { PauseProperty, "pause" }, std::pair { VolumeProperty, "volume" },
           std::pair { DurationProperty, "duration" }, std::pair { CoreIdleProperty, "core-idle" } }) {
        send(QJsonArray { QStringLiteral("observe_property"), qint64(id), QLatin1String(name) });
    }
    askPosition(PositionWanted::ToSync);
    // mpv answers at once when it answers at all.
    QTimer::singleShot(m_answerTimeoutMs, this, [this, socket = m_socket] {
        if (socket && socket == m_socket && !m_answering)
            giveUp(QStringLiteral("it did not answer"));
    });
}

void MpvIpc::onReadyRead()
{
    if (m_socket)
        receive(m_socket->readAll());
}

void MpvIpc::giveUp(const QString &reason)
{
    const QString path = m_serverPath;
    const bool wasAnswering = m_answering;
    dropSocket();
    reset();
    m_serverPath = path;
    m_broken = true;
    qCInfo(lcPlayer).noquote()
        << QStringLiteral(
               "player: no control through mpv's IPC (%1): it plays on without pause, volume or seek")
               .arg(reason);
    if (wasAnswering)
        Q_EMIT stateChanged();
}

bool MpvIpc::receive(QByteArrayView bytes)
{
    if (m_broken)
        return false;
    m_buffer.append(bytes);
    const qsizetype end = m_buffer.lastIndexOf('\n');
    if (end < 0) {
        if (m_buffer.size() > MaxLineBytes) {
            giveUp(QStringLiteral("a line longer than %1 bytes").arg(MaxLineBytes));
            return false;
        }
        return true;
    }
    // Handlers may forget this player (a slot may stop it): the lines are taken out first, and
    // reading stops as soon as they belong to no player any more.
    const QByteArray lines = m_buffer.left(end + 1);
    m_buffer.remove(0, end + 1);
    if (m_buffer.size() > MaxLineBytes) {
        giveUp(QStringLiteral("a line longer than %1 bytes").arg(MaxLineBytes));
        return false;
    }
    const QPointer<MpvIpc> self(this);
    const qint64 player = m_firstRequest;
    qsizetype from = 0;
    while (from < lines.size()) {
        const qsizetype newline = lines.indexOf('\n', from);
        const QByteArrayView line = QByteArrayView(lines).sliced(from, newline - from);
        from = newline + 1;
        if (line.size() > MaxLineBytes) {
            giveUp(QStringLiteral("a line longer than %1 bytes").arg(MaxLineBytes));
            return false;
        }
        handleLine(line);
        if (!self || m_broken || m_firstRequest != player)
            return false;
    }
    return true;
}

void MpvIpc::handleLine(QByteArrayView line)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(line.toByteArray(), &error);
    // mpv writes one JSON object a line; anything else is not for us.
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return;
    const QJsonObject message = document.object();
    const QJsonValue event = message.value(QLatin1String("event"));
    if (event.isString())
        handleEvent(event.toString(), message);
    else if (message.contains(QLatin1String("request_id")))
        handleReply(message);
}

void MpvIpc::handleReply(const QJsonObject &message)
{
    const QJsonValue idValue = message.value(QLatin1String("request_id"));
    if (!idValue.isDouble())
        return;
    const qint64 id = idValue.toInteger(-1);
    if (id < m_firstRequest || id > m_lastRequest)
        return;
    markAnswering();
    // Nothing to change: no change will be told.
    if (id == m_pauseRequest && m_pauseWanted == m_paused)
        m_pauseWanted.reset();
    if (id != m_positionRequest)
        return;
    m_positionRequest = 0;
    if (message.value(QLatin1String("error")).toString() != QLatin1String("success"))
        return;
    // Just after a jump to the start, mpv counts back by what its output still holds: before 0.
    const std::optional<double> seconds
        = number(message.value(QLatin1String("data")), MaxSeconds, -MaxSeconds);
    if (!seconds)
        return;
    m_anchorUs = std::llround(std::max(0.0, *seconds) * MicrosecondsPerSecond);
    m_sinceAnchor.start();
    if (m_positionWanted == PositionWanted::AfterSeek)
        Q_EMIT seeked(positionUs());
}

void MpvIpc::handleEvent(const QString &event, const QJsonObject &message)
{
    if (event == QLatin1String("property-change")) {
        const QJsonValue id = message.value(QLatin1String("id"));
        if (id.isDouble())
            handleProperty(id.toInteger(-1), message.value(QLatin1String("data")));
    } else if (event == QLatin1String("seek")) {
        m_seeking = true;
    } else if (event == QLatin1String("playback-restart")) {
        askPosition(m_seeking ? PositionWanted::AfterSeek : PositionWanted::ToSync);
        m_seeking = false;
    } else if (event == QLatin1String("end-file")) {
        const QString reason = message.value(QLatin1String("reason")).toString();
        if (reason == QLatin1String("eof") || reason == QLatin1String("error"))
            Q_EMIT endOfTrack();
    }
}

void MpvIpc::handleProperty(qint64 id, const QJsonValue &data)
{
    switch (id) {
    case PauseProperty:
        if (!data.isBool())
            return;
        m_pauseWanted.reset();
        if (data.toBool() == m_paused)
            return;
        m_paused = data.toBool();
        if (m_paused)
            setRunning(false);
        askPosition(PositionWanted::ToSync);
        break;
    case VolumeProperty: {
        const std::optional<double> volume = number(data, MaxVolume);
        if (!volume || *volume == m_volume)
            return;
        m_volume = *volume;
        break;
    }
    case DurationProperty: {
        // No length (yet) is null.
        const std::optional<double> seconds = number(data, MaxSeconds);
        const qint64 length = seconds ? std::llround(*seconds * MicrosecondsPerSecond) : -1;
        if ((!seconds && !data.isNull()) || length == m_lengthUs)
            return;
        m_lengthUs = length;
        break;
    }
    case CoreIdleProperty:
        if (!data.isBool())
            return;
        setRunning(!data.toBool() && !m_paused);
        askPosition(PositionWanted::ToSync);
        return;
    default:
        return;
    }
    Q_EMIT stateChanged();
}

qint64 MpvIpc::positionUs() const
{
    qint64 position = m_anchorUs;
    if (m_running && m_sinceAnchor.isValid())
        position += m_sinceAnchor.elapsed() * 1000;
    if (m_lengthUs >= 0)
        position = std::min(position, m_lengthUs);
    return std::max<qint64>(position, 0);
}

void MpvIpc::setRunning(bool running)
{
    if (running == m_running)
        return;
    m_anchorUs = positionUs();
    m_sinceAnchor.start();
    m_running = running;
}

void MpvIpc::markAnswering()
{
    if (m_answering)
        return;
    m_answering = true;
    qCInfo(lcPlayer).noquote() << QStringLiteral("player: controlled through mpv's IPC");
    Q_EMIT stateChanged();
}

qint64 MpvIpc::send(const QJsonArray &command)
{
    if (!m_socket || m_socket->state() != QLocalSocket::ConnectedState)
        return 0;
    const qint64 id = ++m_lastRequest;
    const QJsonObject request { { QLatin1String("command"), command }, { QLatin1String("request_id"), id } };
    m_socket->write(QJsonDocument(request).toJson(QJsonDocument::Compact) + '\n');
    return id;
}

void MpvIpc::askPosition(PositionWanted why)
{
    // A seek's answer is told as one, even when a later question overtakes it.
    if (m_positionRequest == 0 || why == PositionWanted::AfterSeek)
        m_positionWanted = why;
    m_positionRequest = send(QJsonArray { QStringLiteral("get_property"), QStringLiteral("time-pos") });
}

void MpvIpc::setPaused(bool paused)
{
    if (!m_answering)
        return;
    m_pauseRequest = send(QJsonArray { QStringLiteral("set_property"), QStringLiteral("pause"), paused });
    m_pauseWanted = paused;
}

void MpvIpc::setVolume(double volume)
{
    if (m_answering && std::isfinite(volume))
        send(QJsonArray { QStringLiteral("set_property"), QStringLiteral("volume"),
                          std::clamp(volume, 0.0, MaxVolume) });
}

void MpvIpc::seekTo(qint64 positionUs)
{
    if (!m_answering)
        return;
    const double seconds = std::clamp(double(positionUs) / MicrosecondsPerSecond, 0.0, MaxSeconds);
    // Exactly there, not at the nearest point the stream can start from: the desktop shows where it asked.
    // A seek asked for is told when playback restarts, also when mpv takes it as where to start.
    if (send(QJsonArray { QStringLiteral("seek"), seconds, QStringLiteral("absolute+exact") }) != 0)
        m_seeking = true;
}

} // namespace kivaro
