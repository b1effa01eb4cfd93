#include "loopbackserver.h"

#include <QPointer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

namespace kivaro::test {

LoopbackServer::LoopbackServer(QObject *parent)
    : QObject(parent)
{
    connect(&m_server, &QTcpServer::newConnection, this, &LoopbackServer::onNewConnection);
    replyWith(QByteArray());
}

LoopbackServer::~LoopbackServer() = default;

bool LoopbackServer::listen()
{
    return m_server.listen(QHostAddress::LocalHost, 0);
}

QString LoopbackServer::address() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(port());
}

QByteArray LoopbackServer::ok(const QByteArray &body)
{
    return "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\nContent-Length: " + QByteArray::number(body.size())
        + "\r\n\r\n" + body;
}

void LoopbackServer::replyWith(const QByteArray &body)
{
    m_script = [page = ok(body)](const QByteArray &) { return Reply{page}; };
}

QList<QByteArray> LoopbackServer::requestLines() const
{
    QList<QByteArray> lines;
    for (const QByteArray &bytes : m_received)
        lines.append(bytes.left(bytes.indexOf("\r\n")));
    return lines;
}

bool LoopbackServer::waitForConnections(int count, int timeoutMs)
{
    return QTest::qWaitFor(
        [&] {
            int complete = 0;
            for (const QByteArray &bytes : m_received)
                complete += bytes.contains("\r\n\r\n") ? 1 : 0;
            return complete >= count;
        },
        timeoutMs);
}

void LoopbackServer::onNewConnection()
{
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        const int index = int(m_received.size());
        m_received.append(QByteArray());
        socket->setParent(this);
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket, index] {
            const bool complete = m_received[index].contains("\r\n\r\n");
            m_received[index] += socket->readAll();
            if (!complete && m_received[index].contains("\r\n\r\n"))
                serve(socket, index);
        });
    }
}

void LoopbackServer::serve(QTcpSocket *socket, int index)
{
    const QByteArray request = m_received.at(index);
    const Reply reply = m_script(request.left(request.indexOf("\r\n")));
    Q_EMIT requestReceived(index);
    if (reply.silent)
        return;
    if (reply.chunkSize > 0) {
        sendChunked(socket, reply.bytes, reply.chunkSize, reply.close);
        return;
    }
    socket->write(reply.bytes);
    if (reply.close)
        socket->disconnectFromHost();
}

void LoopbackServer::sendChunked(QTcpSocket *socket, QByteArray rest, int chunkSize, bool close)
{
    QPointer<QTcpSocket> guard(socket);
    if (!guard || guard->state() != QAbstractSocket::ConnectedState)
        return;
    socket->write(rest.left(chunkSize));
    socket->flush();
    rest.remove(0, chunkSize);
    if (rest.isEmpty()) {
        if (close)
            socket->disconnectFromHost();
        return;
    }
    // A pause between pieces makes each one its own TCP segment.
    QTimer::singleShot(2, socket, [this, guard, rest, chunkSize, close] {
        if (guard)
            sendChunked(guard, rest, chunkSize, close);
    });
}

} // namespace kivaro::test
