#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QTcpServer>

class QTcpSocket;

namespace kivaro::test {

// A loopback HTTP server for tests and benchmarks. It listens on 127.0.0.1 on a port the system
// picks, reads each request's header, answers with the next scripted reply and records the request.
// Connections beyond the script are closed at once, so a client can never make it do more than the
// test planned.
class ScriptedHttpServer : public QObject
{
    Q_OBJECT

public:
    struct Reply
    {
        QByteArray head; // status line and headers, sent exactly as given
        QByteArray body;
        qint64 patternBytes = 0; // then this many bytes of pattern(), streamed without holding them
        bool hold = false; // afterwards keep the connection open and silent instead of closing
    };

    // Status line, the given header lines, a Content-Length that matches the body, and the body.
    static Reply reply(const QByteArray &statusLine, const QByteArray &body,
                       const QByteArray &headerLines = {});
    // 200 with a pattern() body of this length, announced as such.
    static Reply patternReply(qint64 length);
    // Bytes that cannot line up with any power-of-two piece size, so a lost, doubled or shifted
    // piece shows.
    static QByteArray pattern(qint64 offset, qint64 length);

    explicit ScriptedHttpServer(QObject *parent = nullptr);
    ~ScriptedHttpServer() override;

    bool listen();
    QString url(const QString &path) const;

    void addReply(const Reply &reply, int times = 1);
    QList<QByteArray> requests() const { return m_requests; }

private:
    struct Connection;

    void onNewConnection();
    void onReadyRead(Connection *connection);
    void pump(Connection *connection);

    QTcpServer m_server;
    QList<Reply> m_script;
    QList<QByteArray> m_requests;
    QList<Connection *> m_connections;
};

} // namespace kivaro::test
