#include "demosite.h"

#include "pages.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTextStream>
#include <QTimer>
#include <QUrl>
#include <QUrlQuery>

namespace kivaro::demo {

namespace {

// A request head larger than this is not a request the program would send.
constexpr qsizetype MaxRequestHead = 16 * 1024;
// A client that does not finish its request in this time is sent away.
constexpr int RequestTimeoutMs = 10'000;

QByteArray reasonPhrase(int status)
{
    switch (status) {
    case 200: return "OK";
    case 400: return "Bad Request";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    case 408: return "Request Timeout";
    case 413: return "Request Entity Too Large";
    default: return "Error";
    }
}

DemoSite::Response errorResponse(int status)
{
    const QByteArray text = QByteArray::number(status) + ' ' + reasonPhrase(status);
    return {status, "text/html; charset=utf-8", "<html><body><h1>" + text + "</h1></body></html>\n"};
}

// "search_query=a+b+music+video&search=Search" as the user meant it: plus signs are spaces, and
// escapes and UTF-8 are undone.
QString queryValue(const QByteArray &rawQuery, const QString &key)
{
    QByteArray query = rawQuery;
    query.replace('+', ' ');
    const QUrlQuery items(QString::fromUtf8(query));
    return items.queryItemValue(key, QUrl::FullyDecoded);
}

} // namespace

DemoSite::DemoSite(QObject *parent)
    : QObject(parent)
    , m_server(new QTcpServer(this))
{
    connect(m_server, &QTcpServer::newConnection, this, &DemoSite::onNewConnection);
}

DemoSite::~DemoSite() = default;

bool DemoSite::listen(quint16 port, const QHostAddress &address)
{
    return m_server->listen(address, port);
}

quint16 DemoSite::port() const
{
    return m_server->serverPort();
}

QString DemoSite::errorString() const
{
    return m_server->errorString();
}

void DemoSite::onNewConnection()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        if (m_silent) {
            connect(socket, &QTcpSocket::readyRead, socket, [socket] { socket->readAll(); });
            continue;
        }
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        auto *timeout = new QTimer(socket);
        timeout->setSingleShot(true);
        connect(timeout, &QTimer::timeout, socket, [socket] {
            if (socket->property("answered").toBool())
                return;
            socket->setProperty("answered", true);
            socket->write("HTTP/1.0 408 " + reasonPhrase(408) + "\r\nConnection: close\r\n\r\n"
                          + errorResponse(408).body);
            socket->disconnectFromHost();
        });
        timeout->start(RequestTimeoutMs);
    }
}

void DemoSite::onReadyRead(QTcpSocket *socket)
{
    if (socket->property("answered").toBool()) {
        socket->readAll(); // one request per connection; the rest is ignored
        return;
    }
    QByteArray head = socket->property("head").toByteArray() + socket->readAll();
    const qsizetype end = head.indexOf("\r\n\r\n");
    const qsizetype lfEnd = head.indexOf("\n\n");
    if (end < 0 && lfEnd < 0) {
        if (head.size() > MaxRequestHead) {
            answer(socket, QByteArray()); // too large: answered as unreadable
            return;
        }
        socket->setProperty("head", head);
        return;
    }
    const qsizetype lineEnd = head.indexOf('\n');
    answer(socket, head.left(lineEnd).trimmed());
}

DemoSite::Response DemoSite::respond(const QByteArray &requestLine) const
{
    const QList<QByteArray> parts = requestLine.split(' ');
    if (parts.size() != 3 || !parts.at(2).startsWith("HTTP/"))
        return errorResponse(400);
    if (parts.at(0) != "GET" && parts.at(0) != "HEAD")
        return errorResponse(405);

    // The program names the whole address; browsers and curl send only the path.
    QByteArray target = parts.at(1);
    if (target.startsWith("http://")) {
        const qsizetype slash = target.indexOf('/', 7);
        target = slash < 0 ? QByteArray("/") : target.mid(slash);
    }
    if (!target.startsWith('/'))
        return errorResponse(400);
    const qsizetype question = target.indexOf('?');
    const QByteArray path = question < 0 ? target : target.left(question);
    const QByteArray query = question < 0 ? QByteArray() : target.mid(question + 1);

    if (path == "/results") {
        const QString words = queryValue(query, QStringLiteral("search_query"));
        return {200, "text/html; charset=utf-8", searchPage(words, m_catalogue.search(words))};
    }
    if (path == "/watch") {
        const QString id = queryValue(query, QStringLiteral("v"));
        if (const Track *track = m_catalogue.byId(id))
            return {200, "text/html; charset=utf-8", videoPage(*track)};
        return {200, "text/html; charset=utf-8", missingVideoPage(id)};
    }
    if (path == "/player2.swf") {
        if (const Track *track = m_catalogue.byId(queryValue(query, QStringLiteral("video_id"))))
            return {200, "audio/wav", melodyWav(*track)};
        return errorResponse(404);
    }
    const QByteArray versionFile = m_release.toUtf8() + "\r\n";
    const QByteArray installer = installerScript(m_release);
    if (path == "/version.dll")
        return { 200, "text/plain", versionFile };
    if (path == "/version.dll.minisig")
        return { 200, "text/plain", m_signer.sign(versionFile, "file:version.dll") };
    if (path == "/NewVers.exe")
        return { 200, "application/octet-stream", installer };
    if (path == "/NewVers.exe.minisig")
        return { 200, "text/plain",
                 m_signer.sign(installer,
                               QByteArray("release=" + m_release.toUtf8() + " file:NewVers.exe")) };
    if (path == "/search/default.asp")
        return {200, "text/html; charset=utf-8", shopPage(queryValue(query, QStringLiteral("searchstring")))};
    if (path == "/")
        return {200, "text/html; charset=utf-8", indexPage(m_catalogue, port())};
    return errorResponse(404);
}

void DemoSite::answer(QTcpSocket *socket, const QByteArray &requestLine)
{
    socket->setProperty("answered", true);
    socket->setProperty("head", QVariant());
    const Response r = respond(requestLine);
    const bool headOnly = requestLine.startsWith("HEAD ");
    QByteArray out = "HTTP/1.0 " + QByteArray::number(r.status) + ' ' + reasonPhrase(r.status) + "\r\n"
        + "Server: kivaro-demo-site\r\n"
        + "Content-Type: " + r.contentType + "\r\n"
        + "Content-Length: " + QByteArray::number(r.body.size()) + "\r\n"
        + "Connection: close\r\n\r\n";
    if (!headOnly)
        out += r.body;
    socket->write(out);
    socket->disconnectFromHost(); // closes once everything is written
    ++m_served;
    if (m_verbose)
        QTextStream(stdout) << r.status << ' ' << QString::fromLatin1(requestLine) << Qt::endl;
    Q_EMIT requestServed(requestLine, r.status);
}

} // namespace kivaro::demo
