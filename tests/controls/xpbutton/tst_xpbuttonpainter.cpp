#include "platform/canvas.h"
#include "xpbuttonpaintertest.h"

#include <QTest>

using namespace kivaro;
using namespace kivaro::xpbutton;
using namespace xpbuttontest;

namespace {

// The fixed system colours the system scheme draws with.
constexpr ColorRef SysFace = rgb(236, 233, 216);
constexpr ColorRef SysShadow = rgb(172, 168, 153);
constexpr ColorRef SysLight = rgb(241, 239, 226);
constexpr ColorRef SysDarkShadow = rgb(113, 111, 100);
constexpr ColorRef SysHighlight = rgb(49, 106, 197);
// LightenColor(SysHighlight, 176): 176 + 79 x (49, 106, 197) / 255 = 176 + (15, 32, 61).
constexpr ColorRef SysAccentPale = rgb(191, 208, 237);
constexpr ColorRef White = rgb(255, 255, 255);
constexpr ColorRef Black = rgb(0, 0, 0);

QStringList named(const XPButtonPalette &p)
{
    return { QStringLiteral("face ") + hex(p.face),
             QStringLiteral("light ") + hex(p.light),
             QStringLiteral("highlight ") + hex(p.highlight),
             QStringLiteral("shadow ") + hex(p.shadow),
             QStringLiteral("darkShadow ") + hex(p.darkShadow),
             QStringLiteral("text ") + hex(p.text),
             QStringLiteral("hoverText ") + hex(p.hoverText),
             QStringLiteral("hoverFace ") + hex(p.hoverFace),
             QStringLiteral("accent ") + hex(p.accent),
             QStringLiteral("accentPale ") + hex(p.accentPale),
             QStringLiteral("faceLift ") + hex(p.faceLift),
             QStringLiteral("maskKey ") + hex(p.maskKey) };
}

// A look of the fixed grey scheme without caption: face 192, light 223, highlight 255, shadow 128,
// dark shadow 0, accent (0,0,128), pale accent (173,173,209), faceLift 240.
XPButtonLook greyLook(int type)
{
    XPButtonLook look;
    look.ButtonType = type;
    look.ColorScheme = SchemeFixedGrey;
    look.Font = captionFont();
    return look;
}

enum Mode { Up, Hovered, Down, DownHovered, Disabled };

} // namespace

class TestXPButtonPainter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void shiftColor_data();
    void shiftColor();
    void setColors_data();
    void setColors();
    void gradient_data();
    void gradient();
    void gradientStepIsSinglePrecision();
    void focusRect_data();
    void focusRect();
    void layout_data();
    void layout();
    void region_data();
    void region();
    void looks_data();
    void looks();
    void hoveredOwnColoursAreBackOvers();
    void boldCaptionOnlyAsDefault();
    void noLookForOtherStates();
    void tinyButtonsStayInsideTheirImage();
};

void TestXPButtonPainter::shiftColor_data()
{
    QTest::addColumn<ColorRef>("colour");
    QTest::addColumn<int>("offset");
    QTest::addColumn<bool>("proportional");
    QTest::addColumn<bool>("soft");
    QTest::addColumn<ColorRef>("expected");

    QTest::newRow("uniform +20, red stops at 255")
        << rgb(250, 10, 100) << 20 << false << false << rgb(255, 30, 120);
    // blue 100 + 100 x 20 / 192 = 100 + 10
    QTest::newRow("proportional +20") << rgb(250, 10, 100) << 20 << true << false << rgb(255, 30, 110);
    QTest::newRow("soft halves +20 to +10") << rgb(250, 10, 100) << 20 << false << true << rgb(255, 20, 110);
    // soft: n = 10, blue 100 + 1000 / 192 = 100 + 5
    QTest::newRow("soft proportional") << rgb(250, 10, 100) << 20 << true << true << rgb(255, 20, 105);
    QTest::newRow("shadow of the face") << SysFace << -64 << false << false << rgb(172, 169, 152);
    QTest::newRow("soft shadow of the face") << SysFace << -64 << false << true << rgb(204, 201, 184);
    QTest::newRow("negative stops at 0") << rgb(10, 200, 30) << -50 << false << false << rgb(0, 150, 0);
    // blue 100 - 5000 / 192 = 100 - 26 (truncated toward zero)
    QTest::newRow("proportional negative") << rgb(100, 100, 100) << -50 << true << false << rgb(50, 50, 74);
    QTest::newRow("soft -7 is -3") << rgb(100, 100, 100) << -7 << false << true << rgb(97, 97, 97);
    QTest::newRow("soft +1 is no shift") << rgb(1, 2, 3) << 1 << false << true << rgb(1, 2, 3);
    QTest::newRow("system colour translated")
        << (SystemColorFlag | ButtonFace) << 10 << false << false << rgb(246, 243, 226);
}

void TestXPButtonPainter::shiftColor()
{
    QFETCH(ColorRef, colour);
    QFETCH(int, offset);
    QFETCH(bool, proportional);
    QFETCH(bool, soft);
    QFETCH(ColorRef, expected);
    QCOMPARE(hex(ShiftColor(colour, offset, proportional, soft)), hex(expected));
}

