#include "platform/httptransport.h"

#include "platform/events.h"
#include "platform/tcpconnection.h"

#include <QNetworkProxy>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>

#include <algorithm>

namespace kivaro {

namespace {

constexpr quint16 HttpPort = 80;

bool hasControlCharacters(const QByteArray &bytes)
{
    return std::any_of(bytes.cbegin(), bytes.cend(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; });
}

} // namespace

HttpTransport::HttpTransport(QObject *parent)
    : QObject(parent)
    , m_timer(new QTimer(this))
{
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, &HttpTransport::onTimer);
}

HttpTransport::~HttpTransport()
{
    dropConnection();
}

bool HttpTransport::execute(const QString &operation, const QString &requestHeaders)
{
    cancel();
    m_phase = Phase::Idle;
    m_head = ResponseHead();
    m_closed = false;
    m_errorString.clear();

    if (operation.compare(QLatin1String("GET"), Qt::CaseInsensitive) != 0) {
        m_errorString = tr("Unsupported operation");
        return false;
    }
    const QUrl url(m_url);
    if (!url.isValid() || url.host().isEmpty()) {
        m_errorString = tr("URL is malformed");
        return false;
    }
    if (url.scheme().compare(QLatin1String("http"), Qt::CaseInsensitive) != 0) {
        m_errorString = tr("Unsupported protocol");
        return false;
    }
    m_request = requestBytes(requestHeaders);
    if (m_request.isEmpty()) {
        m_errorString = tr("URL is malformed");
        return false;
    }

    auto *tcp = new QTcpSocket(this);
    m_tcp = tcp;
    // The downloader talks to the server named in the URL and to nothing else.
    tcp->setProxy(QNetworkProxy::NoProxy);
    tcp->setReadBufferSize(ReadBufferBytes);
    connect(tcp, &QTcpSocket::connected, this, &HttpTransport::onConnected);
    connect(tcp, &QTcpSocket::readyRead, this, &HttpTransport::onReadyRead);
    connect(tcp, &QTcpSocket::disconnected, this, &HttpTransport::onDisconnected);
    connect(tcp, &QTcpSocket::errorOccurred, this, &HttpTransport::onError);

    m_phase = Phase::Executing;
    m_sinceActivity.start();
    if (m_timeoutMs > 0)
        m_timer->start(m_timeoutMs);
    tcp->connectToHost(url.host(), static_cast<quint16>(url.port(HttpPort)));
    return true;
}

QByteArray HttpTransport::requestBytes(const QString &requestHeaders) const
{
    const QUrl url(m_url);
    QByteArray target = url.path(QUrl::FullyEncoded).toLatin1();
    if (target.isEmpty())
        target = "/";
    if (url.hasQuery())
        target += '?' + url.query(QUrl::FullyEncoded).toLatin1();

    QByteArray host = url.host(QUrl::FullyEncoded).toLatin1();
    if (host.contains(':'))
        host = '[' + host + ']';
    if (url.port() != -1 && url.port() != HttpPort)
        host += ':' + QByteArray::number(url.port());

    // A URL is text from outside; nothing in it may end a request line early.
    if (hasControlCharacters(target) || target.contains(' ') || hasControlCharacters(host))
        return {};

    QString user = m_userName;
    QString password = m_password;
    if (user.isEmpty()) {
        user = url.userName();
        password = url.password();
    }

    // HTTP/1.0 keeps the body plain (never chunked) and lets the server's close end it.
    QByteArray request = "GET " + target + " HTTP/1.0\r\nHost: " + host + "\r\n";
    if (!user.isEmpty())
        request
            += "Authorization: Basic " + (user + QLatin1Char(':') + password).toUtf8().toBase64() + "\r\n";
    request += "User-Agent: Kivaro\r\nConnection: close\r\n";
    QByteArray extra = requestHeaders.toLatin1();
    if (!extra.isEmpty() && !extra.endsWith("\r\n"))
        extra += "\r\n";
    request += extra + "\r\n";
    return request;
}

QString HttpTransport::header(const QString &name) const
{
    return m_head.value(name);
}

