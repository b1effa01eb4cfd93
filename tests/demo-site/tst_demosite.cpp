#include "demosite.h"

#include <QSignalSpy>
#include <QTcpSocket>
#include <QTest>

using namespace kivaro::demo;

namespace {

// Sends raw bytes to the site and returns everything it answers until it closes.
QByteArray exchange(quint16 port, const QByteArray &request, bool closeWrite = false)
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    if (!socket.waitForConnected(5000))
        return "no connection";
    socket.write(request);
    socket.flush();
    if (closeWrite)
        socket.disconnectFromHost();
    QByteArray answer;
    const bool closed = QTest::qWaitFor([&] {
        answer += socket.readAll();
        return socket.state() == QAbstractSocket::UnconnectedState;
    }, 15000);
    return closed ? answer + socket.readAll() : QByteArray("still open: ") + answer;
}

QByteArray get(quint16 port, const QByteArray &target)
{
    return exchange(port, "GET " + target + " HTTP/1.0\r\nAccept: */*\r\nAccept: text/html\r\n\r\n");
}

} // namespace

class TestDemoSite : public QObject
{
    Q_OBJECT

    DemoSite site;

    QByteArray absolute(const QByteArray &path) const
    {
        return "http://127.0.0.1:" + QByteArray::number(site.port()) + path;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(site.listen());
        QVERIFY(site.catalogue().tracks().size() >= 12);
    }

    void searchPages_data()
    {
        QTest::addColumn<QByteArray>("query");
        QTest::addColumn<int>("results");
        QTest::newRow("artist") << QByteArray("red+band+music+video") << 2;
        QTest::newRow("artist and song with dash") << QByteArray("Red+Band+-+Blue+Song+music+video") << 1;
        QTest::newRow("utf-8 bytes") << QByteArray("caf\xc3\xa9+music+video") << 1;
        QTest::newRow("nothing matches") << QByteArray("zzz+music+video") << 0;
    }

    void searchPages()
    {
        QFETCH(QByteArray, query);
        QFETCH(int, results);
        const QByteArray page = get(site.port(), absolute("/results?search_query=" + query + "&search=Search"));
        QVERIFY(page.startsWith("HTTP/1.0 200 OK\r\n"));
        QVERIFY(page.size() > 2000); // markup of a realistic size around the results
        // Each result links to its video twice, as the site does.
        QCOMPARE(page.count("a href=\"/watch?v="), 2 * results);
    }

    void videoPageAndAudio()
    {
        const QByteArray page = get(site.port(), absolute("/watch?v=AbCdEfGhIjK"));
        QVERIFY(page.contains("<title>YouTube - Red Band - Blue Song</title>"));
        const QByteArray marker = "var fo = new SWFObject(\"/player2.swf?video_id=";
        const qsizetype at = page.indexOf(marker);
        QVERIFY(at > 0);
        const QByteArray parameters = page.mid(at + marker.size(), page.indexOf('"', at + marker.size()) - at - marker.size());
        QVERIFY2(parameters.startsWith("AbCdEfGhIjK&l=212&t="), parameters.constData());

        const QByteArray audio = get(site.port(), absolute("/player2.swf?video_id=" + parameters));
        QVERIFY(audio.contains("Content-Type: audio/wav\r\n"));
        const QByteArray body = audio.mid(audio.indexOf("\r\n\r\n") + 4);
        QVERIFY(body.startsWith("RIFF"));
        QCOMPARE(body.mid(8, 8), QByteArray("WAVEfmt "));
        QVERIFY(body.size() > 100000);

        QVERIFY(!get(site.port(), "/watch?v=unknown").contains("SWFObject"));
    }

    void vendorAndShop()
    {
        site.setRelease(QStringLiteral("4"));
        QVERIFY(get(site.port(), "/version.dll").endsWith("\r\n\r\n4\r\n"));
        QVERIFY(get(site.port(), "/NewVers.exe").contains("#!/bin/sh"));
        site.setRelease(QStringLiteral("3"));
        const QByteArray shop = get(site.port(), absolute("/search/default.asp?SearchType=all&searchstring=Red+Band+&av=2"));
        QVERIFY(shop.contains("<b>Red Band </b>"));
    }

    void malformedRequestsAreSurvived_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QByteArray>("status");
        QTest::newRow("garbage") << QByteArray("\x01\x02\xff\r\n\r\n") << QByteArray("400");
        QTest::newRow("no version") << QByteArray("GET /\r\n\r\n") << QByteArray("400");
        QTest::newRow("post") << QByteArray("POST / HTTP/1.0\r\n\r\n") << QByteArray("405");
        QTest::newRow("unknown path") << QByteArray("GET /nope HTTP/1.0\r\n\r\n") << QByteArray("404");
        QTest::newRow("relative target") << QByteArray("GET nope HTTP/1.0\r\n\r\n") << QByteArray("400");
        QTest::newRow("oversized head") << QByteArray("GET /" + QByteArray(40000, 'a')) << QByteArray("400");
        QTest::newRow("bad escapes") << QByteArray("GET /results?search_query=%zz%%&x HTTP/1.0\r\n\r\n")
                                     << QByteArray("200");
    }

    void malformedRequestsAreSurvived()
    {
        QFETCH(QByteArray, request);
        QFETCH(QByteArray, status);
        QVERIFY(exchange(site.port(), request).startsWith(QByteArray("HTTP/1.0 " + status)));
        QVERIFY(get(site.port(), "/version.dll").startsWith("HTTP/1.0 200"));
    }

    void clientLeavingEarly()
    {
        exchange(site.port(), "GET /res", true);
        QVERIFY(get(site.port(), "/version.dll").startsWith("HTTP/1.0 200"));
    }

    void silentSiteHearsAndNeverAnswers()
    {
        DemoSite silent;
        silent.setSilent(true);
        QVERIFY(silent.listen());
        QTcpSocket client;
        client.connectToHost(QHostAddress::LocalHost, silent.port());
        QVERIFY(client.waitForConnected(5000));
        client.write("GET /version.dll HTTP/1.0\r\n\r\n");
        QSignalSpy answered(&client, &QTcpSocket::readyRead);
        QSignalSpy closed(&client, &QTcpSocket::disconnected);
        // Events run meanwhile, so the site has every chance to answer or close.
        QVERIFY(!answered.wait(300));
        QCOMPARE(closed.count(), 0);
        QCOMPARE(client.state(), QAbstractSocket::ConnectedState);
        QCOMPARE(silent.requestsServed(), 0);
    }
};

QTEST_GUILESS_MAIN(TestDemoSite)
#include "tst_demosite.moc"