void TestXPButtonPainter::setColors_data()
{
    QTest::addColumn<int>("scheme");
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("soft");
    QTest::addColumn<ColorRef>("back");
    QTest::addColumn<ColorRef>("mask");
    // face, light, highlight, shadow, darkShadow, text, hoverText, hoverFace, accent, accentPale,
    // faceLift, maskKey
    QTest::addColumn<QList<ColorRef>>("expected");

    const ColorRef silver = rgb(192, 192, 192);
    const QList<ColorRef> system { SysFace, SysLight, White,        SysShadow,     SysDarkShadow, Black,
                                   Black,   SysFace,  SysHighlight, SysAccentPale, White,         silver };
    QTest::newRow("1: system colours") << 1 << 2 << false << rgb(1, 2, 3) << silver << system;
    QTest::newRow("0: system colours") << 0 << 2 << false << rgb(1, 2, 3) << silver << system;
    QTest::newRow("7: system colours") << 7 << 2 << false << rgb(1, 2, 3) << silver << system;
    QTest::newRow("1, soft: system colours unchanged, faceLift +24")
        << 1 << 2 << true << rgb(1, 2, 3) << silver
        << QList<ColorRef> { SysFace, SysLight, White,        SysShadow,     SysDarkShadow,      Black,
                             Black,   SysFace,  SysHighlight, SysAccentPale, rgb(255, 255, 240), silver };

    // Face (100,150,200): shadow -64, light +31, highlight +47, dark shadow -192, accent -128;
    // type 3 lifts proportionally: blue 200 + 200 x 48 / 192 = 250.
    QTest::newRow("2: own colours, type 3")
        << 2 << 3 << false << rgb(100, 150, 200) << rgb(255, 0, 255)
        << QList<ColorRef> { rgb(100, 150, 200), rgb(131, 181, 231), rgb(147, 197, 247), rgb(36, 86, 136),
                             rgb(0, 0, 8),       rgb(10, 20, 30),    rgb(40, 50, 60),    rgb(90, 80, 70),
                             rgb(0, 22, 72),     rgb(100, 150, 200), rgb(148, 198, 250), rgb(255, 0, 255) };
    // Soft: shadow -32, light +15, highlight +23, dark shadow -96, accent -64, lift +24 (blue
    // 200 + 4800 / 192 = 225).
    QTest::newRow("2: own colours, soft")
        << 2 << 3 << true << rgb(100, 150, 200) << rgb(255, 0, 255)
        << QList<ColorRef> { rgb(100, 150, 200), rgb(115, 165, 215), rgb(123, 173, 223), rgb(68, 118, 168),
                             rgb(4, 54, 104),    rgb(10, 20, 30),    rgb(40, 50, 60),    rgb(90, 80, 70),
                             rgb(36, 86, 136),   rgb(100, 150, 200), rgb(124, 174, 225), rgb(255, 0, 255) };
    QTest::newRow("2: a system colour as BackColor")
        << 2 << 2 << false << (SystemColorFlag | ButtonFace) << silver
        << QList<ColorRef> { SysFace,
                             rgb(255, 255, 247),
                             White,
                             rgb(172, 169, 152),
                             rgb(44, 41, 24),
                             rgb(10, 20, 30),
                             rgb(40, 50, 60),
                             rgb(90, 80, 70),
                             rgb(108, 105, 88),
                             SysFace,
                             White,
                             silver };
    const QList<ColorRef> fixed { silver, grey(223), White,          grey(128),          Black,     Black,
                                  Black,  silver,    rgb(0, 0, 128), rgb(173, 173, 209), grey(240), silver };
    QTest::newRow("3: fixed grey") << 3 << 2 << false << rgb(1, 2, 3) << silver << fixed;
    QTest::newRow("3: fixed grey, type 3 lifts the same")
        << 3 << 3 << false << rgb(1, 2, 3) << silver << fixed;
    QList<ColorRef> fixedSoft = fixed;
    fixedSoft[10] = grey(216);
    QTest::newRow("3: soft changes only faceLift") << 3 << 2 << true << rgb(1, 2, 3) << silver << fixedSoft;
    // Parent (50,60,70) with text (200,10,10); accent from the system highlight.
    QTest::newRow("4: parent's colours")
        << 4 << 2 << false << rgb(1, 2, 3) << (SystemColorFlag | Window)
        << QList<ColorRef> { rgb(50, 60, 70), rgb(81, 91, 101), rgb(97, 107, 117), rgb(0, 0, 6),
                             Black,           rgb(200, 10, 10), rgb(200, 10, 10),  rgb(50, 60, 70),
                             SysHighlight,    SysAccentPale,    rgb(98, 108, 118), White };
}

void TestXPButtonPainter::setColors()
{
    QFETCH(int, scheme);
    QFETCH(int, type);
    QFETCH(bool, soft);
    QFETCH(ColorRef, back);
    QFETCH(ColorRef, mask);
    QFETCH(QList<ColorRef>, expected);

    XPButtonLook look;
    look.ColorScheme = scheme;
    look.ButtonType = type;
    look.SoftBevel = soft;
    look.BackColor = back;
    look.BackOver = rgb(90, 80, 70);
    look.ForeColor = rgb(10, 20, 30);
    look.ForeOver = rgb(40, 50, 60);
    look.MaskColor = mask;
    look.parentBackColor = rgb(50, 60, 70);
    look.parentForeColor = rgb(200, 10, 10);
    XPButtonPalette want;
    want.face = expected[0];
    want.light = expected[1];
    want.highlight = expected[2];
    want.shadow = expected[3];
    want.darkShadow = expected[4];
    want.text = expected[5];
    want.hoverText = expected[6];
    want.hoverFace = expected[7];
    want.accent = expected[8];
    want.accentPale = expected[9];
    want.faceLift = expected[10];
    want.maskKey = expected[11];
    QCOMPARE(named(SetColors(look)), named(want));
}

