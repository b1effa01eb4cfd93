// The control of mpv through its JSON IPC, against what a player may send: mpv's own lines, lines of
// the wrong type or size, and a stand-in player on a local socket that answers, or does not.

#include "platform/mpvipc.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalServer>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace kivaro;

namespace {

QByteArray change(int id, const char *data)
{
    return QByteArrayLiteral("{\"event\":\"property-change\",\"id\":") + QByteArray::number(id)
        + QByteArrayLiteral(",\"name\":\"x\",\"data\":") + data + QByteArrayLiteral("}\n");
}

const QByteArray PauseOn = change(1, "true");

// A player on a local socket: it reads requests, a JSON object a line, answers each with success
// (the position with timePos) unless told to stay silent, and sends whatever a test gives it.
class FakeMpv : public QObject
{
    Q_OBJECT

public:
    QLocalServer server;
    QPointer<QLocalSocket> client;
    QList<QJsonArray> commands;
    bool answers = true;
    double timePos = 2.0;

    bool listen(const QString &path)
    {
        connect(&server, &QLocalServer::newConnection, this, [this] {
            client = server.nextPendingConnection();
            connect(client, &QLocalSocket::readyRead, this, &FakeMpv::read);
        });
        return server.listen(path);
    }
    void send(const QByteArray &bytes)
    {
        if (QLocalSocket *socket = client.data())
            socket->write(bytes);
    }

private:
    void read()
    {
        QLocalSocket *socket = client.data();
        while (socket && socket->canReadLine()) {
            const QJsonObject request = QJsonDocument::fromJson(socket->readLine()).object();
            const QJsonArray command = request.value(QLatin1String("command")).toArray();
            commands.append(command);
            if (!answers)
                continue;
            QJsonObject reply { { QLatin1String("request_id"), request.value(QLatin1String("request_id")) },
                                { QLatin1String("error"), QLatin1String("success") } };
            if (command == QJsonArray { QLatin1String("get_property"), QLatin1String("time-pos") })
                reply.insert(QLatin1String("data"), timePos);
            socket->write(QJsonDocument(reply).toJson(QJsonDocument::Compact) + '\n');
        }
    }
};

} // namespace

class TestMpvIpc : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_serial = 0;

    QString socketPath() { return m_dir.filePath(QStringLiteral("mpv%1").arg(++m_serial)); }

    // A control attached to a stand-in player that has answered.
    bool attachAnswered(MpvIpc &ipc, FakeMpv &mpv)
    {
        const QString path = socketPath();
        if (!mpv.listen(path))
            return false;
        ipc.attach(path);
        return QTest::qWaitFor([&] { return ipc.isAnswering(); });
    }

