#include "kivaroassets.h"
#include "controls/xpbutton/xpbutton.h"
#include "platform/formfile.h"
#include "platform/propertybag.h"

#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>

using namespace kivaro;

namespace {

using Action = std::function<void(XPButton &)>;

constexpr ColorRef Red = rgb(255, 0, 0);
constexpr ColorRef MaskDefault = 192 + 256 * 192 + 65536 * 192;

const QStringList SavedKeys
    = QStringLiteral("BTYPE TX ENAB FONT COLTYPE FOCUSR BCOL BCOLO FCOL FCOLO MCOL MPTR "
                     "MICON PICN PICH UMCOL SOFT PICPOS NGREY FX HAND CHECK VALUE")
          .split(u' ');

QImage picture16()
{
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(qRgb(0, 128, 0));
    return image;
}

// A form holding one button, shown off-screen.
struct Form
{
    Form()
        : widget(std::make_unique<QWidget>())
        , button(new XPButton(widget.get()))
    {
        widget->setAttribute(Qt::WA_DontShowOnScreen);
        widget->resize(200, 100);
        button->setObjectName(QStringLiteral("XPButton1"));
        button->setGeometry(10, 10, 80, 24);
    }
    std::unique_ptr<QWidget> widget;
    XPButton *button;
};

QStringList keysOf(const QSignalSpy &spy)
{
    QStringList keys;
    for (const QList<QVariant> &arguments : spy)
        keys.append(arguments.at(0).toString());
    return keys;
}

} // namespace

Q_DECLARE_METATYPE(Action)

class TestXPButton : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void settersNotifyAndRepaint_data();
    void settersNotifyAndRepaint();
    void designModeCopiesColours_data();
    void designModeCopiesColours();
    void etchedLookInDesignModeMakesTheFontBold_data();
    void etchedLookInDesignModeMakesTheFontBold();
    void handPointer();
    void handPointerUsesTheBuiltInHand();
    void savedPointerSurvivesLoading_data();
    void savedPointerSurvivesLoading();
    void transparentLookShowsWhatLiesBehind();
    void captureLetsNoEventsRun_data();
    void captureLetsNoEventsRun();
    void accessKey_data();
    void accessKey();
    void version();
    void emptyBagGivesTheDefaults();
    void hoverColoursDefaultToTheColoursJustRead();
    void lowerCaseKeysLoadTheSame();
    void writesAll23KeysInOrder();
    void roundTripThroughAFormFile();
    void firstPlacement();
    void disableRefreshThenRefresh();
    void checkedToggleIsDrawnDown();
    void ambientChanges_data();
    void ambientChanges();
    void windowShape_data();
    void windowShape();
};