void TestXPButtonPainter::gradient_data()
{
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("span");
    QTest::addColumn<bool>("proportional");
    QTest::addColumn<bool>("upward");
    QTest::addColumn<bool>("soft");
    QTest::addColumn<QList<ColorRef>>("rows"); // top to bottom, over a canvas filled with 200

    // One row: going down the only shifted row lies below the canvas; going up it is row 0.
    QTest::newRow("1 high, down") << 1 << 25 << true << false << false << QList<ColorRef> { grey(200) };
    // blue 200 - 200 x 25 / 192 = 200 - 26
    QTest::newRow("1 high, up") << 1 << 25 << true << true << false << QList<ColorRef> { rgb(175, 175, 174) };
    // Step 14.5: row 1 14.5 -> 14, row 2 29, row 3 43.5 -> 44 (halves to even).
    QTest::newRow("halves to even") << 4 << 58 << false << false << false
                                    << QList<ColorRef> { grey(200), grey(186), grey(171), grey(156) };
    QTest::newRow("upward") << 4 << 58 << false << true << false
                            << QList<ColorRef> { grey(142), grey(156), grey(171), grey(186) };
    // Halved after rounding: -14 -> -7, -29 -> -14, -44 -> -22.
    QTest::newRow("soft") << 4 << 58 << false << false << true
                          << QList<ColorRef> { grey(200), grey(193), grey(186), grey(178) };
}

void TestXPButtonPainter::gradient()
{
    QFETCH(int, height);
    QFETCH(int, span);
    QFETCH(bool, proportional);
    QFETCH(bool, upward);
    QFETCH(bool, soft);
    QFETCH(QList<ColorRef>, rows);

    QImage image(3, height, QImage::Format_RGB32);
    image.fill(toQRgb(grey(200)));
    Canvas canvas(image);
    paintGradient(canvas, grey(200), span, proportional, upward, soft);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < 3; ++x)
            QCOMPARE(hex(canvas.pixel(x, y)), hex(rows[y]));
    }
}

void TestXPButtonPainter::gradientStepIsSinglePrecision()
{
    // 25 / 30 in single precision is 0.83333331: row 9 gives 7.4999998 -> 7 and row 21
    // 17.4999996 -> 17, where the exact 7.5 and 17.5 would round to 8 and 18.
    QImage image(2, 30, QImage::Format_RGB32);
    image.fill(toQRgb(grey(200)));
    Canvas canvas(image);
    paintGradient(canvas, grey(200), 25, false, false, false);
    QCOMPARE(hex(canvas.pixel(1, 0)), hex(grey(200)));
    QCOMPARE(hex(canvas.pixel(1, 9)), hex(grey(193)));
    QCOMPARE(hex(canvas.pixel(1, 21)), hex(grey(183)));
    QCOMPARE(hex(canvas.pixel(1, 29)), hex(grey(176))); // 24.17 -> 24
}

void TestXPButtonPainter::focusRect_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<Rect>("expected");

    QTest::newRow("1: inset 4") << 1 << Rect { 4, 4, 71, 19 };
    QTest::newRow("6: inset 4") << 6 << Rect { 4, 4, 71, 19 };
    QTest::newRow("7: inset 3") << 7 << Rect { 3, 3, 72, 20 };
    QTest::newRow("13: inset 3") << 13 << Rect { 3, 3, 72, 20 };
    QTest::newRow("14: inset 5, moved 1") << 14 << Rect { 6, 6, 71, 19 };
    QTest::newRow("out of range: inset 4") << 15 << Rect { 4, 4, 71, 19 };
}

void TestXPButtonPainter::focusRect()
{
    QFETCH(int, type);
    QFETCH(Rect, expected);
    QVERIFY(xpButtonFocusRect(type, 75, 23) == expected);
}

void TestXPButtonPainter::layout_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("picture");
    QTest::addColumn<int>("height");
    QTest::addColumn<Rect>("caption_");
    QTest::addColumn<QPoint>("pictureAt");

    // "Pause" measures 30 x 13 in Arial 8.25 pt; the button is 100 wide, the picture 16 x 16.
    // Left: start (17,1,98,22), measured (17,1,47,14), moved by ((100-47)/2, (24-14)/2).
    QTest::newRow("0: left, the worked example")
        << 0 << QStringLiteral("Pause") << true << 24 << Rect { 43, 6, 73, 19 } << QPoint(23, 4);
    // Right: measured (1,1,31,14), dx (100-31-16-4)/2 = 24.
    QTest::newRow("1: right") << 1 << QStringLiteral("Pause") << true << 24 << Rect { 25, 6, 55, 19 }
                              << QPoint(59, 4);
    // Above, 40 high: start (1,17,98,38), measured (1,17,31,30), moved (34, 5).
    QTest::newRow("2: above") << 2 << QStringLiteral("Pause") << true << 40 << Rect { 35, 22, 65, 35 }
                              << QPoint(42, 4);
    // Below, 40 high: measured (1,1,31,14), dy (40-14-16-4)/2 = 3.
    QTest::newRow("3: below") << 3 << QStringLiteral("Pause") << true << 40 << Rect { 35, 4, 65, 17 }
                              << QPoint(42, 19);
    QTest::newRow("4: centred behind")
        << 4 << QStringLiteral("Pause") << true << 24 << Rect { 35, 6, 65, 19 } << QPoint(42, 4);
    QTest::newRow("2: blank caption centres the picture")
        << 2 << QStringLiteral("   ") << true << 40 << Rect {} << QPoint(42, 12);
    // Without a picture the picture position stays where it was (-7, -7 here).
    QTest::newRow("0: no picture") << 0 << QStringLiteral("Pause") << false << 24 << Rect { 35, 6, 65, 19 }
                                   << QPoint(-7, -7);
    // Out of range: measured where it was, from the previous caption rectangle (10,2,90,20), and
    // not moved.
    QTest::newRow("9: keeps the previous place")
        << 9 << QStringLiteral("Pause") << true << 24 << Rect { 10, 2, 40, 15 } << QPoint(-7, -7);
    QTest::newRow("-1: keeps the previous place")
        << -1 << QStringLiteral("Pause") << false << 24 << Rect { 10, 2, 40, 15 } << QPoint(-7, -7);
}

