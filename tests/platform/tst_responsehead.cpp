// The head of an HTTP response, fed line by line as a connection gives it.

#include "platform/responsehead.h"

#include <QTest>

using namespace kivaro;

class TestResponseHead : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void head_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<int>("state"); // after the last complete line
        QTest::addColumn<QString>("block");
        QTest::addColumn<QString>("length"); // the Content-Length value

        using S = ResponseHead::State;
        QTest::newRow("plain") << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 12\r\n\r\nbody")
                               << int(S::Complete)
                               << QStringLiteral("HTTP/1.1 200 OK\r\nContent-Length: 12\r\n")
                               << QStringLiteral("12");
        QTest::newRow("bare LF and stray CR count as line ends")
            << QByteArray("HTTP/1.0 206 Partial\nContent-length:\t 7 \r\r\n\n") << int(S::Complete)
            << QStringLiteral("HTTP/1.0 206 Partial\r\nContent-length:\t 7 \r\n") << QStringLiteral("7");
        QTest::newRow("interim answers dropped")
            << QByteArray("HTTP/1.1 100 Continue\r\nX: 1\r\n\r\nHTTP/1.1 102 Processing\r\n\r\nHTTP/1.1 404 "
                          "Not Found\r\n\r\n")
            << int(S::Complete) << QStringLiteral("HTTP/1.1 404 Not Found\r\n") << QString();
        QTest::newRow("101 is final")
            << QByteArray("HTTP/1.1 101 Switching\r\nContent-Length: 1\r\n\r\n") << int(S::Complete)
            << QStringLiteral("HTTP/1.1 101 Switching\r\n") + QStringLiteral("Content-Length: 1\r\n")
            << QStringLiteral("1");
        QTest::newRow("the status line is no header")
            << QByteArray("Content-Length: 5\r\n\r\n") << int(S::Complete)
            << QStringLiteral("Content-Length: 5\r\n") << QString();
        QTest::newRow("first of two wins, name without blanks")
            << QByteArray("HTTP/1.1 200 OK\r\n Content-Length : 3\r\nContent-Length: 4\r\n\r\n")
            << int(S::Complete)
            << QStringLiteral("HTTP/1.1 200 OK\r\n Content-Length : 3\r\nContent-Length: 4\r\n")
            << QStringLiteral("3");
        QTest::newRow("empty head") << QByteArray("\r\n") << int(S::Complete) << QString() << QString();
        QTest::newRow("closed in the middle: the last line as it stands")
            << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 9\r\nX-Unfin") << int(S::Reading)
            << QStringLiteral("HTTP/1.1 200 OK\r\nContent-Length: 9\r\nX-Unfin") << QStringLiteral("9");
        QTest::newRow("closed before anything") << QByteArray() << int(S::Reading) << QString() << QString();
        // 64 KiB in all is allowed; one byte more is not, and nothing of it is kept.
        const QByteArray status = "HTTP/1.1 200 OK\r\n";
        const QByteArray filler = "X: " + QByteArray(64 * 1024 - status.size() - 3 - 2 - 2, 'a') + "\r\n";
        QTest::newRow("64 KiB exactly")
            << status + filler + "\r\n"
            << int(S::Complete) << QString::fromLatin1(status + filler) << QString();
        QTest::newRow("one byte past 64 KiB") << status + "X" + filler + "\r\n"
                                              << int(S::TooLong) << QString() << QString();
    }

    void head()
    {
        QFETCH(QByteArray, input);
        QFETCH(int, state);
        QFETCH(QString, block);
        QFETCH(QString, length);

        ResponseHead head;
        qsizetype at = 0;
        for (qsizetype lineFeed;
             head.state() == ResponseHead::State::Reading && (lineFeed = input.indexOf('\n', at)) >= 0;
             at = lineFeed + 1)
            head.addLine(input.mid(at, lineFeed + 1 - at));
        QCOMPARE(int(head.state()), state);
        if (head.state() == ResponseHead::State::Reading)
            head.finishUnterminated(input.mid(at));
        QCOMPARE(head.block(), block);
        QCOMPARE(head.value(QStringLiteral("content-length")), length);
    }

    void pendingBytesPastTheBound()
    {
        ResponseHead head;
        head.addLine("HTTP/1.1 200 OK\r\n"); // 17 bytes
        QVERIFY(!head.tooLongWith(64 * 1024 - 17));
        QVERIFY(head.tooLongWith(64 * 1024 - 16));
    }
};

QTEST_MAIN(TestResponseHead)
#include "tst_responsehead.moc"
