#include "platform/socket.h"
#include "testhelpers.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

using namespace kivaro;

class TestSocket : public QObject
{
    Q_OBJECT

    QTcpServer server;
    QList<QTcpSocket *> peers;

private Q_SLOTS:
    void init()
    {
        peers.clear();
        QVERIFY(server.listen(QHostAddress::LocalHost, 0));
        connect(&server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *peer = server.nextPendingConnection())
                peers.append(peer);
        });
    }

    void cleanup()
    {
        server.close();
        server.disconnect(this);
        qDeleteAll(peers);
    }

    Socket *connected(Socket &socket)
    {
        socket.setRemoteHost(QStringLiteral("127.0.0.1"));
        socket.setRemotePort(server.serverPort());
        socket.connectToRemote();
        if (!QTest::qWaitFor([&] { return socket.state() == Socket::Connected && !peers.isEmpty(); }))
            return nullptr;
        return &socket;
    }

    void ourOwnCloseIsNotReported()
    {
        Socket socket;
        QVERIFY(connected(socket));
        QSignalSpy closes(&socket, &Socket::remoteClosed);
        socket.close();
        QCOMPARE(socket.state(), Socket::Closed);
        socket.close(); // closing a closed socket does nothing
        kivaro::test::letAWhilePass();
        QCOMPARE(closes.size(), 0);
    }

    void reconnectDropsTheOldConnection()
    {
        Socket socket;
        QVERIFY(connected(socket));
        QTcpSocket *first = peers.constFirst();
        QSignalSpy closes(&socket, &Socket::remoteClosed);
        QSignalSpy data(&socket, &Socket::dataArrival);
        const quint64 serial = socket.connectionSerial();
        socket.connectToRemote();
        QCOMPARE(socket.connectionSerial(), serial + 1);
        // What the old peer sends and its close never reach the new connection.
        first->write("stale");
        first->disconnectFromHost();
        QTRY_COMPARE(socket.state(), Socket::Connected);
        kivaro::test::letAWhilePass();
        QCOMPARE(closes.size(), 0);
        QCOMPARE(data.size(), 0);
    }

    void everyDataEventComesBeforeTheClose()
    {
        Socket socket;
        QVERIFY(connected(socket));
        QStringList order;
        QByteArray received;
        connect(&socket, &Socket::dataArrival, this, [&] {
            order << QStringLiteral("data");
            received += socket.takeData();
        });
        connect(&socket, &Socket::remoteClosed, this, [&] { order << QStringLiteral("close"); });
        const QByteArray page(100000, 'p');
        peers.constFirst()->write(page);
        peers.constFirst()->disconnectFromHost();
        QTRY_VERIFY(order.contains(QStringLiteral("close")));
        QCOMPARE(order.constLast(), QStringLiteral("close"));
        QCOMPARE(order.count(QStringLiteral("close")), 1);
        QCOMPARE(received, page);
        QCOMPARE(socket.state(), Socket::Closing);
    }

    void sendsExactBytes()
    {
        Socket socket;
        QVERIFY(connected(socket));
        const QByteArray request("GET http://h/x HTTP/1.0\r\n\r\n");
        socket.sendData(request);
        QTRY_COMPARE(peers.constFirst()->bytesAvailable(), request.size());
        QCOMPARE(peers.constFirst()->readAll(), request);
    }

    void refusedConnectionEndsInError()
    {
        const quint16 port = server.serverPort();
        server.close();
        Socket socket;
        socket.setRemoteHost(QStringLiteral("127.0.0.1"));
        socket.setRemotePort(port);
        socket.connectToRemote();
        QTRY_COMPARE(socket.state(), Socket::Error);
        QVERIFY(!socket.errorString().isEmpty());
        socket.sendData("ignored"); // no connection: nothing happens
    }
};

QTEST_GUILESS_MAIN(TestSocket)
#include "tst_socket.moc"