void TestXPButtonPainter::layout()
{
    QFETCH(int, position);
    QFETCH(QString, caption);
    QFETCH(bool, picture);
    QFETCH(int, height);
    QFETCH(Rect, caption_);
    QFETCH(QPoint, pictureAt);

    const Rect measured
        = Canvas::measureText({ 0, 0, 200, 50 }, QStringLiteral("Pause"), Canvas::WordBreak, captionFont());
    QCOMPARE(QSize(measured.width(), measured.height()), QSize(30, 13)); // what the rows assume

    XPButtonLook look;
    look.Font = captionFont();
    look.Caption = caption;
    look.PicturePosition = position;
    if (picture) {
        look.PictureNormal.image = QImage(16, 16, QImage::Format_RGB32);
        look.PictureNormal.image.fill(Qt::red);
    }
    XPButtonLayout layout;
    const QSize size = MeasurePicture(look.PictureNormal);
    layout.picW = size.width();
    layout.picH = size.height();
    layout.picX = -7;
    layout.picY = -7;
    layout.captionRect = { 10, 2, 90, 20 };
    layout.pressedCaptionRect = { 11, 3, 91, 21 };
    LayoutCaption(look, 100, height, layout);

    if (!caption.trimmed().isEmpty()) {
        QVERIFY(layout.captionRect == caption_);
        QVERIFY(layout.pressedCaptionRect == caption_.translated(1, 1));
        QCOMPARE(QSize(layout.textW, layout.textH), QSize(30, 13));
    }
    QCOMPARE(QPoint(layout.picX, layout.picY), pictureAt);

    // Laying out again changes nothing: the caption does not creep.
    const XPButtonLayout once = layout;
    LayoutCaption(look, 100, height, layout);
    QVERIFY(layout.captionRect == once.captionRect);
    QVERIFY(layout.pressedCaptionRect == once.pressedCaptionRect);
    QCOMPARE(QPoint(layout.picX, layout.picY), QPoint(once.picX, once.picY));
}

void TestXPButtonPainter::region_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QList<QPoint>>("removed");
    QTest::addColumn<QList<QPoint>>("kept");
    QTest::addColumn<int>("area"); // pixels in the shape; -1: not counted (the ellipse)

    // 20 x 10 buttons: corners at x 0/19, y 0/9.
    const QList<QPoint> corners { { 0, 0 }, { 19, 0 }, { 0, 9 }, { 19, 9 } };
    const QList<QPoint> beside { { 1, 0 }, { 0, 1 }, { 18, 0 }, { 19, 1 },
                                 { 1, 9 }, { 0, 8 }, { 18, 9 }, { 19, 8 } };
    QTest::newRow("1: four corners") << 1 << corners << beside << 196;
    QTest::newRow("14: four corners") << 14 << corners << beside << 196;
    QTest::newRow("3: three pixels a corner")
        << 3 << (corners + beside) << QList<QPoint> { { 1, 1 }, { 18, 8 } } << 188;
    QTest::newRow("4: three pixels a corner")
        << 4 << (corners + beside) << QList<QPoint> { { 2, 0 }, { 17, 9 } } << 188;
    QTest::newRow("5: top-right and bottom-left only")
        << 5 << QList<QPoint> { { 19, 0 }, { 0, 9 } } << QList<QPoint> { { 0, 0 }, { 19, 9 } } << 198;
    QTest::newRow("13: the ellipse") << 13 << (corners + QList<QPoint> { { 1, 1 }, { 18, 8 } })
                                     << QList<QPoint> { { 10, 5 }, { 10, 0 }, { 0, 5 }, { 19, 5 } } << -1;
    QTest::newRow("2: the whole rectangle") << 2 << QList<QPoint> {} << corners << 200;
    QTest::newRow("10: the whole rectangle") << 10 << QList<QPoint> {} << corners << 200;
}

void TestXPButtonPainter::region()
{
    QFETCH(int, type);
    QFETCH(QList<QPoint>, removed);
    QFETCH(QList<QPoint>, kept);
    QFETCH(int, area);

    const QRegion shape = BuildRegion(type, 20, 10);
    for (const QPoint &p : removed)
        QVERIFY2(!shape.contains(p), qPrintable(QStringLiteral("%1,%2 kept").arg(p.x()).arg(p.y())));
    for (const QPoint &p : kept)
        QVERIFY2(shape.contains(p), qPrintable(QStringLiteral("%1,%2 removed").arg(p.x()).arg(p.y())));
    QVERIFY(QRect(0, 0, 20, 10).contains(shape.boundingRect()));
    if (area >= 0) {
        int count = 0;
        for (const QRect &r : shape)
            count += r.width() * r.height();
        QCOMPARE(count, area);
    }
    QVERIFY(BuildRegion(type, 0, 10).isEmpty());
}

