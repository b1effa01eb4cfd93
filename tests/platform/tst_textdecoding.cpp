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
};

QTEST_GUILESS_MAIN(TestTextDecoding)
#include "tst_textdecoding.moc"
