#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QTcpServer>

#include <functional>

class QTcpSocket;

namespace kivaro::test {

// A scripted web server on 127.0.0.1 for tests: it records every byte each connection sends and
// answers each request as the test says, whole or in small pieces, or not at all.
class LoopbackServer : public QObject
{
    Q_OBJECT

public:
    struct Reply
    {
        QByteArray bytes;   // sent as they are: status line, headers, body
        int chunkSize = 0;  // above 0: sent this many bytes at a time, a few milliseconds apart
        bool close = true;  // close the connection once everything is sent
        bool silent = false; // never answer (the connection stays open)
    };
    using Script = std::function<Reply(const QByteArray &requestLine)>;

    explicit LoopbackServer(QObject *parent = nullptr);
    ~LoopbackServer() override;

    bool listen();
    quint16 port() const { return m_server.serverPort(); }
    QString address() const;

    void setScript(Script script) { m_script = std::move(script); }
    // Answers every request with a 200 response carrying `body`.
    void replyWith(const QByteArray &body);
    static QByteArray ok(const QByteArray &body);

    // What each connection sent, in the order the connections came.
    const QList<QByteArray> &received() const { return m_received; }
    QList<QByteArray> requestLines() const;
    bool waitForConnections(int count, int timeoutMs = 5000);

Q_SIGNALS:
    void requestReceived(int connection);

private:
    void onNewConnection();
    void serve(QTcpSocket *socket, int index);
    void sendChunked(QTcpSocket *socket, QByteArray rest, int chunkSize, bool close);

    QTcpServer m_server;
    Script m_script;
    QList<QByteArray> m_received;
};

} // namespace kivaro::test