void TestXPButtonPainter::looks_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("focused");
    QTest::addColumn<bool>("isDefault");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<ExpectedPixels>("pixels");

    // Grey scheme, no caption, 20 x 10 (r = 19, b = 9): face 192, light 223, white highlight,
    // shadow 128, black dark shadow. The focus rectangle of most looks is (4,4,16,6); the focus
    // pattern inverts (4,4): 255 - 192 = 63.
    const QSize s(20, 10);
    const ColorRef F = grey(192);
    const ColorRef L = grey(223);
    const ColorRef W = White;
    const ColorRef Sh = grey(128);
    const ColorRef D = Black;
    const ColorRef inverted = grey(63);

    // Type 1: bevel inset 1 (outer corner pixels (1,1), (18,1), (1,8)), inner (2,2), (17,2), (2,7).
    QTest::newRow("1 up") << 1 << int(Up) << false << false << s
                          << ExpectedPixels { { 0, 0, D },  { 19, 9, D }, { 1, 1, W },   { 18, 1, Sh },
                                              { 1, 8, Sh }, { 2, 2, W },  { 17, 2, Sh }, { 2, 7, Sh },
                                              { 3, 3, F },  { 4, 4, F } };
    QTest::newRow("1 up focused") << 1 << int(Up) << true << false << s
                                  << ExpectedPixels { { 4, 4, inverted }, { 5, 4, F }, { 6, 4, inverted } };
    QTest::newRow("1 down") << 1 << int(Down) << true << false
                            << s << ExpectedPixels { { 0, 0, D }, { 1, 1, Sh },      { 18, 1, W },
                                                     { 1, 8, W }, { 2, 2, Sh },      { 17, 2, W },
                                                     { 2, 7, W }, { 4, 4, inverted } };
    QTest::newRow("1 disabled, never focused")
        << 1 << int(Disabled) << true << false << s
        << ExpectedPixels { { 0, 0, D }, { 1, 1, W }, { 18, 1, Sh }, { 2, 2, W }, { 4, 4, F } };

    // Type 2: inset 0 unless default, then inset 1 inside a dark frame.
    QTest::newRow("2 up") << 2 << int(Up) << false << false << s
                          << ExpectedPixels { { 0, 0, W }, { 19, 0, D },  { 0, 9, D },  { 19, 9, D },
                                              { 1, 1, L }, { 18, 1, Sh }, { 1, 8, Sh }, { 2, 2, F } };
    QTest::newRow("2 up focused, not default: no focus")
        << 2 << int(Up) << true << false << s << ExpectedPixels { { 0, 0, W }, { 4, 4, F } };
    QTest::newRow("2 up default, not focused")
        << 2 << int(Up) << false << true << s
        << ExpectedPixels { { 0, 0, D }, { 1, 1, W }, { 2, 2, L }, { 18, 1, D }, { 17, 2, Sh }, { 4, 4, F } };
    QTest::newRow("2 up default and focused")
        << 2 << int(Up) << true << true << s
        << ExpectedPixels { { 0, 0, D }, { 1, 1, W }, { 4, 4, inverted } };
    QTest::newRow("2 down") << 2 << int(Down) << true << false << s
                            << ExpectedPixels { { 0, 0, D },  { 19, 0, W }, { 0, 9, W }, { 1, 1, Sh },
                                                { 18, 1, L }, { 1, 8, L },  { 4, 4, F } };
    QTest::newRow("2 down default") << 2 << int(Down) << true << true << s
                                    << ExpectedPixels { { 0, 0, D },   { 19, 9, D }, { 1, 1, Sh },
                                                        { 18, 8, Sh }, { 2, 2, F },  { 4, 4, inverted } };
    QTest::newRow("2 disabled") << 2 << int(Disabled) << false << false << s
                                << ExpectedPixels { { 0, 0, W }, { 19, 0, D }, { 1, 1, L }, { 18, 1, Sh } };

    // Type 3 from faceLift 240 (blue scaled by 240 / 192). Gradient step 2.5: row 4 -10, row 5
    // -12.5 -> -12: blue 240 - 2400 / 192 = 228, 240 - 2880 / 192 = 225.
    const ColorRef navy = rgb(0, 60, 115);
    const ColorRef corner = rgb(16, 77, 123);
    QTest::newRow("3 up") << 3 << int(Up) << false << false << s
                          << ExpectedPixels { { 0, 0, navy },
                                              { 0, 5, navy },
                                              { 1, 1, corner },
                                              { 18, 8, corner },
                                              { 10, 4, rgb(230, 230, 228) },
                                              { 10, 5, rgb(228, 228, 225) },
                                              { 10, 8, rgb(192, 192, 180) }, // P(-48)
                                              { 18, 5, rgb(204, 204, 195) }, // P(-36)
                                              { 1, 5, rgb(235, 235, 234) }, // P(-5)
                                              { 10, 1, W } }; // P(+16) stops at 255
    QTest::newRow("3 up hovered") << 3 << int(Hovered) << false << false << s
                                  << ExpectedPixels { { 0, 0, navy },
                                                      { 1, 1, corner },
                                                      { 1, 5, rgb(255, 178, 49) },
                                                      { 10, 7, rgb(255, 178, 49) },
                                                      { 10, 8, rgb(231, 150, 0) },
                                                      { 10, 1, rgb(255, 243, 206) },
                                                      { 10, 2, rgb(255, 219, 140) },
                                                      { 2, 4, rgb(255, 203, 107) },
                                                      { 17, 4, rgb(255, 203, 107) } };
    QTest::newRow("3 up focused") << 3 << int(Up) << true << false << s
                                  << ExpectedPixels {
                                         { 1, 5, rgb(140, 174, 231) },  { 10, 8, rgb(107, 130, 239) },
                                         { 10, 1, rgb(206, 231, 255) }, { 10, 2, rgb(189, 215, 247) },
                                         { 2, 4, rgb(181, 209, 240) },  { 4, 4, rgb(230, 230, 228) }
                                     }; // no focus pattern
    QTest::newRow("3 up default") << 3 << int(Up) << false << true << s
                                  << ExpectedPixels { { 1, 5, rgb(140, 174, 231) } };
    // Base P(240, -32) = (208,208,200); upward, row 5 is i = 5: P(base, -12) = (196,196,188).
    QTest::newRow("3 down") << 3 << int(Down) << false << false << s
                            << ExpectedPixels { { 0, 0, navy },
                                                { 1, 1, corner },
                                                { 10, 5, rgb(196, 196, 188) },
                                                { 10, 4, rgb(193, 193, 185) },
                                                { 10, 8, rgb(224, 224, 216) }, // P(base, +16)
                                                { 17, 5, grey(240) }, // faceLift
                                                { 1, 5, rgb(176, 176, 167) }, // P(base, -32)
                                                { 2, 5, rgb(186, 186, 178) } }; // P(base, -22)
    QTest::newRow("3 disabled") << 3 << int(Disabled) << false << false << s
                                << ExpectedPixels { { 10, 5, rgb(216, 216, 210) },
                                                    { 0, 0, rgb(156, 156, 135) },
                                                    { 1, 1, rgb(168, 168, 150) },
                                                    { 18, 8, rgb(168, 168, 150) } };

    // Type 4: light face, dark rounded frame, white inner top-left, face and shadow inner
    // bottom-right.
    const ExpectedPixels rounded { { 0, 0, D },  { 18, 1, D },  { 1, 8, D },   { 18, 8, D }, { 10, 2, W },
                                   { 2, 4, W },  { 3, 3, W },   { 10, 5, L },  { 17, 3, F }, { 10, 7, F },
                                   { 16, 6, F }, { 18, 5, Sh }, { 10, 8, Sh }, { 17, 7, Sh } };
    QTest::newRow("4 up") << 4 << int(Up) << true << false << s << rounded;
    QTest::newRow("4 disabled") << 4 << int(Disabled) << false << false << s << rounded;
    // Down: deep S(128,-16) = 112, outer S(128,-64) = 64, inner S(128,-32) = 96.
    QTest::newRow("4 down") << 4 << int(Down) << true << false << s
                            << ExpectedPixels {
                                   { 0, 5, D },          { 1, 1, D },          { 10, 5, grey(112) },
                                   { 10, 1, grey(64) },  { 2, 2, grey(64) },   { 10, 2, grey(96) },
                                   { 3, 3, grey(96) },   { 17, 4, Sh },        { 10, 7, Sh },
                                   { 18, 5, grey(112) }, { 10, 8, grey(112) }, { 17, 8, grey(96) },
                                   { 18, 7, grey(96) },  { 2, 8, grey(96) },   { 18, 2, grey(96) }
                               };

    // Type 5: face S(192,+12) = 204, frame S(128,-26) = 102, corners S(128,+26) = 154. The lilac
    // box of the empty caption at (10,5) is Frame(8,4,4,2).
    const ColorRef lilac = rgb(153, 153, 204);
    QTest::newRow("5 up") << 5 << int(Up) << false << false
                          << s << ExpectedPixels { { 0, 0, grey(102) },  { 18, 0, grey(102) },
                                                   { 19, 0, F },         { 0, 9, F },
                                                   { 19, 9, W },         { 1, 1, W },
                                                   { 10, 1, W },         { 10, 8, grey(102) },
                                                   { 1, 8, grey(154) },  { 18, 1, grey(154) },
                                                   { 10, 5, grey(204) }, { 8, 4, grey(204) } };
    QTest::newRow("5 up focused") << 5 << int(Up) << true << false << s
                                  << ExpectedPixels { { 8, 4, lilac },
                                                      { 11, 4, lilac },
                                                      { 8, 5, lilac },
                                                      { 11, 5, lilac },
                                                      { 4, 4, grey(204) } };
    QTest::newRow("5 down") << 5 << int(Down) << true << false << s
                            << ExpectedPixels { { 10, 7, grey(144) }, { 0, 0, grey(102) },
                                                { 18, 5, grey(102) }, { 19, 5, W },
                                                { 10, 9, W },         { 19, 0, F },
                                                { 0, 9, F },          { 8, 4, lilac } };
    QTest::newRow("5 disabled") << 5 << int(Disabled) << true << false << s
                                << ExpectedPixels { { 0, 0, Sh }, { 19, 9, Sh }, { 10, 5, F }, { 8, 4, F } };

    // Type 6: the light edge is S(223,+8) = 231.
    QTest::newRow("6 up") << 6 << int(Up) << false << false << s
                          << ExpectedPixels { { 0, 0, grey(231) }, { 19, 0, Sh }, { 0, 9, Sh },
                                              { 1, 1, grey(231) }, { 18, 1, Sh }, { 2, 2, F } };
    QTest::newRow("6 down") << 6 << int(Down) << false << false << s
                            << ExpectedPixels { { 0, 0, Sh }, { 19, 0, grey(231) }, { 1, 1, Sh } };
    QTest::newRow("6 disabled") << 6 << int(Disabled) << false << false << s
                                << ExpectedPixels { { 0, 0, grey(231) }, { 19, 9, Sh } };

    QTest::newRow("7 up") << 7 << int(Up) << true << false << s
                          << ExpectedPixels {
                                 { 0, 0, W },   { 19, 0, Sh }, { 0, 9, Sh },
                                 { 19, 9, Sh }, { 1, 1, F },   { 3, 3, inverted }
                             }; // focus rectangle (3,3,17,7)
    QTest::newRow("7 down") << 7 << int(Down) << false << false << s
                            << ExpectedPixels { { 0, 0, Sh }, { 19, 9, W } };
    QTest::newRow("8 up") << 8 << int(Up) << false << false << s
                          << ExpectedPixels { { 0, 0, F }, { 19, 9, F } };
    QTest::newRow("8 up hovered") << 8 << int(Hovered) << false << false << s
                                  << ExpectedPixels { { 0, 0, W }, { 19, 9, Sh } };
    QTest::newRow("8 down") << 8 << int(Down) << false << false << s
                            << ExpectedPixels { { 0, 0, Sh }, { 19, 9, W } };

    // Type 9: accent (0,0,128), pale accent (173,173,209); pressed and hovered:
    // LightenColor(accent, 128) = (128, 128, 128 + 127 x 128 / 255) = (128,128,191).
    const ColorRef accent = rgb(0, 0, 128);
    QTest::newRow("9 up") << 9 << int(Up) << false << false << s
                          << ExpectedPixels { { 0, 0, F }, { 10, 5, F } };
    QTest::newRow("9 up hovered") << 9 << int(Hovered) << false << false << s
                                  << ExpectedPixels { { 0, 0, accent },
                                                      { 19, 9, accent },
                                                      { 10, 5, rgb(173, 173, 209) },
                                                      { 1, 1, rgb(173, 173, 209) } };
    QTest::newRow("9 down hovered") << 9 << int(DownHovered) << false << false << s
                                    << ExpectedPixels { { 0, 0, accent }, { 10, 5, rgb(128, 128, 191) } };
    QTest::newRow("9 down") << 9 << int(Down) << false << false << s
                            << ExpectedPixels { { 0, 0, accent }, { 10, 5, F } };

    QTest::newRow("10 up focused") << 10 << int(Up) << true << false << s
                                   << ExpectedPixels { { 0, 0, F }, { 3, 3, F }, { 19, 9, F } };

    // Type 11 over a captured background of 12 x 6: (10,5) blue, (11,5) green, beyond it the face.
    QTest::newRow("11 up") << 11 << int(Up) << true << false << s
                           << ExpectedPixels { { 0, 0, rgb(0, 0, 255) },
                                               { 10, 5, rgb(0, 0, 255) },
                                               { 11, 5, rgb(0, 128, 0) },
                                               { 12, 5, F },
                                               { 10, 7, F },
                                               { 3, 3, rgb(255, 255, 0) } }; // focus (3,3,17,7) inverts blue
    QTest::newRow("11 down") << 11 << int(Down) << false << false << s
                             << ExpectedPixels { { 0, 0, rgb(0, 0, 255) },
                                                 { 11, 0, rgb(0, 128, 0) },
                                                 { 19, 9, F } };
    QTest::newRow("11 disabled") << 11 << int(Disabled) << true << false << s
                                 << ExpectedPixels { { 3, 3, rgb(0, 0, 255) }, { 19, 9, F } };

    QTest::newRow("12 up") << 12 << int(Up) << false << false << s
                           << ExpectedPixels { { 0, 0, F }, { 1, 1, F } };
    QTest::newRow("12 up hovered") << 12 << int(Hovered) << false << false << s
                                   << ExpectedPixels {
                                          { 0, 0, W }, { 19, 0, D }, { 1, 1, L }, { 18, 1, Sh }
                                      };
    QTest::newRow("12 down") << 12 << int(Down) << false << false << s
                             << ExpectedPixels { { 0, 0, D }, { 19, 0, W }, { 1, 1, Sh }, { 18, 1, L } };

    // Type 13 on 32 x 20: a two-pixel outline at the sides of the middle row.
    const QSize oval(32, 20);
    QTest::newRow("13 up") << 13 << int(Up) << false << false << oval
                           << ExpectedPixels { { 0, 0, F }, { 0, 10, F }, { 16, 10, F } };
    QTest::newRow("13 up hovered") << 13 << int(Hovered) << false << false << oval
                                   << ExpectedPixels {
                                          { 0, 0, F }, { 0, 10, Sh }, { 1, 10, Sh }, { 2, 10, F }
                                      };
    QTest::newRow("13 down") << 13 << int(Down) << false << false << oval
                             << ExpectedPixels {
                                    { 0, 0, F }, { 0, 10, D }, { 1, 10, D }, { 16, 10, grey(160) }
                                };

    // Type 14: gradient from white, step 5.8: row 4 -23, row 5 -29, row 7 -40.6 -> -41. Frames
    // S(128,-50) = 78 and S(192,-9) = 183; white rows 2-3 and columns 2-3.
    const ExpectedPixels gradientLook { { 0, 0, grey(78) },   { 19, 9, grey(78) }, { 1, 1, grey(183) },
                                        { 10, 8, grey(183) }, { 10, 2, W },        { 10, 3, W },
                                        { 2, 5, W },          { 3, 7, W },         { 10, 4, grey(232) },
                                        { 10, 5, grey(226) }, { 10, 7, grey(214) } };
    QTest::newRow("14 up") << 14 << int(Up) << false << false << s << gradientLook;
    QTest::newRow("14 disabled") << 14 << int(Disabled) << false << false << s << gradientLook;
    QTest::newRow("14 up hovered") << 14 << int(Hovered) << false << false << s
                                   << ExpectedPixels { { 0, 0, grey(78) }, { 10, 5, L }, { 10, 2, W } };
    QTest::newRow("14 down") << 14 << int(Down) << false << false << s
                             << ExpectedPixels { { 10, 5, grey(183) }, { 1, 1, grey(183) },
                                                 { 0, 0, grey(80) },   { 19, 9, grey(80) },
                                                 { 10, 8, W },         { 18, 5, W },
                                                 { 18, 8, W } };

    QTest::newRow("15 draws the face only")
        << 15 << int(Down) << true << true << s << ExpectedPixels { { 0, 0, F }, { 4, 4, F }, { 19, 9, F } };
    QTest::newRow("0 draws the face only")
        << 0 << int(Hovered) << false << false << s << ExpectedPixels { { 0, 0, F }, { 19, 9, F } };
}