void TestXPButton::settersNotifyAndRepaint_data()
{
    QTest::addColumn<Action>("prepare");
    QTest::addColumn<Action>("action");
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<int>("painted"); // the state painted; -1: nothing painted

    const Action none = [](XPButton &) {
    };
    const int last = XPButton::StateDown; // each row starts with the down state painted last
    const int up = XPButton::StateUp;
    const auto row
        = [&](const char *name, const Action &prepare, const Action &action, const char *key, int painted) {
              QTest::newRow(name) << prepare << action
                                  << (key ? QStringList { QLatin1String(key) } : QStringList()) << painted;
          };
    row(
        "BackColor", none, [](XPButton &b) { b.setBackColor(Red); }, "BCOL", last);
    row(
        "BackOver", none, [](XPButton &b) { b.setBackOver(Red); }, "BCOLO", last);
    row(
        "ForeColor", none, [](XPButton &b) { b.setForeColor(Red); }, "FCOL", last);
    row(
        "ForeOver", none, [](XPButton &b) { b.setForeOver(Red); }, "FCOLO", last);
    row(
        "MaskColor", none, [](XPButton &b) { b.setMaskColor(Red); }, "MCOL", last);
    row(
        "ButtonType", none, [](XPButton &b) { b.setButtonType(3); }, "BTYPE", up);
    row(
        "Caption", none, [](XPButton &b) { b.setCaption(QStringLiteral("Go")); }, "TX", up);
    row(
        "Enabled", none, [](XPButton &b) { b.setEnabled(false); }, "ENAB", up);
    row(
        "Font", none, [](XPButton &b) { b.setFont(QFont(QStringLiteral("Arial"), 12)); }, "FONT", up);
    row(
        "FontBold", none, [](XPButton &b) { b.setFontBold(true); }, nullptr, up);
    row(
        "FontItalic", none, [](XPButton &b) { b.setFontItalic(true); }, nullptr, up);
    row(
        "FontUnderline", none, [](XPButton &b) { b.setFontUnderline(true); }, nullptr, up);
    row(
        "FontSize", none, [](XPButton &b) { b.setFontSize(14); }, nullptr, up);
    row(
        "FontName", none, [](XPButton &b) { b.setFontName(QStringLiteral("Courier New")); }, nullptr, up);
    row(
        "ColorScheme", none, [](XPButton &b) { b.setColorScheme(3); }, "COLTYPE", up);
    row(
        "ShowFocusRect", none, [](XPButton &b) { b.setShowFocusRect(false); }, "FOCUSR", last);
    row(
        "MousePointer", none, [](XPButton &b) { b.setMousePointer(11); }, "MPTR", -1);
    row(
        "MouseIcon", none, [](XPButton &b) { b.setMouseIcon(picture16()); }, "MICON", -1);
    row(
        "HandPointer", none, [](XPButton &b) { b.setHandPointer(true); }, "HAND", -1);
    row(
        "SoftBevel", none, [](XPButton &b) { b.setSoftBevel(true); }, "SOFT", last);
    row(
        "PictureNormal", none, [](XPButton &b) { b.setPictureNormal(picture16()); }, "PICN", last);
    row(
        "PictureOver, not hovered", none, [](XPButton &b) { b.setPictureOver(picture16()); }, "PICO", -1);
    row(
        "PicturePosition", none, [](XPButton &b) { b.setPicturePosition(2); }, "PICPOS", last);
    const Action withPicture = [](XPButton &b) {
        b.setPictureNormal(picture16());
    };
    row(
        "UseMaskColor, no picture", none, [](XPButton &b) { b.setUseMaskColor(false); }, "UMCOL", -1);
    row(
        "UseMaskColor, picture", withPicture, [](XPButton &b) { b.setUseMaskColor(false); }, "UMCOL", last);
    row(
        "UseGreyscale, no picture", none, [](XPButton &b) { b.setUseGreyscale(true); }, "NGREY", -1);
    row(
        "UseGreyscale, picture", withPicture, [](XPButton &b) { b.setUseGreyscale(true); }, "NGREY", last);
    row(
        "SpecialEffect", none, [](XPButton &b) { b.setSpecialEffect(1); }, "FX", last);
    row(
        "CheckBoxBehaviour", none, [](XPButton &b) { b.setCheckBoxBehaviour(true); }, "CHECK", last);
    row(
        "Value, no toggle", none, [](XPButton &b) { b.setValue(true); }, "VALUE", -1);
    // A checked toggle paints state 0 as the down state.
    const Action toggle = [](XPButton &b) {
        b.setCheckBoxBehaviour(true);
    };
    row(
        "Value, toggle", toggle, [](XPButton &b) { b.setValue(true); }, "VALUE", XPButton::StateDown);
    row(
        "Value false, toggle", toggle, [](XPButton &b) { b.setValue(false); }, "VALUE", up);
}

void TestXPButton::settersNotifyAndRepaint()
{
    QFETCH(Action, prepare);
    QFETCH(Action, action);
    QFETCH(QStringList, keys);
    QFETCH(int, painted);
    Form form;
    form.button->InitProperties();
    form.widget->show();
    prepare(*form.button);
    form.button->paintAs(XPButton::StateDown, false, false);
    QCOMPARE(form.button->lastPaintedState(), XPButton::StateDown);
    const qint64 before = form.button->surface().cacheKey();
    QSignalSpy spy(form.button, &XPButton::propertyChanged);
    action(*form.button);
    QCOMPARE(keysOf(spy), keys);
    QCOMPARE(form.button->surface().cacheKey() != before, painted >= 0);
    if (painted >= 0)
        QCOMPARE(form.button->lastPaintedState(), painted);
}

void TestXPButton::designModeCopiesColours_data()
{
    QTest::addColumn<bool>("runMode");
    QTest::addColumn<bool>("copied");
    QTest::newRow("design mode") << false << true;
    QTest::newRow("run mode") << true << false;
}

