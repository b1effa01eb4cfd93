#pragma once

#include <QProcess>
#include <QString>

namespace kivaro::test {

// A session bus of the test's own: a dbus-daemon started for the test and ended with it, so tests
// neither see nor disturb the desktop's bus.
class PrivateBus
{
public:
    PrivateBus();
    ~PrivateBus();
    PrivateBus(const PrivateBus &) = delete;
    PrivateBus &operator=(const PrivateBus &) = delete;

    // Empty when the daemon could not be started.
    QString address() const { return m_address; }
    QString errorString() const { return m_error; }

private:
    QProcess m_daemon;
    QString m_address;
    QString m_error;
};

} // namespace kivaro::test
