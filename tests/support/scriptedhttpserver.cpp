#include "scriptedhttpserver.h"

#include <QHostAddress>
#include <QTcpSocket>

#include <algorithm>
#include <cstring>

namespace kivaro::test {

namespace {

constexpr int PatternPeriod = 251; // prime, so no piece size divides it
constexpr qint64 PieceBytes = 64 * 1024;
constexpr qint64 HighWater = 4 * PieceBytes;
constexpr qsizetype MaxRequestBytes = 64 * 1024;

} // namespace

struct ScriptedHttpServer::Connection
{
    QTcpSocket *socket = nullptr;
    QByteArray request;
    bool answered = false;
    Reply reply;
    qint64 patternSent = 0;
    bool done = false;
};

ScriptedHttpServer::Reply ScriptedHttpServer::reply(const QByteArray &statusLine, const QByteArray &body,
                                                    const QByteArray &headerLines)
{
    Reply r;
    r.head = statusLine + "\r\n" + headerLines + "Content-Length: " + QByteArray::number(body.size())
        + "\r\n\r\n";
    r.body = body;
    return r;
}

ScriptedHttpServer::Reply ScriptedHttpServer::patternReply(qint64 length)
{
    Reply r;
    r.head = "HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(length) + "\r\n\r\n";
    r.patternBytes = length;
    return r;
}

QByteArray ScriptedHttpServer::pattern(qint64 offset, qint64 length)
{
    QByteArray bytes(length, Qt::Uninitialized);
    char *data = bytes.data();
    const qint64 period = std::min<qint64>(length, PatternPeriod);
    for (qint64 i = 0; i < period; ++i)
        data[i] = static_cast<char>((offset + i) % PatternPeriod);
    // The rest repeats the first period; copying whole periods keeps a 64 MB body cheap to serve.
    for (qint64 filled = period; filled < length;) {
        const qint64 n = std::min(filled, length - filled);
        std::memcpy(data + filled, data, static_cast<size_t>(n));
        filled += n;
    }
    return bytes;
}

ScriptedHttpServer::ScriptedHttpServer(QObject *parent)
    : QObject(parent)
    , m_server(this) // a child, so that moving the server to another thread takes the listener along
{
    connect(&m_server, &QTcpServer::newConnection, this, &ScriptedHttpServer::onNewConnection);
}

ScriptedHttpServer::~ScriptedHttpServer()
{
    qDeleteAll(m_connections);
}

bool ScriptedHttpServer::listen()
{
    return m_server.listen(QHostAddress::LocalHost, 0);
}

QString ScriptedHttpServer::url(const QString &path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path);
}

void ScriptedHttpServer::addReply(const Reply &reply, int times)
{
    for (int i = 0; i < times; ++i)
        m_script.append(reply);
}

void ScriptedHttpServer::onNewConnection()
{
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        if (m_script.isEmpty()) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        auto *connection = new Connection;
        connection->socket = socket;
        connection->reply = m_script.takeFirst();
        m_connections.append(connection);
        connect(socket, &QTcpSocket::readyRead, this, [this, connection] { onReadyRead(connection); });
        connect(socket, &QTcpSocket::bytesWritten, this, [this, connection] { pump(connection); });
    }
}

void ScriptedHttpServer::onReadyRead(Connection *connection)
{
    if (connection->answered) {
        connection->socket->readAll();
        return;
    }
    connection->request += connection->socket->readAll();
    const qsizetype end = connection->request.indexOf("\r\n\r\n");
    if (end < 0 && connection->request.size() < MaxRequestBytes)
        return;
    connection->request.truncate(end < 0 ? MaxRequestBytes : end + 4);
    m_requests.append(connection->request);
    connection->answered = true;
    connection->socket->write(connection->reply.head + connection->reply.body);
    pump(connection);
}

void ScriptedHttpServer::pump(Connection *connection)
{
    if (!connection->answered || connection->done)
        return;
    QTcpSocket *socket = connection->socket;
    const Reply &reply = connection->reply;
    while (connection->patternSent < reply.patternBytes && socket->bytesToWrite() < HighWater) {
        const qint64 piece = std::min(PieceBytes, reply.patternBytes - connection->patternSent);
        socket->write(pattern(connection->patternSent, piece));
        connection->patternSent += piece;
    }
    if (connection->patternSent < reply.patternBytes || socket->bytesToWrite() > 0)
        return;
    connection->done = true;
    if (!reply.hold)
        socket->disconnectFromHost();
}

} // namespace kivaro::test
