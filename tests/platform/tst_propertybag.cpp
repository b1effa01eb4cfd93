#include "platform/propertybag.h"

#include <QTest>

using namespace kivaro;

class TestPropertyBag : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsDefaultWhenMissing();
    void keyCase_data();
    void keyCase();
    void valueEqualToDefaultIsNotWritten();
    void rewritingKeepsPlaceAndSpelling();
};

void TestPropertyBag::readsDefaultWhenMissing()
{
    PropertyBag bag;
    QCOMPARE(bag.read(QStringLiteral("Max"), 100).toInt(), 100);
    QVERIFY(!bag.read(QStringLiteral("Max")).isValid());
    bag.write(QStringLiteral("Max"), 30);
    QCOMPARE(bag.read(QStringLiteral("Max"), 100).toInt(), 30);
}

void TestPropertyBag::keyCase_data()
{
    QTest::addColumn<Qt::CaseSensitivity>("sensitivity");
    QTest::addColumn<QString>("written");
    QTest::addColumn<QString>("read");
    QTest::addColumn<bool>("found");

    QTest::newRow("insensitive, lower read")
        << Qt::CaseInsensitive << QStringLiteral("BTYPE") << QStringLiteral("btype") << true;
    QTest::newRow("insensitive, mixed")
        << Qt::CaseInsensitive << QStringLiteral("showtext") << QStringLiteral("ShowText") << true;
    QTest::newRow("sensitive, other case")
        << Qt::CaseSensitive << QStringLiteral("Value") << QStringLiteral("VALUE") << false;
    QTest::newRow("sensitive, same case")
        << Qt::CaseSensitive << QStringLiteral("Value") << QStringLiteral("Value") << true;
}

void TestPropertyBag::keyCase()
{
    QFETCH(Qt::CaseSensitivity, sensitivity);
    QFETCH(QString, written);
    QFETCH(QString, read);
    QFETCH(bool, found);

    PropertyBag bag(sensitivity);
    bag.write(written, 7);
    QCOMPARE(bag.contains(read), found);
    QCOMPARE(bag.read(read, -1).toInt(), found ? 7 : -1);
}

void TestPropertyBag::valueEqualToDefaultIsNotWritten()
{
    PropertyBag bag;
    bag.write(QStringLiteral("Scrolling"), 0, 0);
    QVERIFY(!bag.contains(QStringLiteral("Scrolling")));
    bag.write(QStringLiteral("Scrolling"), 3, 0);
    QCOMPARE(bag.read(QStringLiteral("Scrolling")).toInt(), 3);
    // Saving the default again must not leave the old value behind to be read back later.
    bag.write(QStringLiteral("SCROLLING"), 0, 0);
    QVERIFY(!bag.contains(QStringLiteral("Scrolling")));
    QCOMPARE(bag.read(QStringLiteral("Scrolling"), 0).toInt(), 0);
}

void TestPropertyBag::rewritingKeepsPlaceAndSpelling()
{
    PropertyBag bag;
    bag.write(QStringLiteral("Font"), 1);
    bag.write(QStringLiteral("Color"), 2);
    bag.write(QStringLiteral("Max"), 3);
    bag.write(QStringLiteral("COLOR"), 20);
    QCOMPARE(bag.keys(),
             (QStringList { QStringLiteral("Font"), QStringLiteral("Color"), QStringLiteral("Max") }));
    QCOMPARE(bag.read(QStringLiteral("color")).toInt(), 20);
    QCOMPARE(bag.size(), 3);
}

QTEST_MAIN(TestPropertyBag)
#include "tst_propertybag.moc"
