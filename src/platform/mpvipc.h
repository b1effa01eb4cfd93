#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <optional>

class QJsonArray;
class QJsonObject;
class QJsonValue;
class QLocalSocket;

namespace kivaro {

// Control of a running mpv through its JSON IPC (--input-ipc-server): pause and resume, volume and
// seeking, and what mpv reports of them, with the position and length of the track and its end.
//
// mpv creates its socket a moment after it starts, so attach() keeps trying for a while. Control is
// optional: until mpv answers, and for good once it has not answered in time or has sent what it
// never would, isAnswering() is false and every request is dropped; the music plays on.
//
// Everything mpv sends is read as untrusted: lines are bounded, only the replies to our own
// requests and the properties we observe count, and each value must have its type and a sane range.
// The position is not observed (mpv would report it many times a second): it is asked for when
// playback starts, stops or jumps, and runs on with the clock in between.
class MpvIpc : public QObject
{
    Q_OBJECT

public:
    // The lines we ask for are short; one this long is not one mpv would send us.
    static constexpr qsizetype MaxLineBytes = 16 * 1024;
    // How long mpv has to open its socket and answer the first request.
    static constexpr int AnswerTimeoutMs = 10000;
    static constexpr int ConnectRetryMs = 50;
    // Above mpv's own volume limit (130 by default); anything larger is not a volume.
    static constexpr double MaxVolume = 1000.0;
    // A day: longer than any track the site holds, far from any overflow in microseconds.
    static constexpr double MaxSeconds = 86400.0;

    explicit MpvIpc(QObject *parent = nullptr);
    ~MpvIpc() override;

    // Connects to the socket of a player just started, trying until it is there. Forgets any
    // earlier player first.
    void attach(const QString &serverPath);
    void setAnswerTimeout(int milliseconds) { m_answerTimeoutMs = milliseconds; }
    // Forgets the player: no control until the next attach().
    void detach();
    QString serverPath() const { return m_serverPath; }

    // mpv has answered: its state below is its own and requests reach it.
    bool isAnswering() const { return m_answering; }
    bool paused() const { return m_paused; }
    // Paused, or asked to pause and not yet told otherwise: what a toggle toggles, so that two
    // presses in a row resume what the first paused.
    bool pausedOrPausing() const { return m_pauseWanted.value_or(m_paused); }
    // mpv's volume: 0 to 100 (more when amplified).
    double volume() const { return m_volume; }
    // Where playback stands, in microseconds, and the track's length; -1 while not known.
    qint64 positionUs() const;
    qint64 lengthUs() const { return m_lengthUs; }

    void setPaused(bool paused);
    void setVolume(double volume);
    // Jumps to a point of the track, in microseconds.
    void seekTo(qint64 positionUs);

    // Takes bytes as they came from mpv: whole lines are read, a partial one waits for the rest.
    // False once the stream broke the rules (the connection is then dropped).
    bool receive(QByteArrayView bytes);

Q_SIGNALS:
    // isAnswering(), paused(), volume() or lengthUs() changed.
    void stateChanged();
    // Playback jumped (a seek, or the start of a loop) and now stands here.
    void seeked(qint64 positionUs);
    // mpv reached the end of the track, or gave up on it.
    void endOfTrack();

private:
    enum class PositionWanted { ToSync, AfterSeek };

    void tryConnect();
    void onConnected();
    void socketLost(QLocalSocket *socket);
    void onReadyRead();
    void giveUp(const QString &reason);
    void dropSocket();
    void handleLine(QByteArrayView line);
    void handleReply(const QJsonObject &message);
    void handleEvent(const QString &event, const QJsonObject &message);
    void handleProperty(qint64 id, const QJsonValue &data);
    qint64 send(const QJsonArray &command);
    void askPosition(PositionWanted why);
    void setRunning(bool running);
    void markAnswering();
    void reset();

    QString m_serverPath;
    int m_answerTimeoutMs = AnswerTimeoutMs;
    QPointer<QLocalSocket> m_socket;
    QTimer m_retry;
    QElapsedTimer m_sinceAttach;
    QByteArray m_buffer;
    qint64 m_lastRequest = 0;
    qint64 m_firstRequest = 1; // the first request to the current player; earlier ids are stale
    qint64 m_positionRequest = 0; // the latest request for the position; earlier answers are stale
    PositionWanted m_positionWanted = PositionWanted::ToSync;
    bool m_seeking = false;
    bool m_connected = false;
    bool m_answering = false;
    bool m_broken = false;
    bool m_paused = false;
    std::optional<bool> m_pauseWanted; // asked of mpv, until mpv tells its pause
    qint64 m_pauseRequest = 0;
    double m_volume = 100.0;
    qint64 m_lengthUs = -1;
    // The position last known, and the clock since then while playback runs.
    qint64 m_anchorUs = 0;
    QElapsedTimer m_sinceAnchor;
    bool m_running = false;
};

} // namespace kivaro