void TestXPButton::designModeCopiesColours()
{
    QFETCH(bool, runMode);
    QFETCH(bool, copied);
    XPButton button;
    button.InitProperties();
    button.setUserMode(runMode);
    const ColorRef overBefore = button.BackOver();
    const ColorRef foreOverBefore = button.ForeOver();
    button.setBackColor(Red);
    button.setForeColor(rgb(0, 0, 255));
    QCOMPARE(button.BackColor(), Red);
    QCOMPARE(button.BackOver(), copied ? Red : overBefore);
    QCOMPARE(button.ForeOver(), copied ? rgb(0, 0, 255) : foreOverBefore);
}

void TestXPButton::etchedLookInDesignModeMakesTheFontBold_data()
{
    QTest::addColumn<bool>("runMode");
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("bold");
    QTest::newRow("look 5, design mode") << false << 5 << true;
    QTest::newRow("look 5, run mode") << true << 5 << false;
    QTest::newRow("look 4, design mode") << false << 4 << false;
}

void TestXPButton::etchedLookInDesignModeMakesTheFontBold()
{
    QFETCH(bool, runMode);
    QFETCH(int, type);
    QFETCH(bool, bold);
    XPButton button;
    button.setUserMode(runMode);
    button.setButtonType(type);
    QCOMPARE(button.FontBold(), bold);
}

void TestXPButton::handPointer()
{
    XPButton button;
    button.setHandPointer(true);
    QCOMPARE(button.MousePointer(), XPButton::PointerCustom);
    // The built-in hand when the host has it, else Qt's own pointing hand.
    QVERIFY(button.cursor().shape() == Qt::BitmapCursor || button.cursor().shape() == Qt::PointingHandCursor);
    button.setHandPointer(false);
    QCOMPARE(button.MousePointer(), XPButton::PointerArrow);
    QCOMPARE(button.cursor().shape(), Qt::ArrowCursor);
    QVERIFY(button.MouseIcon().isNull());
    // The pointer code is kept in 16 bits.
    button.setMousePointer(65536 + 11);
    QCOMPARE(button.MousePointer(), qint16(11));
    QCOMPARE(button.cursor().shape(), Qt::WaitCursor);
}

void TestXPButton::handPointerUsesTheBuiltInHand()
{
    initAssets();
    XPButton button;
    button.setHandPointer(true);
    QCOMPARE(button.cursor().shape(), Qt::BitmapCursor);
    QCOMPARE(button.cursor().hotSpot(), PointingHandHotSpot);
    QCOMPARE(button.MouseIcon().size(), QImage(XPButton::HandCursorResource).size());
}

// What was saved of the pointer is what a load gives: reading HandPointer after MousePointer and
// MouseIcon must not undo them (save, load and save again keeps all three).
void TestXPButton::savedPointerSurvivesLoading_data()
{
    QTest::addColumn<Action>("set");
    QTest::addColumn<qint16>("pointer");
    QTest::addColumn<bool>("hand");
    QTest::addColumn<int>("shape");
    QTest::newRow("an hourglass") << Action([](XPButton &b) { b.setMousePointer(11); }) << qint16(11) << false
                                  << int(Qt::WaitCursor);
    QTest::newRow("a picture of one's own") << Action([](XPButton &b) {
        b.setMouseIcon(picture16());
        b.setMousePointer(XPButton::PointerCustom);
    }) << XPButton::PointerCustom << false << int(Qt::BitmapCursor);
    QTest::newRow("the hand") << Action([](XPButton &b) { b.setHandPointer(true); })
                              << XPButton::PointerCustom << true << int(Qt::BitmapCursor);
    QTest::newRow("a cross chosen after the hand") << Action([](XPButton &b) {
        b.setHandPointer(true);
        b.setMousePointer(2);
    }) << qint16(2) << true << int(Qt::CrossCursor);
    QTest::newRow("nothing chosen") << Action([](XPButton &) {}) << qint16(0) << false
                                    << int(Qt::ArrowCursor);
}

void TestXPButton::savedPointerSurvivesLoading()
{
    QFETCH(Action, set);
    QFETCH(qint16, pointer);
    QFETCH(bool, hand);
    QFETCH(int, shape);
    initAssets();
    XPButton source;
    set(source);
    PropertyBag saved;
    source.WriteProperties(saved);

    XPButton loaded;
    loaded.ReadProperties(saved);
    QCOMPARE(loaded.MousePointer(), pointer);
    QCOMPARE(loaded.HandPointer(), hand);
    QCOMPARE(loaded.MouseIcon(), source.MouseIcon());
    QCOMPARE(int(loaded.cursor().shape()), shape);
    if (hand && pointer == XPButton::PointerCustom)
        QCOMPARE(loaded.cursor().hotSpot(), PointingHandHotSpot);
    PropertyBag again;
    loaded.WriteProperties(again);
    for (const QString &key : { QStringLiteral("MPTR"), QStringLiteral("MICON"), QStringLiteral("HAND") })
        QCOMPARE(again.read(key), saved.read(key));
}

