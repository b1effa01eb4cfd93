#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
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

// Two connections to a bus: one the program offers its media controls on, one a desktop talks to
// them through. Both close with it.
class BusPeers
{
public:
    explicit BusPeers(const QString &address);
    ~BusPeers();
    BusPeers(const BusPeers &) = delete;
    BusPeers &operator=(const BusPeers &) = delete;

    QDBusConnection service { QString() };
    QDBusConnection client { QString() };

    // A request to the program's media controls, sent as it is or called: the call lets events run
    // while it waits, since the program answers on the same thread.
    static QDBusMessage request(const QString &interface, const QString &method,
                                const QVariantList &arguments = {});
    QDBusMessage call(const QString &interface, const QString &method, const QVariantList &arguments = {});
    // A property read through org.freedesktop.DBus.Properties; invalid when the call fails.
    QVariant property(const QString &interface, const QString &name);

private:
    QString m_names[2];
};

} // namespace kivaro::test
