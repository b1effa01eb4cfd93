#include "privatebus.h"

#include "desktop/mprisservice.h"
#include "platform/childprocess.h"

#include <QDBusVariant>

namespace kivaro::test {

namespace {
constexpr int StartTimeoutMs = 10000;
constexpr int CallTimeoutMs = 60000;
int peersMade = 0;
} // namespace

PrivateBus::PrivateBus()
{
    m_daemon.setProgram(QStringLiteral("dbus-daemon"));
    m_daemon.setArguments({ QStringLiteral("--session"), QStringLiteral("--nofork"),
                            QStringLiteral("--nopidfile"), QStringLiteral("--print-address=1") });
    m_daemon.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // A test that crashes must not leave its bus behind.
    dieWithProgram(m_daemon);
    m_daemon.start(QIODevice::ReadOnly);
    if (!m_daemon.waitForStarted(StartTimeoutMs)) {
        m_error = m_daemon.errorString();
        return;
    }
    while (!m_daemon.canReadLine()) {
        if (!m_daemon.waitForReadyRead(StartTimeoutMs)) {
            m_error = QStringLiteral("dbus-daemon printed no address");
            return;
        }
    }
    m_address = QString::fromLocal8Bit(m_daemon.readLine()).trimmed();
}

PrivateBus::~PrivateBus()
{
    if (m_daemon.state() == QProcess::NotRunning)
        return;
    m_daemon.terminate();
    if (!m_daemon.waitForFinished(StartTimeoutMs)) {
        m_daemon.kill();
        m_daemon.waitForFinished(StartTimeoutMs);
    }
}

BusPeers::BusPeers(const QString &address)
    : m_names { QStringLiteral("service-%1").arg(++peersMade), QStringLiteral("client-%1").arg(peersMade) }
{
    service = QDBusConnection::connectToBus(address, m_names[0]);
    client = QDBusConnection::connectToBus(address, m_names[1]);
}

BusPeers::~BusPeers()
{
    for (const QString &name : m_names)
        QDBusConnection::disconnectFromBus(name);
}

QDBusMessage BusPeers::request(const QString &interface, const QString &method, const QVariantList &arguments)
{
    QDBusMessage message = QDBusMessage::createMethodCall(MprisService::busName(), MprisService::objectPath(),
                                                          interface, method);
    message.setArguments(arguments);
    return message;
}

QDBusMessage BusPeers::call(const QString &interface, const QString &method, const QVariantList &arguments)
{
    return client.call(request(interface, method, arguments), QDBus::BlockWithGui, CallTimeoutMs);
}

QVariant BusPeers::property(const QString &interface, const QString &name)
{
    const QDBusMessage reply
        = call(QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"), { interface, name });
    return reply.type() == QDBusMessage::ReplyMessage
        ? reply.arguments().value(0).value<QDBusVariant>().variant()
        : QVariant();
}

} // namespace kivaro::test