private Q_SLOTS:
    // What mpv sends, read in pieces of `piece` bytes (0: all at once), and what the control then
    // holds. Nothing here was asked for, so nothing counts as an answer.
    void lines_data()
    {
        QTest::addColumn<QByteArray>("lines");
        QTest::addColumn<int>("piece");
        QTest::addColumn<bool>("paused");
        QTest::addColumn<double>("volume");
        QTest::addColumn<qlonglong>("lengthUs");
        QTest::addColumn<int>("ends");
        QTest::addColumn<bool>("readOn"); // receive() still takes lines afterwards

        const QByteArray asMpvSays = PauseOn + change(2, "40.000000") + change(3, "6.000000");
        QTest::newRow("as mpv says it") << asMpvSays << 0 << true << 40.0 << 6000000LL << 0 << true;
        QTest::newRow("a byte at a time") << asMpvSays << 1 << true << 40.0 << 6000000LL << 0 << true;
        QTest::newRow("a line without its end waits")
            << PauseOn.chopped(1) << 0 << false << 100.0 << -1LL << 0 << true;
        QTest::newRow("values of the wrong type")
            << change(1, "\"yes\"") + change(2, "\"40\"") + change(3, "true") + change(1, "1") << 0 << false
            << 100.0 << -1LL << 0 << true;
        QTest::newRow("ids of the wrong type")
            << QByteArray("{\"event\":\"property-change\",\"id\":\"1\",\"data\":true}\n"
                          "{\"event\":\"property-change\",\"data\":true}\n")
            << 0 << false << 100.0 << -1LL << 0 << true;
        QTest::newRow("out of range")
            << change(2, "-1") + change(2, "1001") + change(2, "1e400") + change(3, "-6") + change(3, "1e12")
            << 0 << false << 100.0 << -1LL << 0 << true;
        QTest::newRow("the loudest volume and the longest track")
            << change(2, "1000") + change(3, "86400") << 0 << false << 1000.0 << 86400000000LL << 0 << true;
        QTest::newRow("a length forgotten")
            << change(3, "6") + change(3, "null") << 0 << false << 100.0 << -1LL << 0 << true;
        QTest::newRow("properties not observed")
            << change(99, "true") + change(0, "true") + change(-1, "true") << 0 << false << 100.0 << -1LL << 0
            << true;
        QTest::newRow("not JSON, then JSON") << QByteArray("garbage\n{\"event\":\n\xff\xfe\n") + PauseOn << 0
                                             << true << 100.0 << -1LL << 0 << true;
        QTest::newRow("not objects") << QByteArray("[1,2]\n\"pause\"\n42\nnull\n\n") + PauseOn << 0 << true
                                     << 100.0 << -1LL << 0 << true;
        QTest::newRow("nested too deep, refused by the reader")
            << QByteArray(10000, '[') + '\n' + PauseOn << 0 << true << 100.0 << -1LL << 0 << true;
        QTest::newRow("longer than a line may be, waiting for its end")
            << QByteArray(MpvIpc::MaxLineBytes + 1, ' ') << 0 << false << 100.0 << -1LL << 0 << false;
        QTest::newRow("longer than a line may be, then more")
            << QByteArray(MpvIpc::MaxLineBytes + 1, ' ') + '\n' + PauseOn << 0 << false << 100.0 << -1LL << 0
            << false;
        QTest::newRow("longer than a line may be, a byte at a time")
            << QByteArray(MpvIpc::MaxLineBytes + 1, ' ') + '\n' + PauseOn << 1 << false << 100.0 << -1LL << 0
            << false;
        QTest::newRow("the longest line taken")
            << QByteArray(MpvIpc::MaxLineBytes - PauseOn.size() + 1, ' ') + PauseOn << 0 << true << 100.0
            << -1LL << 0 << true;
        QTest::newRow("the track's end") << QByteArray(
            "{\"event\":\"end-file\",\"reason\":\"eof\"}\n{\"event\":\"end-file\",\"reason\":\"error\"}\n")
                                         << 0 << false << 100.0 << -1LL << 2 << true;
        QTest::newRow("not the track's end") << QByteArray(
            "{\"event\":\"end-file\",\"reason\":\"stop\"}\n{\"event\":\"end-file\",\"reason\":\"quit\"}\n"
            "{\"event\":\"end-file\"}\n{\"event\":\"end-file\",\"reason\":[\"eof\"]}\n")
                                             << 0 << false << 100.0 << -1LL << 0 << true;
        QTest::newRow("answers to questions never asked") << QByteArray(
            "{\"request_id\":0,\"error\":\"success\"}\n{\"request_id\":7,\"error\":\"success\",\"data\":3}\n")
                                                          << 0 << false << 100.0 << -1LL << 0 << true;
    }

    void lines()
    {
        QFETCH(QByteArray, lines);
        QFETCH(int, piece);
        QFETCH(bool, paused);
        QFETCH(double, volume);
        QFETCH(qlonglong, lengthUs);
        QFETCH(int, ends);
        QFETCH(bool, readOn);
        MpvIpc ipc;
        QSignalSpy ended(&ipc, &MpvIpc::endOfTrack);
        if (piece == 0) {
            ipc.receive(lines);
        } else {
            for (qsizetype at = 0; at < lines.size(); at += piece)
                ipc.receive(QByteArrayView(lines).sliced(at, std::min<qsizetype>(piece, lines.size() - at)));
        }
        QCOMPARE(ipc.paused(), paused);
        QCOMPARE(ipc.volume(), volume);
        QCOMPARE(ipc.lengthUs(), lengthUs);
        QCOMPARE(ended.count(), ends);
        QVERIFY(!ipc.isAnswering());
        // The line end closes a line left open.
        QCOMPARE(ipc.receive(QByteArray('\n' + change(2, "50"))), readOn);
        QCOMPARE(ipc.volume(), readOn ? 50.0 : volume);
    }

    // Each request as mpv is sent it.
    void requests_data()
    {
        QTest::addColumn<int>("request");
        QTest::addColumn<QByteArray>("command");
        QTest::newRow("pause") << 0 << QByteArray("[\"set_property\",\"pause\",true]");
        QTest::newRow("resume") << 1 << QByteArray("[\"set_property\",\"pause\",false]");
        QTest::newRow("volume") << 2 << QByteArray("[\"set_property\",\"volume\",25]");
        QTest::newRow("no louder than loud") << 3 << QByteArray("[\"set_property\",\"volume\",1000]");
        QTest::newRow("seek") << 4 << QByteArray("[\"seek\",3.5,\"absolute+exact\"]");
        QTest::newRow("not before the start") << 5 << QByteArray("[\"seek\",0,\"absolute+exact\"]");
    }

    void requests()
    {
        QFETCH(int, request);
        QFETCH(QByteArray, command);
        MpvIpc ipc;
        FakeMpv mpv;
        QVERIFY(attachAnswered(ipc, mpv));
        // What a control asks of every player it meets: the properties it follows, and the position.
        QTRY_COMPARE(mpv.commands.size(), 5);
        QCOMPARE(mpv.commands.at(0),
                 (QJsonArray { QLatin1String("observe_property"), 1, QLatin1String("pause") }));
        QCOMPARE(mpv.commands.at(3),
                 (QJsonArray { QLatin1String("observe_property"), 4, QLatin1String("core-idle") }));
        const std::function<void()> requests[] = {
            [&] { ipc.setPaused(true); }, [&] { ipc.setPaused(false); }, [&] { ipc.setVolume(25); },
            [&] { ipc.setVolume(5000); }, [&] { ipc.seekTo(3500000); },  [&] { ipc.seekTo(-2000000); },
        };
        requests[request]();
        QTRY_COMPARE(mpv.commands.size(), 6);
        QCOMPARE(QJsonDocument(mpv.commands.last()).toJson(QJsonDocument::Compact), command);
    }

    // mpv takes a moment to open its socket: the control waits for it.
    void waitsForTheSocket()
    {
        MpvIpc ipc;
        FakeMpv mpv;
        const QString path = socketPath();
        ipc.attach(path);
        QTest::qWait(3 * MpvIpc::ConnectRetryMs);
        QVERIFY(!ipc.isAnswering());
        QVERIFY(mpv.listen(path));
        QTRY_VERIFY(ipc.isAnswering());
    }

    // A player that never answers, or has no socket: no control, no requests, no hang.
    void givesUpOnASilentPlayer_data()
    {
        QTest::addColumn<bool>("listens");
        QTest::newRow("connects, never answers") << true;
        QTest::newRow("no socket") << false;
    }

    void givesUpOnASilentPlayer()
    {
        QFETCH(bool, listens);
        MpvIpc ipc;
        ipc.setAnswerTimeout(300);
        FakeMpv mpv;
        mpv.answers = false;
        const QString path = socketPath();
        if (listens)
            QVERIFY(mpv.listen(path));
        ipc.attach(path);
        if (listens)
            QTRY_VERIFY(mpv.client);
        QTRY_VERIFY(!ipc.receive({})); // given up
        const qsizetype asked = mpv.commands.size();
        ipc.setPaused(true);
        if (listens)
            QTRY_COMPARE(mpv.client->state(), QLocalSocket::UnconnectedState);
        QCOMPARE(mpv.commands.size(), asked);
        QVERIFY(!ipc.isAnswering());
        QVERIFY(!ipc.paused());
    }

    // The player goes away (killed, or at its end): control ends with it, and says so.
    void playerGoes()
    {
        MpvIpc ipc;
        FakeMpv mpv;
        QVERIFY(attachAnswered(ipc, mpv));
        QSignalSpy changed(&ipc, &MpvIpc::stateChanged);
        mpv.client->abort();
        QTRY_VERIFY(!ipc.isAnswering());
        QCOMPARE(changed.count(), 1);
        ipc.setPaused(true); // goes nowhere, harms nothing
        QVERIFY(!ipc.receive(PauseOn));
    }

    // A seek is told once playback stands at its new place, with the place mpv gives; the position
    // runs on from there while playback runs, and stands while it is paused.
    void seekedAndPosition()
    {
        MpvIpc ipc;
        FakeMpv mpv;
        QVERIFY(attachAnswered(ipc, mpv));
        QTRY_COMPARE(ipc.positionUs(), 2000000);
        QSignalSpy seeked(&ipc, &MpvIpc::seeked);
        mpv.timePos = 4.25;
        mpv.send(QByteArrayLiteral("{\"event\":\"seek\"}\n{\"event\":\"playback-restart\"}\n"));
        QVERIFY(seeked.wait());
        QCOMPARE(seeked.constFirst().constFirst().toLongLong(), 4250000);
        QCOMPARE(ipc.positionUs(), 4250000); // not running yet: core-idle has not said so
        mpv.send(change(4, "false"));
        QTRY_VERIFY(ipc.positionUs() > 4250000 + 100000);
        mpv.timePos = 5.0;
        mpv.send(PauseOn + change(4, "true"));
        QTRY_COMPARE(ipc.positionUs(), 5000000);
        QTest::qWait(200);
        QCOMPARE(ipc.positionUs(), 5000000);
        // A start that is no seek moves the position without a Seeked.
        mpv.timePos = 1.0;
        mpv.send(QByteArrayLiteral("{\"event\":\"playback-restart\"}\n"));
        QTRY_COMPARE(ipc.positionUs(), 1000000);
        QCOMPARE(seeked.count(), 1);
    }

    // The position never runs past the track's length.
    void positionWithinTheTrack()
    {
        MpvIpc ipc;
        FakeMpv mpv;
        mpv.timePos = 5.9;
        QVERIFY(attachAnswered(ipc, mpv));
        mpv.send(change(3, "6") + change(4, "false"));
        QTRY_COMPARE(ipc.lengthUs(), 6000000);
        QTRY_COMPARE(ipc.positionUs(), 6000000);
    }

    void initTestCase() { QVERIFY(m_dir.isValid()); }
};

QTEST_GUILESS_MAIN(TestMpvIpc)
#include "tst_mpvipc.moc"