QByteArray HttpTransport::getChunk(qsizetype maxBytes)
{
    if (maxBytes <= 0)
        return {};
    const QPointer<HttpTransport> self(this);
    while (m_phase == Phase::Body) {
        QTcpSocket *tcp = m_tcp.data();
        if (!tcp)
            break;
        // Always ask the socket itself, even when its buffer looks empty: a socket whose buffer
        // was full stops watching the connection until someone reads past the end of the buffer.
        QByteArray chunk = tcp->read(maxBytes);
        if (!chunk.isEmpty()) {
            m_sinceActivity.start();
            return chunk;
        }
        if (m_closed)
            break;
        letEventsRun(EventWait::Block);
        if (!self)
            return {};
    }
    return {};
}

void HttpTransport::cancel()
{
    dropConnection();
    m_closed = true;
    if (m_phase == Phase::Executing)
        m_phase = Phase::Done;
}

void HttpTransport::dropConnection()
{
    m_timer->stop();
    kivaro::dropConnection(m_tcp, this);
}

void HttpTransport::fail(const QString &why)
{
    if (m_errorString.isEmpty())
        m_errorString = why;
    dropConnection();
    m_closed = true;
    if (m_phase == Phase::Executing)
        m_phase = Phase::Done;
}

void HttpTransport::onConnected()
{
    if (QTcpSocket *tcp = m_tcp.data())
        tcp->write(m_request);
}

void HttpTransport::onReadyRead()
{
    // Only the body counts as activity: a header trickling in byte by byte must still be complete
    // within the time-out of execute().
    if (m_phase == Phase::Executing)
        readHeader();
    else if (m_phase == Phase::Body)
        m_sinceActivity.start();
}

void HttpTransport::readHeader()
{
    for (;;) {
        // Re-read each time round: completing or failing the header may drop the connection.
        QTcpSocket *tcp = m_tcp.data();
        if (m_phase != Phase::Executing || !tcp)
            return;
        if (!tcp->canReadLine()) {
            if (m_head.tooLongWith(tcp->bytesAvailable()))
                fail(tr("The response header is too long"));
            return;
        }
        switch (m_head.addLine(tcp->readLine())) {
        case ResponseHead::State::Reading:
            break;
        case ResponseHead::State::TooLong:
            fail(tr("The response header is too long"));
            return;
        case ResponseHead::State::Complete:
            m_phase = Phase::Body;
            m_sinceActivity.start();
            return;
        }
    }
}

void HttpTransport::onDisconnected()
{
    if (m_phase == Phase::Executing) {
        readHeader();
        if (m_phase == Phase::Executing) {
            // The server closed in the middle of the header: what came is all there is, the last
            // line as it stands.
            QTcpSocket *tcp = m_tcp.data();
            m_head.finishUnterminated(tcp ? tcp->readAll() : QByteArray());
            m_phase = Phase::Done;
        }
    }
    // Unread body bytes stay in the socket for getChunk().
    m_closed = true;
    m_timer->stop();
}

void HttpTransport::onError()
{
    const QTcpSocket *tcp = m_tcp.data();
    if (!tcp)
        return;
    if (tcp->error() == QAbstractSocket::RemoteHostClosedError) {
        if (tcp->state() == QAbstractSocket::UnconnectedState)
            onDisconnected();
        return; // otherwise disconnected() follows and ends the response
    }
    const QString why = tcp->errorString();
    if (m_phase == Phase::Body) {
        // Keep what has arrived; the body simply ends here.
        m_errorString = why;
        m_closed = true;
        m_timer->stop();
        return;
    }
    fail(why);
}

void HttpTransport::onTimer()
{
    if (m_phase == Phase::Body) {
        // Unread bytes mean the reader is behind, not the server: that is no reason to give up.
        if (const QTcpSocket *tcp = m_tcp.data(); tcp && tcp->bytesAvailable() > 0) {
            m_timer->start(m_timeoutMs);
            return;
        }
        const qint64 quiet = m_sinceActivity.elapsed();
        if (quiet < m_timeoutMs) {
            m_timer->start(static_cast<int>(m_timeoutMs - quiet));
            return;
        }
    }
    if (m_phase == Phase::Executing || (m_phase == Phase::Body && !m_closed))
        fail(tr("The server did not answer within %1 ms").arg(m_timeoutMs));
}

} // namespace kivaro
