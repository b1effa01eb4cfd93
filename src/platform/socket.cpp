#include "platform/socket.h"

#include "platform/tcpconnection.h"

#include <QTcpSocket>
#include <QTimer>

namespace kivaro {

Socket::Socket(QObject *parent)
    : QObject(parent)
    , m_connectTimer(new QTimer(this))
{
    m_connectTimer->setSingleShot(true);
    connect(m_connectTimer, &QTimer::timeout, this, &Socket::onConnectTimeout);
}

Socket::~Socket()
{
    close();
}

void Socket::setState(State state)
{
    if (m_state == state)
        return;
    m_state = state;
    Q_EMIT stateChanged(state);
}

void Socket::close()
{
    dropConnection();
    setState(Closed);
}

void Socket::dropConnection()
{
    m_connectTimer->stop();
    // Our own abort must not look like the remote end closing.
    kivaro::dropConnection(m_tcp, this);
}

void Socket::connectToRemote()
{
    close();
    ++m_serial;
    m_errorString.clear();

    auto *tcp = new QTcpSocket(this);
    m_tcp = tcp;
    connect(tcp, &QTcpSocket::connected, this, &Socket::onConnected);
    connect(tcp, &QTcpSocket::readyRead, this, &Socket::onReadyRead);
    connect(tcp, &QTcpSocket::disconnected, this, &Socket::onDisconnected);
    connect(tcp, &QTcpSocket::errorOccurred, this, &Socket::onError);
    connect(tcp, &QTcpSocket::hostFound, this, [this] { setState(Connecting); });

    setState(ResolvingHost);
    if (m_connectTimeoutMs > 0)
        m_connectTimer->start(m_connectTimeoutMs);
    tcp->connectToHost(m_remoteHost, m_remotePort);
}

void Socket::sendData(const QByteArray &bytes)
{
    if (!m_tcp || m_state != Connected)
        return;
    m_tcp->write(bytes);
    m_tcp->flush();
}

QByteArray Socket::takeData()
{
    if (!m_tcp)
        return {};
    return m_tcp->readAll();
}

void Socket::onConnected()
{
    m_connectTimer->stop();
    setState(Connected);
}

void Socket::onReadyRead()
{
    const QTcpSocket *tcp = m_tcp.data();
    if (!tcp)
        return;
    if (const qint64 waiting = tcp->bytesAvailable(); waiting > 0)
        Q_EMIT dataArrival(waiting);
}

void Socket::onDisconnected()
{
    QPointer<QTcpSocket> tcp = m_tcp;
    // Whatever the connection still holds is handed out before the close is reported.
    if (tcp && tcp->bytesAvailable() > 0)
        Q_EMIT dataArrival(tcp->bytesAvailable());
    if (!tcp || tcp != m_tcp)
        return; // the socket was closed or reconnected by a handler meanwhile
    setState(Closing);
    Q_EMIT remoteClosed();
}

void Socket::onError()
{
    if (!m_tcp)
        return;
    if (m_tcp->error() == QAbstractSocket::RemoteHostClosedError)
        return; // an ordinary end of a response; onDisconnected reports it
    if (m_state == Connected || m_state == Closing)
        return; // a failure after the connection was made ends like a close
    m_errorString = m_tcp->errorString();
    dropConnection();
    setState(Error);
}

void Socket::onConnectTimeout()
{
    if (m_state == Connected || !m_tcp)
        return;
    dropConnection();
    m_errorString = tr("no answer within %1 ms").arg(m_connectTimeoutMs);
    setState(Error);
}

} // namespace kivaro