void TestXPButton::transparentLookShowsWhatLiesBehind()
{
    Form form;
    QPalette palette = form.widget->palette();
    palette.setColor(QPalette::Window, QColor(0, 160, 0));
    form.widget->setPalette(palette);
    form.widget->setAutoFillBackground(true);
    // A red patch on the form, under the left half of the button.
    auto *patch = new QWidget(form.widget.get());
    patch->setGeometry(0, 0, 50, 100);
    patch->setAutoFillBackground(true);
    palette.setColor(QPalette::Window, QColor(200, 0, 0));
    patch->setPalette(palette);
    patch->lower();
    form.button->setCaption(QString());
    form.button->setButtonType(11);
    form.widget->show();
    // The button (at 10,10, 80 x 24) came back to its height after the capture.
    QCOMPARE(form.button->size(), QSize(80, 24));
    const QImage &surface = form.button->surface();
    QCOMPARE(surface.pixel(20, 12), qRgb(200, 0, 0));
    QCOMPARE(surface.pixel(60, 12), qRgb(0, 160, 0));
    // Refresh captures again: the patch has gone.
    patch->hide();
    form.button->Refresh();
    QCOMPARE(form.button->surface().pixel(20, 12), qRgb(0, 160, 0));
}

void TestXPButton::captureLetsNoEventsRun_data()
{
    QTest::addColumn<Action>("prepare");
    QTest::addColumn<Action>("capture");
    const Action transparent = [](XPButton &b) {
        b.setButtonType(11);
    };
    const Action showForm = [](XPButton &b) {
        b.parentWidget()->show();
    };
    // Qt walks the form's widgets while it shows them; a deletion or a click handled meanwhile
    // changes them under its feet.
    QTest::newRow("shown with its form") << transparent << showForm;
    QTest::newRow("Refresh") << Action([transparent, showForm](XPButton &b) {
        transparent(b);
        showForm(b);
    }) << Action([](XPButton &b) { b.Refresh(); });
    QTest::newRow("ButtonType set to 11") << showForm << transparent;
}

void TestXPButton::captureLetsNoEventsRun()
{
    QFETCH(Action, prepare);
    QFETCH(Action, capture);
    Form form;
    form.widget->setAutoFillBackground(true);
    form.button->setCaption(QString());
    prepare(*form.button);
    // The form takes a colour it has not been drawn in yet.
    QPalette palette = form.widget->palette();
    palette.setColor(QPalette::Window, QColor(0, 0, 160));
    form.widget->setPalette(palette);
    bool queuedCallRan = false;
    QMetaObject::invokeMethod(
        form.widget.get(), [&queuedCallRan] { queuedCallRan = true; }, Qt::QueuedConnection);
    QPointer<QObject> doomed = new QObject;
    doomed->deleteLater();

    capture(*form.button);
    QVERIFY(!queuedCallRan);
    QVERIFY(doomed);
    // The capture draws the form as it is now, without waiting for it to repaint.
    QCOMPARE(form.button->size(), QSize(80, 24));
    QCOMPARE(form.button->surface().pixel(40, 12), qRgb(0, 0, 160));
    // Both run at the next chance the events get.
    QTRY_VERIFY(queuedCallRan);
    QTRY_VERIFY(!doomed);
}

void TestXPButton::accessKey_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("key");
    QTest::newRow("Save &As") << QStringLiteral("Save &As") << QStringLiteral("a");
    QTest::newRow("A&&B") << QStringLiteral("A&&B") << QStringLiteral("");
    QTest::newRow("&&x&y") << QStringLiteral("&&x&y") << QStringLiteral("y");
    QTest::newRow("x&") << QStringLiteral("x&") << QStringLiteral("");
    QTest::newRow("single &") << QStringLiteral("&") << QStringLiteral("");
    QTest::newRow("upper case key") << QStringLiteral("&Play") << QStringLiteral("p");
    QTest::newRow("&&& then letter") << QStringLiteral("&&&z") << QStringLiteral("z");
    // Only two searches: a second literal ampersand ends them.
    QTest::newRow("a&&b&&c&d") << QStringLiteral("a&&b&&c&d") << QStringLiteral("");
    QTest::newRow("second & at the end") << QStringLiteral("&&x&") << QStringLiteral("");
    QTest::newRow("no ampersand") << QStringLiteral("Play") << QStringLiteral("");
}

