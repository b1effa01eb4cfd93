#pragma once

#include "platform/player.h"

#include <QObject>
#include <QPointer>
#include <QStringList>

#include <memory>

class QProcess;
class QTemporaryDir;

namespace kivaro {

class MpvIpc;

// Plays an address by starting an external media player (mpv by default) with the address as its
// last argument. The command is split into arguments once and started directly, never through a
// shell, so nothing in an address from the network is ever interpreted.
//
// Only one player runs at a time: a new address stops the one before. The player process dies with
// the program, also when the program is killed or crashes.
//
// mpv (the default) is also started with a JSON IPC socket of its own, in a folder only this user
// may enter, through which control() pauses, resumes, sets the volume and seeks. Any other player
// only starts and stops.
class ProcessPlayer : public QObject, public Player
{
    Q_OBJECT

public:
    ProcessPlayer(const QString &command, const QString &neutralAddress, QObject *parent = nullptr);
    ~ProcessPlayer() override;

    void setMovie(const QString &address) override;
    QString movie() const override { return m_movie; }

    // The process playing now, or none (for tests and --verbose).
    qint64 processId() const;
    QStringList command() const { return m_command; }
    // The running mpv's control; null when the player command is not mpv.
    MpvIpc *control() const { return m_control; }
    // True when the command's program is mpv, by its file name.
    static bool isMpv(const QStringList &command);

Q_SIGNALS:
    // Emitted once when the player command cannot be started (the message also goes to stderr).
    void playerUnavailable(const QString &message);
    // The player process ended by itself: the music is over, or the player could not play it. Not
    // emitted for a player that a new address or the neutral one stopped.
    void playbackEnded();

private:
    void stop();
    void reportUnavailable(const QString &message);
    // A fresh socket path for the next mpv, empty when no private folder can be made.
    QString nextServerPath();
    // Tells the end of the player process `started`, once, after the current event.
    void tellEnded(quint64 started);

    QStringList m_command;
    QString m_neutralAddress;
    QString m_movie;
    QPointer<QProcess> m_process;
    quint64 m_started = 0; // counts the player processes, so that a late end is told from the current
    quint64 m_endTold = 0; // the process whose end has been told, so that it is told once
    bool m_reportedMissing = false;
    MpvIpc *m_control = nullptr;
    std::unique_ptr<QTemporaryDir> m_socketFolder;
};

} // namespace kivaro
