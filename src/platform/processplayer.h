#pragma once

#include "platform/player.h"

#include <QObject>
#include <QPointer>
#include <QStringList>

class QProcess;

namespace kivaro {

// Plays an address by starting an external media player (mpv by default) with the address as its
// last argument. The command is split into arguments once and started directly, never through a
// shell, so nothing in an address from the network is ever interpreted.
//
// Only one player runs at a time: a new address stops the one before. The player process dies with
// the program, also when the program is killed or crashes.
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

Q_SIGNALS:
    // Emitted once when the player command cannot be started (the message also goes to stderr).
    void playerUnavailable(const QString &message);
    // The player process ended by itself: the music is over, or the player could not play it. Not
    // emitted for a player that a new address or the neutral one stopped.
    void playbackEnded();

private:
    void stop();
    void reportUnavailable(const QString &message);

    QStringList m_command;
    QString m_neutralAddress;
    QString m_movie;
    QPointer<QProcess> m_process;
    quint64 m_started = 0; // counts the player processes, so that a late end is told from the current
    bool m_reportedMissing = false;
};

} // namespace kivaro
