#pragma once

#include "catalogue.h"
#include "signer.h"

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QString>

class QTcpServer;
class QTcpSocket;

namespace kivaro::demo {

// A stand-in for the video site, the vendor site and the record shop, on loopback. It speaks
// HTTP/1.0: one request per connection, answered and then closed. It accepts the absolute request
// target the program sends ("GET http://host:port/path HTTP/1.0") as well as a plain path, and
// answers anything it cannot read with an error instead of giving up.
class DemoSite : public QObject
{
    Q_OBJECT

public:
    explicit DemoSite(QObject *parent = nullptr);
    ~DemoSite() override;

    // Port 0 picks a free one.
    bool listen(quint16 port = 0, const QHostAddress &address = QHostAddress::LocalHost);
    quint16 port() const;
    QString errorString() const;

    // The vendor key, made afresh for each site, that signs /version.dll and /NewVers.exe; their
    // signatures lie beside them (/version.dll.minisig, /NewVers.exe.minisig), the installer's with
    // "release=N" in its trusted comment.
    const Signer &signer() const { return m_signer; }

    // The release number /version.dll announces.
    void setRelease(const QString &release) { m_release = release; }
    QString release() const { return m_release; }

    void setVerbose(bool verbose) { m_verbose = verbose; }
    // A silent site accepts connections, reads what comes and never answers nor closes: a site that
    // hangs, for trying what the program does while it waits.
    void setSilent(bool silent) { m_silent = silent; }
    const Catalogue &catalogue() const { return m_catalogue; }
    int requestsServed() const { return m_served; }

    struct Response
    {
        int status = 200;
        QByteArray contentType;
        QByteArray body;
    };
    // The answer to one request's first line; what the server sends is built from it.
    Response respond(const QByteArray &requestLine) const;

Q_SIGNALS:
    void requestServed(const QByteArray &requestLine, int status);

private:
    void onNewConnection();
    void onReadyRead(QTcpSocket *socket);
    void answer(QTcpSocket *socket, const QByteArray &requestLine);

    QTcpServer *m_server;
    Catalogue m_catalogue;
    Signer m_signer;
    QString m_release = QStringLiteral("3");
    bool m_verbose = false;
    bool m_silent = false;
    int m_served = 0;
};

} // namespace kivaro::demo
