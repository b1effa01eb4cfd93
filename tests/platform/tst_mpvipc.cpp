// The control of mpv through its JSON IPC, against what a player may send: mpv's own lines, lines of
// the wrong type or size, and a player that does not answer at all. (With the real mpv:
// tests/desktop/tst_mprismpv.)

#include "platform/mpvipc.h"

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

} // namespace

class TestMpvIpc : public QObject
{
    Q_OBJECT

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

        auto row = [](const char *name, const QByteArray &lines, bool paused, double volume = 100,
                      qlonglong lengthUs = -1, int piece = 0, int ends = 0, bool readOn = true) {
            QTest::newRow(name) << lines << piece << paused << volume << lengthUs << ends << readOn;
        };
        const QByteArray asMpvSays = PauseOn + change(2, "40.000000") + change(3, "6.000000");
        const QByteArray tooLong = QByteArray(MpvIpc::MaxLineBytes + 1, ' ') + '\n' + PauseOn;
        row("as mpv says it", asMpvSays, true, 40, 6000000);
        row("a byte at a time", asMpvSays, true, 40, 6000000, 1);
        row("values of the wrong type",
            change(1, "\"yes\"") + change(2, "\"40\"") + change(3, "true") + change(1, "1")
                + "{\"event\":\"property-change\",\"id\":\"1\",\"data\":true}\n",
            false);
        row("out of range",
            change(2, "-1") + change(2, "1001") + change(2, "1e400") + change(3, "-6") + change(3, "1e12"),
            false);
        row("not JSON, not objects, nested too deep, then a line that counts",
            "garbage\n{\"event\":\n\xff\n[1,2]\n\"pause\"\n\n" + QByteArray(10000, '[') + '\n' + PauseOn,
            true);
        row("longer than a line may be, then more", tooLong, false, 100, -1, 0, 0, false);
        row("longer than a line may be, a byte at a time", tooLong, false, 100, -1, 1, 0, false);
        row("the longest line taken", QByteArray(MpvIpc::MaxLineBytes - PauseOn.size() + 1, ' ') + PauseOn,
            true);
        row("the track's end, and ends that are not",
            "{\"event\":\"end-file\",\"reason\":\"eof\"}\n{\"event\":\"end-file\",\"reason\":\"error\"}\n"
            "{\"event\":\"end-file\",\"reason\":\"stop\"}\n{\"event\":\"end-file\"}\n",
            false, 100, -1, 0, 2);
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
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("mpv"));
        QLocalServer server;
        if (listens)
            QVERIFY(server.listen(path));
        MpvIpc ipc;
        ipc.setAnswerTimeout(300);
        ipc.attach(path);
        QTRY_VERIFY(!ipc.receive({})); // given up
        ipc.setPaused(true);
        if (listens) {
            QLocalSocket *player = server.nextPendingConnection();
            QVERIFY(player);
            QTRY_COMPARE(player->state(), QLocalSocket::UnconnectedState);
            // What it asked before giving up, and nothing after.
            QCOMPARE(player->readAll().count('\n'), 5);
        }
        QVERIFY(!ipc.isAnswering());
        QVERIFY(!ipc.paused());
    }
};

QTEST_GUILESS_MAIN(TestMpvIpc)
#include "tst_mpvipc.moc"
