#include "platform/textdecoding.h"

#include <QTest>

class TestTextDecoding : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void decodeText_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("cutShort");
        QTest::addColumn<QString>("text");
        QTest::newRow("ascii") << QByteArray("Red Band") << false << QStringLiteral("Red Band");
        QTest::newRow("utf-8") << QByteArray("Caf\xc3\xa9") << false << QStringLiteral("Caf\u00e9");
        QTest::newRow("latin-1 when not utf-8")
            << QByteArray("Caf\xe9") << false << QStringLiteral("Caf\u00e9");
        QTest::newRow("empty") << QByteArray() << false << QString();
        // "é" is C3 A9: its first byte alone is no UTF-8, unless the text was cut there.
        QTest::newRow("ends inside a character")
            << QByteArray("Caf\xc3") << false << QStringLiteral("Caf\u00c3");
        QTest::newRow("cut inside a character") << QByteArray("Caf\xc3") << true << QStringLiteral("Caf");
        QTest::newRow("cut short, not utf-8")
            << QByteArray("Caf\xe9s") << true << QStringLiteral("Caf\u00e9s");
    }

    void decodeText()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, cutShort);
        QFETCH(QString, text);
        QCOMPARE(kivaro::decodeText(bytes, cutShort), text);
    }

    void oneLineText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("line");
        QTest::newRow("CR LF and tab") << QStringLiteral("a\r\nb\tc") << QStringLiteral("a  b c");
        QTest::newRow("escape sequence") << QStringLiteral("T\x1b[2J") << QStringLiteral("T [2J");
        QTest::newRow("NUL and DEL") << QString::fromLatin1("a\0b\x7f", 4) << QStringLiteral("a b ");
        QTest::newRow("C1: next line and CSI")
            << QStringLiteral("a\u0085b\u009b1m") << QStringLiteral("a b 1m");
        QTest::newRow("right-to-left override")
            << QStringLiteral("\u202eevil.exe\u202c") << QStringLiteral(" evil.exe ");
        QTest::newRow("isolates") << QStringLiteral("\u2066a\u2067b\u2068c\u2069")
                                  << QStringLiteral(" a b c ");
        QTest::newRow("line and paragraph separators")
            << QStringLiteral("a\u2028b\u2029c") << QStringLiteral("a b c");
        // Letters, marks and symbols of any script stay, the right-to-left mark among them.
        QTest::newRow("kept")
            << QStringLiteral(
                   "Sigur R\u00f3s \u05e9\u05dc\u05d5\u05dd\u200f \u263a \U0001F3B5 e\u0301, \"&\"")
            << QStringLiteral(
                   "Sigur R\u00f3s \u05e9\u05dc\u05d5\u05dd\u200f \u263a \U0001F3B5 e\u0301, \"&\"");
    }

    void oneLineText()
    {
        QFETCH(QString, text);
        QFETCH(QString, line);
        QCOMPARE(kivaro::oneLineText(text), line);
    }
};

QTEST_GUILESS_MAIN(TestTextDecoding)
#include "tst_textdecoding.moc"