void TestXPButton::accessKey()
{
    QFETCH(QString, caption);
    QFETCH(QString, key);
    XPButton button;
    button.setCaption(caption);
    QCOMPARE(button.AccessKey().isNull() ? QString() : QString(button.AccessKey()), key);
    // A caption read from a bag sets the key as well.
    PropertyBag bag;
    bag.write(QStringLiteral("TX"), caption);
    XPButton loaded;
    loaded.ReadProperties(bag);
    QCOMPARE(loaded.AccessKey(), button.AccessKey());
}

void TestXPButton::version()
{
    XPButton button;
    QCOMPARE(button.Version(), QStringLiteral("2.0.6"));
    QCOMPARE(button.property("Version").toString(), QStringLiteral("2.0.6"));
}

void TestXPButton::emptyBagGivesTheDefaults()
{
    XPButton button;
    button.setCaption(QStringLiteral("before"));
    button.setButtonType(9);
    button.ReadProperties(PropertyBag());
    QCOMPARE(button.ButtonType(), 2);
    QCOMPARE(button.Caption(), QString());
    QVERIFY(button.Enabled());
    QVERIFY(button.isEnabled());
    QCOMPARE(button.ColorScheme(), 1);
    QVERIFY(button.ShowFocusRect());
    // The system colours as RGB values, not as their codes.
    QCOMPARE(button.BackColor(), TranslateColor(SystemColorFlag | ButtonFace));
    QVERIFY(!(button.BackColor() & SystemColorFlag));
    QCOMPARE(button.BackOver(), button.BackColor());
    QCOMPARE(button.ForeColor(), TranslateColor(SystemColorFlag | ButtonText));
    QCOMPARE(button.ForeOver(), button.ForeColor());
    QCOMPARE(button.MaskColor(), MaskDefault);
    QCOMPARE(button.MousePointer(), qint16(0)); // the saved default; a HandPointer of false keeps it
    QVERIFY(button.PictureNormal().isNull());
    QVERIFY(button.UseMaskColor());
    QVERIFY(!button.SoftBevel());
    QCOMPARE(button.PicturePosition(), 0);
    QVERIFY(!button.UseGreyscale());
    QCOMPARE(button.SpecialEffect(), 0);
    QVERIFY(!button.HandPointer());
    QVERIFY(!button.CheckBoxBehaviour());
    QVERIFY(!button.Value());
}

void TestXPButton::hoverColoursDefaultToTheColoursJustRead()
{
    PropertyBag bag;
    bag.write(QStringLiteral("BCOL"), 255);
    bag.write(QStringLiteral("FCOL"), QVariant::fromValue<quint32>(SystemColorFlag | Highlight));
    bag.write(QStringLiteral("ENAB"), false);
    XPButton button;
    button.ReadProperties(bag);
    QCOMPARE(button.BackOver(), ColorRef(255));
    QCOMPARE(button.ForeOver(), SystemColorFlag | Highlight);
    QVERIFY(!button.isEnabled());
}

void TestXPButton::lowerCaseKeysLoadTheSame()
{
    XPButton source;
    source.setButtonType(14);
    source.setCaption(QStringLiteral("&Open"));
    source.setColorScheme(2);
    source.setBackColor(rgb(10, 20, 30));
    source.setBackOver(rgb(40, 50, 60));
    source.setPictureNormal(picture16());
    source.setPictureOver(picture16());
    source.setPicturePosition(3);
    source.setSpecialEffect(2);
    source.setCheckBoxBehaviour(true);
    source.setValue(true);
    source.setSoftBevel(true);
    PropertyBag upper;
    source.WriteProperties(upper);
    PropertyBag lower;
    for (const QString &key : upper.keys())
        lower.write(key.toLower(), upper.read(key));

    XPButton fromUpper;
    fromUpper.ReadProperties(upper);
    XPButton fromLower;
    fromLower.ReadProperties(lower);
    QCOMPARE(fromLower.ButtonType(), 14);
    QCOMPARE(fromLower.BackOver(), rgb(40, 50, 60));
    QCOMPARE(fromLower.PictureOver(), picture16());
    QCOMPARE(fromLower.AccessKey(), QChar(u'o'));
    PropertyBag a;
    fromUpper.WriteProperties(a);
    PropertyBag b;
    fromLower.WriteProperties(b);
    for (const QString &key : SavedKeys)
        QCOMPARE(b.read(key), a.read(key));
}