void TestXPButtonPainter::looks()
{
    QFETCH(int, type);
    QFETCH(int, mode);
    QFETCH(bool, focused);
    QFETCH(bool, isDefault);
    QFETCH(QSize, size);
    QFETCH(ExpectedPixels, pixels);

    XPButtonLook look = greyLook(type);
    look.background = QImage(12, 6, QImage::Format_RGB32);
    look.background.fill(qRgb(0, 0, 255));
    for (int y = 0; y < 6; ++y)
        look.background.setPixel(11, y, qRgb(0, 128, 0));
    look.hasFocus = focused;
    look.isDefault = isDefault;
    look.hovered = mode == Hovered || mode == DownHovered;
    look.Enabled = mode != Disabled;
    const int state = mode == Down || mode == DownHovered ? StateDown : StateUp;
    const Painted painted = paint(look, size.width(), size.height(), state);
    for (const Expected &e : pixels) {
        QVERIFY2(hex(at(painted.image, e.x, e.y)) == hex(e.colour),
                 qPrintable(QStringLiteral("(%1,%2) is %3, expected %4")
                                .arg(e.x)
                                .arg(e.y)
                                .arg(hex(at(painted.image, e.x, e.y)), hex(e.colour))));
    }
}

void TestXPButtonPainter::hoveredOwnColoursAreBackOvers()
{
    XPButtonLook look;
    look.ColorScheme = SchemeOwnColours;
    look.ButtonType = LookFramedBevel;
    look.BackColor = rgb(100, 150, 200);
    look.BackOver = rgb(200, 100, 50);
    look.Font = captionFont();
    const XPButtonPalette palette = SetColors(look);
    QImage image(20, 10, QImage::Format_RGB32);
    Canvas canvas(image);
    XPButtonLayout layout = layoutFor(look, 20, 10);

    look.hovered = true;
    paintXPButton(canvas, look, palette, layout, StateUp);
    QCOMPARE(hex(canvas.pixel(10, 5)), hex(rgb(200, 100, 50))); // the face in BackOver
    QCOMPARE(hex(canvas.pixel(18, 1)), hex(rgb(136, 36, 0))); // its shadow, S(BackOver, -64)

    // Type 9 pressed while hovered in scheme 2: S(accentPale, -32) of the hover face.
    look.ButtonType = LookAccent;
    paintXPButton(canvas, look, SetColors(look), layout, StateDown);
    QCOMPARE(hex(canvas.pixel(10, 5)), hex(rgb(168, 68, 18)));
    QCOMPARE(hex(canvas.pixel(0, 0)), hex(rgb(72, 0, 0))); // accent S(face, -128)
}

