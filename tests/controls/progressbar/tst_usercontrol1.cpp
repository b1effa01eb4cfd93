#include "controls/progressbar/progressbarstyle.h"
#include "controls/progressbar/usercontrol1.h"
#include "platform/formfile.h"
#include "platform/propertybag.h"

#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

#include <limits>
#include <memory>

using namespace kivaro;
using namespace kivaro::progressbar;

namespace {

constexpr ColorRef Blue = 0x00A85E33;
constexpr ColorRef HighlightRgb = rgb(49, 106, 197);

// The part of the picture the control shows (the picture may be larger than the control).
QImage shown(const UserControl1 &control)
{
    return control.picture().copy(0, 0, control.width(), control.height());
}

PropertyBag withKeyCase(const PropertyBag &bag, bool upper)
{
    PropertyBag result;
    for (const QString &key : bag.keys())
        result.write(upper ? key.toUpper() : key.toLower(), bag.read(key));
    return result;
}

QImage checker()
{
    QImage image(4, 4, QImage::Format_RGB32);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x)
            image.setPixel(x, y, (x + y) % 2 ? qRgb(200, 0, 0) : qRgb(0, 200, 0));
    }
    return image;
}

} // namespace

class TestUserControl1 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void newControlDefaults();
    void valueMappingForMax30_data();
    void valueMappingForMax30();
    void valueAboveMaxBecomesFull();
    void valueOutsideThe32BitProductStillMaps();
    void emptyRangeDoesNotDivideByZero();
    void minOtherThanZeroMapsTheRange();
    void settersRepaintOrNot_data();
    void settersRepaintOrNot();
    void systemColourIsKeptAsItsRgbValue();
    void showTextWithMarqueeShowsNothing();
    void pictureGrowsButNeverShrinks();
    void screenShowsThePicture();
    void pDrawCopiesPixelForPixel();
    void hWndDecidesThePaintedSize();
    void savesOnlyNonDefaultsInOrder();
    void savesEverythingInOrder();
    void roundTripThroughAFormFile();
    void roundTripWithAnyKeyCase_data();
    void roundTripWithAnyKeyCase();
    void loadingAnEmptyBagGivesStoredDefaults();
    void unreadableEntriesFallBackToDefaults();
};

void TestUserControl1::newControlDefaults()
{
    UserControl1 control;
    QCOMPARE(control.Value(), 0);
    QCOMPARE(control.Min(), 0);
    QCOMPARE(control.Max(), 100);
    QCOMPARE(control.Orientation(), 0);
    QCOMPARE(control.Scrolling(), 0);
    QCOMPARE(control.BrushStyle(), 0);
    QCOMPARE(control.Color(), HighlightRgb);
    QVERIFY(control.Image().isNull());
    QVERIFY(!control.ShowText());
    QCOMPARE(control.Font().family(), QStringLiteral("Arial"));
    QCOMPARE(control.Font().pointSizeF(), 8.25);
    QCOMPARE(control.hWnd(), &control);
    QCOMPARE(control.picture().size(), control.size());
    QCOMPARE(control.hdc(), static_cast<QPaintDevice *>(const_cast<QImage *>(&control.picture())));
    // Painted once already: the segmented look's frame and stub block.
    QCOMPARE(fromQRgb(control.picture().pixel(1, 1)), CornerInner);
    QCOMPARE(fromQRgb(control.picture().pixel(5, 10)), HighlightRgb);
    // The properties are reachable by their names.
    QCOMPARE(control.property("Max").toInt(), 100);
    QVERIFY(control.setProperty("Scrolling", 3));
    QCOMPARE(control.Scrolling(), 3);
}

void TestUserControl1::valueMappingForMax30_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("percentage");
    QTest::addColumn<int>("readBack");

    const int percentages[] = { 0,  3,  7,  10, 13, 17, 20, 23, 27, 30, 33, 37, 40, 43, 47,  50,
                                53, 57, 60, 63, 67, 70, 73, 77, 80, 83, 87, 90, 93, 97, 100, 100 };
    for (int v = 0; v <= 31; ++v)
        QTest::addRow("%d", v) << v << percentages[v] << (v <= 30 ? v : 30);
}

void TestUserControl1::valueMappingForMax30()
{
    QFETCH(int, value);
    QFETCH(int, percentage);
    QFETCH(int, readBack);

    UserControl1 control;
    control.setMax(30);
    control.setValue(value);
    QCOMPARE(control.percentage(), percentage);
    QCOMPARE(control.Value(), readBack);
}

