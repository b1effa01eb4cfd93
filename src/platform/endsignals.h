#pragma once

#include <QObject>

#include <csignal>
#include <iterator>

class QSocketNotifier;

namespace kivaro {

// Turns the signals that ask a program to end into an ordinary notification on the event loop:
// SIGINT (Ctrl+C in the terminal it was started from), SIGTERM (kill, the end of the session) and
// SIGHUP (its terminal closed). The handler only writes the signal's number into a pipe; received()
// comes from the event loop, where the program may end as it ends by itself.
//
// One at a time: while an instance lives, it owns these signals; its destruction gives them back
// their previous handlers.
class EndSignals : public QObject
{
    Q_OBJECT

public:
    static constexpr int Handled[] = { SIGINT, SIGTERM, SIGHUP };

    explicit EndSignals(QObject *parent = nullptr);
    ~EndSignals() override;

    // False when the signals could not be taken (no pipe, or another instance has them); they then
    // act as they did before.
    bool isActive() const { return m_active; }

    // "SIGTERM" for SIGTERM, and so on; the number for any other.
    static QString name(int signal);

Q_SIGNALS:
    void received(int signal);

private:
    void readPipe();

    bool m_active = false;
    int m_readEnd = -1;
    int m_writeEnd = -1;
    QSocketNotifier *m_notifier = nullptr;
    struct sigaction m_previous[std::size(Handled)] = {};
};

} // namespace kivaro
