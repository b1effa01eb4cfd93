#include "privatebus.h"

#include "platform/childprocess.h"

namespace kivaro::test {

namespace {
constexpr int StartTimeoutMs = 10000;
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

} // namespace kivaro::test