void TestXPButtonPainter::boldCaptionOnlyAsDefault()
{
    auto inkOf = [](const QImage &image) {
        int ink = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x)
                ink += fromQRgb(image.pixel(x, y)) == Black ? 1 : 0;
        }
        return ink;
    };
    XPButtonLook look = greyLook(LookGradient);
    look.Caption = QStringLiteral("Pause");
    const Painted plain = paint(look, 80, 24, StateUp);
    look.isDefault = true;
    const Painted bold = paint(look, 80, 24, StateUp);
    QVERIFY2(inkOf(bold.image) > inkOf(plain.image),
             qPrintable(QStringLiteral("%1 <= %2").arg(inkOf(bold.image)).arg(inkOf(plain.image))));
    // The layout keeps the regular font's rectangles.
    QVERIFY(bold.layout.captionRect == plain.layout.captionRect);
    QCOMPARE(bold.layout.lastCaptionStyle, int(CaptionRest));
    // The bold caption laid out in advance draws what laying it out during the paint draws.
    XPButtonLayout layout = layoutFor(look, 80, 24);
    QVERIFY(!layout.boldCaptionStencil.runs.empty());
    layout.boldCaptionStencil = {};
    QImage unprepared(80, 24, QImage::Format_RGB32);
    Canvas canvas(unprepared);
    paintXPButton(canvas, look, SetColors(look), layout, StateUp);
    QCOMPARE(unprepared, bold.image);
    // Other looks ignore the default for their caption.
    look.ButtonType = LookToolbar;
    look.isDefault = false;
    const int toolbarPlain = inkOf(paint(look, 80, 24, StateUp).image);
    look.isDefault = true;
    QCOMPARE(inkOf(paint(look, 80, 24, StateUp).image), toolbarPlain);
}

