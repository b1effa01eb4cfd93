#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>

class QTcpSocket;
class QTimer;

namespace kivaro {

// The engine's TCP client, with the few operations and the two notifications the engine relies on.
//
// Two promises set it apart from a bare QTcpSocket:
//  - remoteClosed() comes only when the remote end closes the connection, never when we close or
//    abort it ourselves (each fetch begins by closing the socket);
//  - every dataArrival() of a connection comes before its remoteClosed().
// Each connect uses a fresh QTcpSocket, so nothing of an abandoned connection can reach the next one.
class Socket : public QObject
{
    Q_OBJECT

public:
    // The classic socket control's state numbers; the engine waits for Connected (7).
    enum State : int {
        Closed = 0,
        Open = 1,
        Listening = 2,
        ConnectionPending = 3,
        ResolvingHost = 4,
        HostResolved = 5,
        Connecting = 6,
        Connected = 7,
        Closing = 8,
        Error = 9,
    };
    Q_ENUM(State)

    explicit Socket(QObject *parent = nullptr);
    ~Socket() override;

    // Closes the connection in any state; closing a closed socket does nothing. Emits nothing.
    void close();

    void setRemoteHost(const QString &host) { m_remoteHost = host; }
    QString remoteHost() const { return m_remoteHost; }
    void setRemotePort(quint16 port) { m_remotePort = port; }
    quint16 remotePort() const { return m_remotePort; }

    // A connection that is not made within this many milliseconds is given up: the state becomes
    // Error. Zero or less waits as long as the system does.
    void setConnectTimeout(int milliseconds) { m_connectTimeoutMs = milliseconds; }
    int connectTimeout() const { return m_connectTimeoutMs; }

    void connectToRemote();
    State state() const { return m_state; }
    // Counts the connections this socket has started; a waiter compares it to learn whether
    // someone else has closed and reconnected the socket in the meantime.
    quint64 connectionSerial() const { return m_serial; }
    // Why the last connection failed, when state() is Error.
    QString errorString() const { return m_errorString; }

    // Sends the bytes at once (no event is let in).
    void sendData(const QByteArray &bytes);
    // Takes all data received so far.
    QByteArray takeData();

Q_SIGNALS:
    void dataArrival(qint64 bytesTotal);
    void remoteClosed();
    void stateChanged(kivaro::Socket::State state);

private:
    void setState(State state);
    void dropConnection();
    void onConnected();
    void onReadyRead();
    void onDisconnected();
    void onError();
    void onConnectTimeout();

    QString m_remoteHost;
    quint16 m_remotePort = 80;
    int m_connectTimeoutMs = 0;
    State m_state = Closed;
    quint64 m_serial = 0;
    QString m_errorString;
    QPointer<QTcpSocket> m_tcp;
    QTimer *m_connectTimer = nullptr;
};

} // namespace kivaro
