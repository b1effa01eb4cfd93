#pragma once

#include "platform/responsehead.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>

class QTcpSocket;
class QTimer;

namespace kivaro {

// The file downloader's HTTP client: one GET at a time over a fresh TCP connection, driven the way
// the classic internet transfer control is driven. execute() starts the request and returns at once;
// stillExecuting() stays true until the whole response header has arrived or the request has failed;
// then header() gives the header block and getChunk() hands out the body piece by piece, straight
// from the socket, so a body of any size never sits in memory.
//
// The header block is that of ResponseHead: the status line and the header lines as received. A
// request that fails before anything arrives leaves it empty.
//
// Everything comes from an untrusted server, so nothing here waits without bound: the header must
// be complete within timeout() of execute() and be no longer than MaxHeaderBytes, and a body that
// stays silent for timeout() ends as if the server had closed the connection.
class HttpTransport : public QObject
{
    Q_OBJECT

public:
    static constexpr int DefaultTimeoutMs = 30000;
    static constexpr qsizetype MaxHeaderBytes = ResponseHead::MaxBytes;
    // What the socket may hold ahead of getChunk(); beyond it TCP flow control holds the server back.
    static constexpr qint64 ReadBufferBytes = 256 * 1024;

    explicit HttpTransport(QObject *parent = nullptr);
    ~HttpTransport() override;

    // The URL is kept exactly as given; url() returns the same text (it appears in messages).
    void setUrl(const QString &url) { m_url = url; }
    QString url() const { return m_url; }
    // Sent as HTTP basic authentication when the user name is not empty; otherwise a user name and
    // password written into the URL are used, if there are any.
    void setUserName(const QString &userName) { m_userName = userName; }
    QString userName() const { return m_userName; }
    void setPassword(const QString &password) { m_password = password; }
    QString password() const { return m_password; }

    void setTimeout(int milliseconds) { m_timeoutMs = milliseconds; }
    int timeout() const { return m_timeoutMs; }

    // Starts the request for url() and returns at once. requestHeaders are extra header lines, each
    // ending in CR LF. Returns false, with errorString() set, when the request cannot even start: an
    // operation other than GET, or a URL that is not a usable http address.
    bool execute(const QString &operation, const QString &requestHeaders);
    bool stillExecuting() const { return m_phase == Phase::Executing; }
    // The header block described above.
    QString header() const { return m_head.block(); }
    // The value of the first header line with this name (compared without regard to case), without
    // the blanks around it; empty when there is no such line.
    QString header(const QString &name) const;
    // The next part of the body, at most maxBytes long; empty once the body is exhausted (the server
    // has closed the connection, or the request failed, timed out or was cancelled). Waits for data
    // by letting events run, so anything may happen meanwhile, including this object being deleted.
    QByteArray getChunk(qsizetype maxBytes);
    // Closes the connection. What has not been read is dropped; getChunk() returns empty from now on.
    void cancel();

    // Why the last execute() could not start, or why the last request failed.
    QString errorString() const { return m_errorString; }

private:
    enum class Phase { Idle, Executing, Body, Done };

    QByteArray requestBytes(const QString &requestHeaders) const;
    void readHeader();
    void fail(const QString &why);
    void dropConnection();
    void onConnected();
    void onReadyRead();
    void onDisconnected();
    void onError();
    void onTimer();

    QString m_url;
    QString m_userName;
    QString m_password;
    int m_timeoutMs = DefaultTimeoutMs;

    Phase m_phase = Phase::Idle;
    QByteArray m_request;
    ResponseHead m_head;
    bool m_closed = false; // no more body bytes will arrive
    QString m_errorString;

    QPointer<QTcpSocket> m_tcp;
    QTimer *m_timer = nullptr;
    // Restarted whenever the server shows life; the timer only looks at it when it fires, which
    // keeps the per-chunk cost to reading a clock.
    QElapsedTimer m_sinceActivity;
};

} // namespace kivaro