void TestXPButtonPainter::noLookForOtherStates()
{
    XPButtonLook look = greyLook(LookFramedBevel);
    look.Caption = QStringLiteral("Pause");
    look.PictureNormal.image = QImage(4, 4, QImage::Format_RGB32);
    look.PictureNormal.image.fill(Qt::red);
    const Painted painted = paint(look, 60, 20, 1);
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 60; ++x)
            QCOMPARE(hex(at(painted.image, x, y)), hex(grey(192)));
    }
}

void TestXPButtonPainter::tinyButtonsStayInsideTheirImage()
{
    // Every look, mode and effect on buttons down to 1 x 1, with a picture larger than the button:
    // nothing is written outside the image (the sanitizer build watches), and every pixel is
    // painted: none keeps the magenta the image held before.
    XPButtonLook look = greyLook(LookFramedBevel);
    look.Caption = QStringLiteral("&Pause it");
    look.PicturePosition = PictureCentred;
    look.SpecialEffect = EffectRaised;
    look.PictureNormal.image = QImage(16, 16, QImage::Format_RGB32);
    look.PictureNormal.image.fill(Qt::red);
    look.background = QImage(2, 2, QImage::Format_RGB32); // smaller than the button
    look.background.fill(Qt::blue);
    for (int type = 0; type <= 15; ++type) {
        for (int mode : { Up, Hovered, Down, Disabled }) {
            for (const QSize &size : { QSize(1, 1), QSize(2, 3), QSize(5, 2), QSize(3, 9), QSize(40, 12) }) {
                look.ButtonType = type;
                look.hovered = mode == Hovered;
                look.Enabled = mode != Disabled;
                look.hasFocus = look.isDefault = true;
                const Painted painted
                    = paint(look, size.width(), size.height(), mode == Down ? StateDown : StateUp);
                for (int y = 0; y < size.height(); ++y) {
                    for (int x = 0; x < size.width(); ++x)
                        QVERIFY(at(painted.image, x, y) != rgb(255, 0, 255));
                }
            }
        }
    }
}

QTEST_MAIN(TestXPButtonPainter)
#include "tst_xpbuttonpainter.moc"