void TestXPButton::writesAll23KeysInOrder()
{
    XPButton button;
    PropertyBag bag;
    button.WriteProperties(bag);
    QCOMPARE(bag.keys(), SavedKeys);
    QStringList schema;
    for (const FormKey &key : XPButton::formSchema())
        schema.append(key.name);
    QCOMPARE(schema, SavedKeys);
    // PictureOver goes under "PICH", though its change is told as "PICO".
    button.setPictureOver(picture16());
    button.WriteProperties(bag);
    QCOMPARE(bag.read(QStringLiteral("PICH")).value<QImage>(), picture16());
}

void TestXPButton::roundTripThroughAFormFile()
{
    QTemporaryDir dir;
    XPButton source;
    source.setButtonType(3);
    source.setCaption(QStringLiteral("Save, &As"));
    source.setBackColor(SystemColorFlag | Highlight);
    source.setHandPointer(true);
    source.setPictureOver(picture16());
    source.setFont(QFont(QStringLiteral("Arial"), 9, QFont::Bold));
    PropertyBag bag;
    source.WriteProperties(bag);
    const QString path = dir.filePath(QStringLiteral("form.ini"));
    FormFile out(path);
    QVERIFY(out.writeInstance(QStringLiteral("Command1"), XPButton::formSchema(), bag));
    QVERIFY2(out.save(), qPrintable(out.errorString()));

    FormFile in(path);
    QVERIFY(in.load());
    PropertyBag read;
    QVERIFY2(in.readInstance(QStringLiteral("Command1"), XPButton::formSchema(), read),
             qPrintable(in.errorString()));
    XPButton loaded;
    loaded.ReadProperties(read);
    QCOMPARE(loaded.ButtonType(), 3);
    QCOMPARE(loaded.Caption(), QStringLiteral("Save, &As"));
    QCOMPARE(loaded.BackColor(), SystemColorFlag | Highlight);
    QVERIFY(loaded.HandPointer());
    QCOMPARE(loaded.MousePointer(), XPButton::PointerCustom);
    QCOMPARE(loaded.PictureOver().pixel(3, 3), qRgb(0, 128, 0));
    QVERIFY(loaded.FontBold());
    QCOMPARE(loaded.FontSize(), qint16(9));
}

void TestXPButton::firstPlacement()
{
    Form form;
    QFont formFont(QStringLiteral("Arial"));
    formFont.setPointSizeF(10.5);
    form.widget->setFont(formFont);
    form.button->setButtonType(7);
    form.button->setColorScheme(3);
    form.button->InitProperties();
    QCOMPARE(form.button->Caption(), QStringLiteral("XPButton1"));
    QCOMPARE(form.button->ButtonType(), 2);
    QCOMPARE(form.button->ColorScheme(), 1);
    QCOMPARE(form.button->Font().pointSizeF(), 10.5);
    QCOMPARE(form.button->FontSize(), qint16(10)); // 10.5 rounds to the even 10
    QCOMPARE(form.button->BackColor(), TranslateColor(SystemColorFlag | ButtonFace));
    QCOMPARE(form.button->BackOver(), TranslateColor(SystemColorFlag | ButtonFace));
    QCOMPARE(form.button->ForeColor(), TranslateColor(SystemColorFlag | ButtonText));
    QCOMPARE(form.button->ForeOver(), TranslateColor(SystemColorFlag | ButtonText));
    QCOMPARE(form.button->MaskColor(), MaskDefault);
}

void TestXPButton::disableRefreshThenRefresh()
{
    Form form;
    form.button->InitProperties();
    form.widget->show();
    form.button->paintAs(XPButton::StateDown, false, false);
    const qint64 before = form.button->surface().cacheKey();
    form.button->DisableRefresh();
    form.button->setCaption(QStringLiteral("Other"));
    form.button->setBackColor(Red);
    form.button->setColorScheme(2);
    form.button->resize(100, 30);
    QCOMPARE(form.button->surface().cacheKey(), before);
    form.button->Refresh();
    QVERIFY(form.button->surface().cacheKey() != before);
    QCOMPARE(form.button->surface().size(), QSize(100, 30));
    QCOMPARE(form.button->colors().face, Red);
    // Refresh repaints the state painted last.
    QCOMPARE(form.button->lastPaintedState(), XPButton::StateDown);
}

