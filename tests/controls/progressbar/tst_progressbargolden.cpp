// Every look drawn at 0, 37 and 100 % and compared pixel for pixel with the pictures in golden/,
// so any change in drawing shows up. After an intended change, rewrite them with
//   KIVARO_UPDATE_GOLDEN=1 ctest -R tst_progressbargolden
// and look at the new pictures before committing them.

#include "controls/progressbar/progressbarstyle.h"
#include "controls/progressbar/usercontrol1.h"

#include <QDir>
#include <QTest>

using namespace kivaro;
using namespace kivaro::progressbar;

namespace {

QImage tile()
{
    QImage image(6, 6, QImage::Format_RGB32);
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 6; ++x)
            image.setPixel(x, y, (x / 3 + y / 3) % 2 ? qRgb(250, 170, 40) : qRgb(120, 60, 10));
    }
    return image;
}

QString firstDifference(const QImage &actual, const QImage &expected)
{
    if (actual.size() != expected.size())
        return QStringLiteral("size %1x%2, expected %3x%4")
            .arg(actual.width())
            .arg(actual.height())
            .arg(expected.width())
            .arg(expected.height());
    for (int y = 0; y < actual.height(); ++y) {
        for (int x = 0; x < actual.width(); ++x) {
            if (actual.pixel(x, y) != expected.pixel(x, y))
                return QStringLiteral("pixel %1,%2 is %3, expected %4")
                    .arg(x)
                    .arg(y)
                    .arg(actual.pixel(x, y) & 0xffffff, 6, 16, QLatin1Char('0'))
                    .arg(expected.pixel(x, y) & 0xffffff, 6, 16, QLatin1Char('0'));
        }
    }
    return {};
}

} // namespace

class TestProgressBarGolden : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void looks_data();
    void looks();
};

void TestProgressBarGolden::looks_data()
{
    QTest::addColumn<int>("scrolling");
    QTest::addColumn<int>("orientation");
    QTest::addColumn<int>("value");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QString>("name");

    for (int scrolling = 0; scrolling < LookCount; ++scrolling) {
        for (int value : { 0, 37, 100 }) {
            const QString name
                = QStringLiteral("look%1_%2.png").arg(scrolling).arg(value, 3, 10, QLatin1Char('0'));
            QTest::newRow(qPrintable(name)) << scrolling << 0 << value << QSize(200, 20) << name;
        }
    }
    for (int scrolling : { 0, 1, 2 }) {
        for (int value : { 0, 37, 100 }) {
            const QString name
                = QStringLiteral("look%1_vertical_%2.png").arg(scrolling).arg(value, 3, 10, QLatin1Char('0'));
            QTest::newRow(qPrintable(name)) << scrolling << 1 << value << QSize(24, 120) << name;
        }
    }
}

void TestProgressBarGolden::looks()
{
    QFETCH(int, scrolling);
    QFETCH(int, orientation);
    QFETCH(int, value);
    QFETCH(QSize, size);
    QFETCH(QString, name);

    UserControl1 control;
    control.resize(size);
    control.setHdc();
    control.setColor(0x00A85E33); // the main window's colour
    control.setBrushStyle(DefaultBrushStyleStored);
    control.setImage(tile());
    control.setShowText(orientation == Horizontal);
    control.setOrientation(orientation);
    control.setScrolling(scrolling);
    control.setValue(value);
    const QImage actual = control.picture().copy(QRect(QPoint(0, 0), size));

    const QString path = QStringLiteral(KIVARO_GOLDEN_DIR "/") + name;
    if (qEnvironmentVariableIntValue("KIVARO_UPDATE_GOLDEN") == 1) {
        QVERIFY2(actual.save(path, "PNG"), qPrintable(path));
        return;
    }
    const QImage expected(path);
    QVERIFY2(!expected.isNull(),
             qPrintable(QStringLiteral("missing %1; run with KIVARO_UPDATE_GOLDEN=1").arg(path)));
    const QString difference = firstDifference(actual, expected.convertToFormat(QImage::Format_RGB32));
    if (!difference.isEmpty()) {
        const QString saved = QDir::temp().filePath(QStringLiteral("kivaro-actual-") + name);
        actual.save(saved, "PNG");
        QFAIL(
            qPrintable(difference + QStringLiteral(" (drawn picture saved as ") + saved + QLatin1Char(')')));
    }
}

QTEST_MAIN(TestProgressBarGolden)
#include "tst_progressbargolden.moc"
