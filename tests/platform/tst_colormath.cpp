#include "platform/colormath.h"

#include <QTest>

using namespace kivaro;

namespace {

// The main window's bar colour: red 51, green 94, blue 168.
constexpr ColorRef Blue = 0x00A85E33;

QString hex(ColorRef c)
{
    return QStringLiteral("%1").arg(c, 6, 16, QLatin1Char('0'));
}

} // namespace

class TestColorMath : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void lightenColor_data();
    void lightenColor();
};

void TestColorMath::lightenColor_data()
{
    QTest::addColumn<ColorRef>("colour");
    QTest::addColumn<int>("amount");
    QTest::addColumn<ColorRef>("expected");

    QTest::newRow("0 keeps") << Blue << 0 << Blue;
    QTest::newRow("255 is white") << Blue << 255 << rgb(255, 255, 255);
    QTest::newRow("150, fractions dropped") << Blue << 150 << rgb(171, 188, 219);
    // 176 + 79 x 128 / 255 = 176 + 39 (39.65 dropped) = 215
    QTest::newRow("navy by 176") << rgb(0, 0, 128) << 176 << rgb(176, 176, 215);
    // 128 + 127 x 197 / 255 = 128 + 98 = 226; green 128 + 127 x 106 / 255 = 128 + 52 = 180
    QTest::newRow("highlight by 128") << rgb(49, 106, 197) << 128 << rgb(152, 180, 226);
    QTest::newRow("system colour translated") << ColorRef(0x8000000D) << 0 << rgb(49, 106, 197);
    QTest::newRow("above 255 stays white") << Blue << 300 << rgb(255, 255, 255);
}

void TestColorMath::lightenColor()
{
    QFETCH(ColorRef, colour);
    QFETCH(int, amount);
    QFETCH(ColorRef, expected);
    QCOMPARE(hex(LightenColor(colour, amount)), hex(expected));
}

QTEST_MAIN(TestColorMath)
#include "tst_colormath.moc"
