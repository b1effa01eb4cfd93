// The vendor's version file: its first field, and whether that names a release above this one.

#include "startup/versionfile.h"

#include <QTest>

using namespace kivaro;

class TestVersionFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void release_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("newer"); // 1 above release 3, 0 not above, -1 no number

        QTest::newRow("4") << QByteArray("4\r\n") << QStringLiteral("4") << 1;
        QTest::newRow("exactly 3 is no update") << QByteArray("3") << QStringLiteral("3") << 0;
        QTest::newRow("2") << QByteArray("2\r\n") << QStringLiteral("2") << 0;
        QTest::newRow("3.5 and more after a comma")
            << QByteArray("3.5,more\r\n") << QStringLiteral("3.5") << 1;
        QTest::newRow("only the first line") << QByteArray("2\n4") << QStringLiteral("2") << 0;
        QTest::newRow("blanks around, no rounding")
            << QByteArray(" \t3.000000000000000001 \r\n") << QStringLiteral("3.000000000000000001") << 1;
        QTest::newRow("3 with a point and zeros")
            << QByteArray("+003.000") << QStringLiteral("+003.000") << 0;
        QTest::newRow("10") << QByteArray("10") << QStringLiteral("10") << 1;
        QTest::newRow("point five") << QByteArray(".5") << QStringLiteral(".5") << 0;
        QTest::newRow("negative") << QByteArray("-7") << QStringLiteral("-7") << 0;
        QTest::newRow("minus zero") << QByteArray("-0.0") << QStringLiteral("-0.0") << 0;
        QTest::newRow("letters") << QByteArray("v4") << QStringLiteral("v4") << -1;
        QTest::newRow("a blank inside") << QByteArray("3 4") << QStringLiteral("3 4") << -1;
        QTest::newRow("a point alone") << QByteArray(".") << QStringLiteral(".") << -1;
        QTest::newRow("a sign alone") << QByteArray("+") << QStringLiteral("+") << -1;
        QTest::newRow("empty file") << QByteArray() << QString() << -1;
        QTest::newRow("a digit beyond ASCII")
            << QByteArray("\xd9\xa4") << QStringLiteral("\u00d9\u00a4") << -1;
    }

    void release()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, field);
        QFETCH(int, newer);
        QCOMPARE(versionField(content), field);
        const std::optional<bool> above = isAboveRelease(field, 3);
        QCOMPARE(above ? int(*above) : -1, newer);
    }
};

QTEST_MAIN(TestVersionFile)
#include "tst_versionfile.moc"
