#include "platform/endsignals.h"

#include <QPointer>
#include <QSocketNotifier>

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace kivaro {

namespace {

// A signal handler reaches nothing but what is global; this is the pipe's end it writes to, -1
// while no EndSignals has the signals.
std::atomic<int> wakeEnd { -1 };

void onSignal(int signal)
{
    const int savedErrno = errno;
    const int fd = wakeEnd.load();
    if (fd >= 0) {
        const auto byte = static_cast<unsigned char>(signal);
        // A full pipe drops the byte: there are wake-ups enough in it already.
        [[maybe_unused]] const ssize_t written = ::write(fd, &byte, 1);
    }
    errno = savedErrno;
}

} // namespace

EndSignals::EndSignals(QObject *parent)
    : QObject(parent)
{
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    int expected = -1;
    if (!wakeEnd.compare_exchange_strong(expected, ends[1])) {
        ::close(ends[0]);
        ::close(ends[1]);
        return;
    }
    m_readEnd = ends[0];
    m_writeEnd = ends[1];
    m_notifier = new QSocketNotifier(m_readEnd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &EndSignals::readPipe);

    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (size_t i = 0; i < std::size(Handled); ++i)
        ::sigaction(Handled[i], &action, &m_previous[i]);
    m_active = true;
}

EndSignals::~EndSignals()
{
    if (!m_active)
        return;
    for (size_t i = 0; i < std::size(Handled); ++i)
        ::sigaction(Handled[i], &m_previous[i], nullptr);
    wakeEnd.store(-1);
    ::close(m_readEnd);
    ::close(m_writeEnd);
}

QString EndSignals::name(int signal)
{
    switch (signal) {
    case SIGINT:
        return QStringLiteral("SIGINT");
    case SIGTERM:
        return QStringLiteral("SIGTERM");
    case SIGHUP:
        return QStringLiteral("SIGHUP");
    default:
        return QString::number(signal);
    }
}

void EndSignals::readPipe()
{
    const QPointer<EndSignals> self(this);
    unsigned char bytes[16];
    ssize_t count;
    while ((count = ::read(m_readEnd, bytes, sizeof bytes)) > 0) {
        for (ssize_t i = 0; i < count; ++i) {
            Q_EMIT received(bytes[i]);
            if (!self)
                return;
        }
    }
}

} // namespace kivaro