void TestXPButton::checkedToggleIsDrawnDown()
{
    Form form;
    form.widget->show();
    form.button->setCheckBoxBehaviour(true);
    form.button->setValue(true);
    form.button->paintAs(XPButton::StateUp, true, false);
    QCOMPARE(form.button->lastPaintedState(), XPButton::StateDown);
    form.button->setValue(false);
    form.button->paintAs(XPButton::StateUp, true, false);
    QCOMPARE(form.button->lastPaintedState(), XPButton::StateUp);
}

// The form's colours and its default button are the host's ambient properties: a change of them
// recomputes the colours and repaints, except with the button's own colours (ColorScheme 2).
void TestXPButton::ambientChanges_data()
{
    QTest::addColumn<int>("scheme");
    QTest::addColumn<bool>("madeDefault"); // else the form takes other colours
    QTest::addColumn<QRgb>("face"); // painted after the change; 0: no repaint
    QTest::newRow("the form's colours") << 4 << false << qRgb(1, 2, 3);
    QTest::newRow("system colours, made the default") << 1 << true << qRgb(236, 233, 216);
    QTest::newRow("own colours ignore the form's") << 2 << false << QRgb(0);
    QTest::newRow("own colours, made the default") << 2 << true << QRgb(0);
}

void TestXPButton::ambientChanges()
{
    QFETCH(int, scheme);
    QFETCH(bool, madeDefault);
    QFETCH(QRgb, face);
    Form form;
    QPalette palette = form.widget->palette();
    palette.setColor(QPalette::Window, QColor(10, 200, 30));
    palette.setColor(QPalette::WindowText, QColor(90, 0, 60));
    form.widget->setPalette(palette);
    form.widget->show();
    form.button->setColorScheme(scheme);
    if (scheme == 4) { // the parent's colours when the scheme is chosen
        QCOMPARE(form.button->colors().face, rgb(10, 200, 30));
        QCOMPARE(form.button->colors().text, rgb(90, 0, 60));
    }
    const qint64 before = form.button->surface().cacheKey();
    if (madeDefault) {
        form.button->setDisplayAsDefault(true);
    } else {
        palette.setColor(QPalette::Window, QColor(1, 2, 3));
        form.widget->setPalette(palette);
    }
    QCOMPARE(form.button->surface().cacheKey() != before, face != 0);
    if (face != 0)
        QCOMPARE(form.button->surface().pixel(40, 12), face);
}

void TestXPButton::windowShape_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QList<QPoint>>("outside");
    QTest::addColumn<QList<QPoint>>("inside");
    // A 20 x 10 button.
    QTest::newRow("look 4") << 4 << QList<QPoint> { { 1, 0 }, { 0, 1 }, { 18, 0 }, { 19, 8 }, { 1, 9 } }
                            << QList<QPoint> { { 2, 0 }, { 1, 1 }, { 18, 8 } };
    QTest::newRow("look 13") << 13 << QList<QPoint> { { 0, 0 }, { 19, 9 }, { 1, 1 } }
                             << QList<QPoint> { { 10, 5 }, { 10, 1 }, { 2, 5 } };
}

void TestXPButton::windowShape()
{
    QFETCH(int, type);
    QFETCH(QList<QPoint>, outside);
    QFETCH(QList<QPoint>, inside);
    Form form;
    form.widget->show();
    form.button->setButtonType(type);
    form.button->resize(20, 10);
    for (const QPoint &p : outside)
        QVERIFY2(!form.button->mask().contains(p), qPrintable(QStringLiteral("%1,%2").arg(p.x()).arg(p.y())));
    for (const QPoint &p : inside)
        QVERIFY2(form.button->mask().contains(p), qPrintable(QStringLiteral("%1,%2").arg(p.x()).arg(p.y())));
    // A pixel cut away belongs to the form: the mouse goes through to it.
    for (const QPoint &p : outside)
        QCOMPARE(form.widget->childAt(form.button->pos() + p), nullptr);
    for (const QPoint &p : inside)
        QCOMPARE(form.widget->childAt(form.button->pos() + p), form.button);
}

QTEST_MAIN(TestXPButton)
#include "tst_xpbutton.moc"