void TestUserControl1::valueAboveMaxBecomesFull()
{
    UserControl1 control;
    control.setValue(250);
    // The repaint that the setter starts brings the percentage down to 100.
    QCOMPARE(control.percentage(), 100);
    QCOMPARE(control.Value(), 100);

    // Below the range nothing is clamped: the value comes back as set.
    control.setValue(-20);
    QCOMPARE(control.percentage(), -20);
    QCOMPARE(control.Value(), -20);
}

void TestUserControl1::valueOutsideThe32BitProductStillMaps()
{
    UserControl1 control;
    control.setMax(30'000'000);
    // 25,000,000 x 100 does not fit in 32 bits; the percentage must still come out right.
    control.setValue(25'000'000);
    QCOMPARE(control.percentage(), 83);
    control.setValue(std::numeric_limits<int>::max());
    QCOMPARE(control.percentage(), 100);
    control.setValue(std::numeric_limits<int>::min());
    QCOMPARE(control.percentage(), -7158); // -2,147,483,648 x 100 / 30,000,000 = -7,158.28
    QCOMPARE(control.Value(), -2'147'400'000);
}

void TestUserControl1::emptyRangeDoesNotDivideByZero()
{
    UserControl1 control;
    control.setMax(0);
    control.setValue(0);
    QCOMPARE(control.percentage(), 0);
    control.setValue(5);
    QCOMPARE(control.percentage(), 100);
    QCOMPARE(control.Value(), 0);
}

void TestUserControl1::minOtherThanZeroMapsTheRange()
{
    UserControl1 control;
    control.setMin(10);
    control.setMax(20);
    control.setValue(15);
    QCOMPARE(control.percentage(), 50);
    QCOMPARE(control.Value(), 15);
    control.setValue(10);
    QCOMPARE(control.percentage(), 0);
    control.setValue(20);
    QCOMPARE(control.percentage(), 100);
    QCOMPARE(control.Value(), 20);
}

void TestUserControl1::settersRepaintOrNot_data()
{
    QTest::addColumn<QString>("property");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<bool>("repaints");

    // Each starts from look 7 (hatched) at 60 %, so every property can change the pixels.
    QTest::newRow("Value") << QStringLiteral("Value") << QVariant(20) << true;
    QTest::newRow("Orientation (look 0)") << QStringLiteral("Orientation") << QVariant(1) << true;
    QTest::newRow("Scrolling") << QStringLiteral("Scrolling") << QVariant(3) << true;
    QTest::newRow("Color") << QStringLiteral("Color") << QVariant::fromValue<quint32>(Blue) << true;
    QTest::newRow("ShowText") << QStringLiteral("ShowText") << QVariant(true) << true;
    QTest::newRow("Image (look 8)") << QStringLiteral("Image") << QVariant(checker()) << true;
    QTest::newRow("Min") << QStringLiteral("Min") << QVariant(50) << false;
    QTest::newRow("Max") << QStringLiteral("Max") << QVariant(10) << false;
    QTest::newRow("BrushStyle") << QStringLiteral("BrushStyle") << QVariant(1) << false;
    QFont big { QStringLiteral("Arial") };
    big.setPointSize(14);
    QTest::newRow("Font") << QStringLiteral("Font") << QVariant(big) << false;
}

void TestUserControl1::settersRepaintOrNot()
{
    QFETCH(QString, property);
    QFETCH(QVariant, value);
    QFETCH(bool, repaints);

    UserControl1 control;
    control.setValue(60);
    control.setShowText(property == QLatin1String("Font"));
    control.setScrolling(property.startsWith(QLatin1String("Orientation")) ? 0
                             : property == QLatin1String("Image")          ? 8
                                                                           : 7);
    const QImage before = shown(control);
    QVERIFY(control.setProperty(property.toLatin1().constData(), value));
    QCOMPARE(shown(control) != before, repaints);
    // Whatever was set shows with the next repaint.
    control.DrawProgressBar();
    if (property != QLatin1String("Min") && property != QLatin1String("Max"))
        QVERIFY(shown(control) != before);
}

void TestUserControl1::systemColourIsKeptAsItsRgbValue()
{
    UserControl1 control;
    control.setColor(SystemColorFlag | ButtonFace);
    QCOMPARE(control.Color(), rgb(236, 233, 216));
    PropertyBag bag;
    control.WriteProperties(bag);
    QCOMPARE(bag.read(QStringLiteral("Color")).toUInt(), rgb(236, 233, 216));
}

void TestUserControl1::showTextWithMarqueeShowsNothing()
{
    UserControl1 control;
    control.setScrolling(LookMarquee);
    control.setValue(70);
    const QImage plain = shown(control);
    control.setShowText(true);
    QCOMPARE(shown(control), plain);
    // The same with a look that has text does change the picture.
    control.setScrolling(LookContinuous);
    const QImage withText = shown(control);
    control.setShowText(false);
    QVERIFY(shown(control) != withText);
}

void TestUserControl1::pictureGrowsButNeverShrinks()
{
    QWidget window;
    auto *control = new UserControl1(&window);
    window.resize(600, 200);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    control->resize(300, 30);
    QCOMPARE(control->picture().size(), QSize(300, 30));
    control->resize(100, 10);
    QCOMPARE(control->picture().size(), QSize(300, 30)); // kept, not shrunk
    control->setValue(50);
    QCOMPARE(fromQRgb(control->picture().pixel(99, 9)), White); // painted at 100 x 10: corner pixel
    QCOMPARE(fromQRgb(control->picture().pixel(98, 8)), CornerInner);
    control->resize(320, 20);
    QCOMPARE(control->picture().size(), QSize(320, 20)); // wider: made anew at the asked size
}

void TestUserControl1::screenShowsThePicture()
{
    QWidget window;
    auto *control = new UserControl1(&window);
    window.resize(300, 100);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    control->resize(180, 24);
    control->setScrolling(LookGlass);
    control->setValue(45);
    const QImage onScreen = control->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(onScreen, shown(*control));
}

void TestUserControl1::pDrawCopiesPixelForPixel()
{
    UserControl1 control;
    control.setScrolling(LookFlat);
    control.setValue(50);
    QImage target(260, 40, QImage::Format_RGB32);
    target.fill(Qt::red);
    {
        QPainter painter(&target);
        control.pDraw(painter, 0, 0, 0, -1, 10, 5); // below 1: the whole picture
    }
    QCOMPARE(target.copy(10, 5, 200, 20), control.picture());
    QCOMPARE(target.pixel(9, 5), qRgb(255, 0, 0));
    QCOMPARE(target.pixel(210, 5), qRgb(255, 0, 0));

    target.fill(Qt::red);
    {
        QPainter painter(&target);
        control.pDraw(painter, 50, 2, 30, 4, 0, 0);
    }
    QCOMPARE(target.copy(0, 0, 30, 4), control.picture().copy(50, 2, 30, 4));
    QCOMPARE(target.pixel(30, 0), qRgb(255, 0, 0));
    QCOMPARE(target.pixel(0, 4), qRgb(255, 0, 0));
}

void TestUserControl1::hWndDecidesThePaintedSize()
{
    QWidget wider;
    wider.resize(400, 20);
    UserControl1 control;
    control.setScrolling(LookFlat);
    control.setHWnd(&wider);
    control.setValue(40);
    // 40 % of 400 pixels: the bar reaches column 159, beyond what 200 pixels would give (79).
    QCOMPARE(fromQRgb(control.picture().pixel(150, 10)), LightenColor(HighlightRgb, FlatBarLightening));
    control.setHWnd(nullptr);
    QCOMPARE(control.hWnd(), &control);
    control.DrawProgressBar();
    QCOMPARE(fromQRgb(control.picture().pixel(150, 10)), White);
}

void TestUserControl1::savesOnlyNonDefaultsInOrder()
{
    UserControl1 control;
    PropertyBag bag;
    control.WriteProperties(bag);
    // A new control's BrushStyle (0) differs from the stored default (4), and its colour is held
    // as RGB, never as the default's system-colour code.
    QCOMPARE(bag.keys(),
             (QStringList { QStringLiteral("Font"), QStringLiteral("BrushStyle"), QStringLiteral("Color") }));
    QCOMPARE(bag.read(QStringLiteral("BrushStyle")).toInt(), 0);
}

void TestUserControl1::savesEverythingInOrder()
{
    UserControl1 control;
    control.setBrushStyle(2);
    control.setColor(Blue);
    control.setImage(checker());
    control.setMax(30);
    control.setMin(-5);
    control.setOrientation(1);
    control.setScrolling(5);
    control.setShowText(true);
    control.setValue(7);
    PropertyBag bag;
    control.WriteProperties(bag);
    QCOMPARE(bag.keys(),
             (QStringList { QStringLiteral("Font"), QStringLiteral("BrushStyle"), QStringLiteral("Color"),
                            QStringLiteral("Image"), QStringLiteral("Max"), QStringLiteral("Min"),
                            QStringLiteral("Orientation"), QStringLiteral("Scrolling"),
                            QStringLiteral("ShowText"), QStringLiteral("Value") }));
    QCOMPARE(bag.read(QStringLiteral("Value")).toInt(), control.percentage()); // the percentage is stored
}

void TestUserControl1::roundTripThroughAFormFile()
{
    QTemporaryDir dir;
    UserControl1 control;
    control.setColor(Blue);
    control.setImage(checker());
    control.setMax(30);
    control.setScrolling(5);
    control.setShowText(true);
    control.setValue(7);
    PropertyBag bag;
    control.WriteProperties(bag);
    const QString path = dir.filePath(QStringLiteral("form.ini"));
    FormFile out(path);
    QVERIFY(out.writeInstance(QStringLiteral("UserControl11"), UserControl1::formSchema(), bag));
    QVERIFY2(out.save(), qPrintable(out.errorString()));

    FormFile in(path);
    QVERIFY(in.load());
    PropertyBag read;
    QVERIFY(in.readInstance(QStringLiteral("UserControl11"), UserControl1::formSchema(), read));
    QCOMPARE(read.keys(), bag.keys());
    UserControl1 loaded;
    loaded.ReadProperties(read);
    QCOMPARE(loaded.Color(), Blue);
    QCOMPARE(loaded.Max(), 30);
    QCOMPARE(loaded.Scrolling(), 5);
    QVERIFY(loaded.ShowText());
    QCOMPARE(loaded.percentage(), 23); // 7 of 30, kept as the percentage
    QCOMPARE(loaded.Image(), checker());
    QCOMPARE(loaded.Font().pointSizeF(), 8.25);
}

void TestUserControl1::roundTripWithAnyKeyCase_data()
{
    QTest::addColumn<bool>("upper");
    QTest::newRow("lower-case keys") << false;
    QTest::newRow("upper-case keys") << true;
}

void TestUserControl1::roundTripWithAnyKeyCase()
{
    QFETCH(bool, upper);

    UserControl1 original;
    QFont font { QStringLiteral("Times New Roman") };
    font.setPointSize(10);
    font.setBold(true);
    original.setFont(font);
    original.setBrushStyle(5);
    original.setColor(Blue);
    original.setImage(checker());
    original.setMax(30);
    original.setOrientation(1);
    original.setScrolling(7);
    original.setShowText(true);
    original.setValue(7); // 23 %
    PropertyBag saved;
    original.WriteProperties(saved);

    UserControl1 loaded;
    loaded.ReadProperties(withKeyCase(saved, upper));
    QCOMPARE(loaded.Font(), font);
    QCOMPARE(loaded.BrushStyle(), 5);
    QCOMPARE(loaded.Color(), Blue);
    QCOMPARE(loaded.Image(), checker());
    QCOMPARE(loaded.Max(), 30);
    QCOMPARE(loaded.Min(), 0);
    QCOMPARE(loaded.Orientation(), 1);
    QCOMPARE(loaded.Scrolling(), 7);
    QVERIFY(loaded.ShowText());
    // The stored percentage comes back as the percentage, not scaled by Max once more.
    QCOMPARE(loaded.percentage(), 23);
    QCOMPARE(loaded.Value(), 7);
    QCOMPARE(loaded.picture(), original.picture());
}

void TestUserControl1::loadingAnEmptyBagGivesStoredDefaults()
{
    UserControl1 control;
    control.setValue(50);
    control.setScrolling(4);
    control.ReadProperties(PropertyBag());
    QCOMPARE(control.BrushStyle(), 4); // not the new control's 0
    QCOMPARE(control.Color(), HighlightRgb);
    QCOMPARE(control.Max(), 100);
    QCOMPARE(control.Scrolling(), 0);
    QCOMPARE(control.percentage(), 0);
    QVERIFY(!control.ShowText());
    QCOMPARE(control.Font().family(), QStringLiteral("Arial"));
}

void TestUserControl1::unreadableEntriesFallBackToDefaults()
{
    PropertyBag bag;
    bag.write(QStringLiteral("Scrolling"), QStringLiteral("fancy"));
    bag.write(QStringLiteral("Max"), QStringLiteral("99999999999"));
    bag.write(QStringLiteral("Color"), QStringLiteral("blue"));
    bag.write(QStringLiteral("Image"), 12);
    bag.write(QStringLiteral("Font"), QStringLiteral("Arial"));
    UserControl1 control;
    control.ReadProperties(bag);
    QCOMPARE(control.Scrolling(), 0);
    QCOMPARE(control.Max(), 100);
    QCOMPARE(control.Color(), HighlightRgb);
    QVERIFY(control.Image().isNull());
    QCOMPARE(control.Font().pointSizeF(), 8.25);
}

QTEST_MAIN(TestUserControl1)
#include "tst_usercontrol1.moc"
