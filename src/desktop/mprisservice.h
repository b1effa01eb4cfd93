#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QVariantMap>

#include <functional>

namespace kivaro {

class MpvIpc;

// Kivaro as a media player on the desktop's session bus (MPRIS 2): desktops show what plays and send
// the media keys here. It only reads what the engine reports (the player's address and the title)
// and hands the desktop's requests to actions the program gives it, so nothing else knows the bus.
// When the player can be controlled (mpv through its IPC), pause, volume and seeking go to it, and
// its state is what the desktop sees. The interfaces' adaptors hang from it; calls through them find
// their bus context here.
class MprisService : public QObject, protected QDBusContext
{
    Q_OBJECT

public:
    struct Actions
    {
        std::function<void()> raise; // show and activate the main window
        std::function<void()> quit; // what the exit button does
        std::function<void()> stop; // "Stop Streaming"
        std::function<void()> replay; // search the last query again
    };

    static QString busName() { return QStringLiteral("org.mpris.MediaPlayer2.kivaro"); }
    // The name a further Kivaro on the same bus takes.
    static QString instanceBusName(qint64 processId);
    static QString objectPath() { return QStringLiteral("/org/mpris/MediaPlayer2"); }
    static QString rootInterface() { return QStringLiteral("org.mpris.MediaPlayer2"); }
    static QString playerInterface() { return QStringLiteral("org.mpris.MediaPlayer2.Player"); }

    MprisService(const QString &neutralAddress, Actions actions, QObject *parent = nullptr);
    ~MprisService() override;

    // Puts the player on the bus under busName(), or under instanceBusName() when another Kivaro
    // holds that. False when there is no bus or it refuses both.
    bool registerOn(const QDBusConnection &connection);
    // The bus name taken, empty when not on a bus.
    QString serviceName() const { return m_serviceName; }

    // What the engine reports: the address it gave the player (the neutral one stops it), and the
    // title it wrote.
    void setPlayerAddress(const QString &address);
    void setTitle(const QString &title);
    // The player's control, when it offers one (it may come and go with the player process).
    void setPlayerControl(MpvIpc *control);

    // "Stopped" while the player has no video's address; "Paused" when the controlled player says
    // so; "Playing" otherwise.
    QString playbackStatus() const;
    bool playing() const;
    // A video plays (or is paused) in a player that answers: pause, volume and seeking work.
    bool controlled() const;
    // Controlled, and the track has a length to move in (a stream without end has none).
    bool canSeek() const;
    // The controlled player's volume, 0.0 to 1.0; 1.0 without control.
    double volume() const;
    // Where the controlled player stands in the track, in microseconds; 0 without control.
    qlonglong position() const;
    // The last video played: its track id, its title, the artist taken from the title, its address,
    // and its length once the player knows it. Empty before the first video.
    QVariantMap metadata() const;
    QString trackId() const;
    // The part of a title before its first " - ", trimmed; empty when there is none.
    static QString artist(const QString &title);

    // The desktop's requests.
    void raise();
    void quit();
    void stop();
    // Resumes a paused video; replays the last query when stopped; playing on is left alone.
    void play();
    void pause();
    // Pauses or resumes a controlled player. Without control, it stops what plays and replays when
    // stopped.
    void playPause();
    // 0.0 to 1.0, clamped, as the player's 0 to 100.
    void setVolume(double volume);
    // Moves by an offset in microseconds, not before the start; past the end it does nothing, as
    // Next does here. Seeking needs a track whose length is known.
    void seek(qlonglong offset);
    // Jumps to a point of the track named; nothing for another track or a point outside it.
    void setPosition(const QString &trackId, qlonglong position);

Q_SIGNALS:
    // The controlled player jumped to this point (microseconds).
    void seeked(qlonglong position);

private:
    // The player's control while a video plays in a player that answers; null otherwise.
    MpvIpc *controlledPlayer() const;
    void scheduleChangeSignal();
    void sendChangeSignal();

    QString m_neutralAddress;
    Actions m_actions;
    QDBusConnection m_connection;
    QString m_serviceName;
    QString m_address;
    QString m_playedAddress;
    QString m_title;
    int m_track = 0;
    QPointer<MpvIpc> m_control;
    qint64 m_lengthUs = -1; // the last video's length, once its player told it
    // Changes within one step of the engine (an address, then the title) go out as one signal.
    QTimer m_changeSignal;
    QString m_sentStatus;
    QVariantMap m_sentMetadata;
    double m_sentVolume = 1.0;
    bool m_sentControlled = false;
    bool m_sentCanSeek = false;
};

} // namespace kivaro
