#include "platform/canvas.h"
#include "xpbuttonpaintertest.h"

#include <QPainter>
#include <QTest>

using namespace kivaro;
using namespace kivaro::xpbutton;
using namespace xpbuttontest;

namespace {

constexpr ColorRef Magenta = rgb(255, 0, 255); // the mask colour of these tests
constexpr ColorRef Red = rgb(255, 0, 0);
constexpr ColorRef Blue = rgb(0, 0, 255);
constexpr ColorRef White = rgb(255, 255, 255);
constexpr ColorRef Black = rgb(0, 0, 0);
constexpr ColorRef Face = grey(192); // the fixed grey scheme's face

// 4 x 4: the top two rows hold the interesting colours, the rest is mask colour.
//   red      key         white    128 grey
//   129,128  (10,20,30)  key      black
QImage sample()
{
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(toQRgb(Magenta));
    const ColorRef top[4] = { Red, Magenta, White, grey(128) };
    const ColorRef second[4] = { rgb(129, 128, 128), rgb(10, 20, 30), Magenta, Black };
    for (int x = 0; x < 4; ++x) {
        image.setPixel(x, 0, toQRgb(top[x]));
        image.setPixel(x, 1, toQRgb(second[x]));
    }
    return image;
}

// 4 x 4 mask colour with a 2 x 2 block in colour at (1,1)-(2,2).
XPButtonPicture block(ColorRef colour)
{
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(toQRgb(Magenta));
    for (int y = 1; y < 3; ++y) {
        for (int x = 1; x < 3; ++x)
            image.setPixel(x, y, toQRgb(colour));
    }
    return { image, false };
}

XPButtonBlit keyed()
{
    XPButtonBlit how;
    how.key = Magenta;
    how.maskColour = Magenta;
    return how;
}

QImage canvasImage(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(toQRgb(Face));
    return image;
}

void comparePixels(const QImage &image, const ExpectedPixels &pixels)
{
    for (const Expected &e : pixels) {
        QVERIFY2(hex(at(image, e.x, e.y)) == hex(e.colour),
                 qPrintable(QStringLiteral("(%1,%2) is %3, expected %4")
                                .arg(e.x)
                                .arg(e.y)
                                .arg(hex(at(image, e.x, e.y)), hex(e.colour))));
    }
}

enum Mode { Up, Hovered, Down, Disabled, DownHovered };

} // namespace

Q_DECLARE_METATYPE(kivaro::XPButtonBlit)

class TestXPButtonPainterPictures : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void blit_data();
    void blit();
    void blitClipsAndSizes_data();
    void blitClipsAndSizes();
    void icons_data();
    void icons();
    void drawPicture_data();
    void drawPicture();
    void captions_data();
    void captions();
    void centredPictureHasTheCaptionOnTop();
};

void TestXPButtonPainterPictures::blit_data()
{
    QTest::addColumn<XPButtonBlit>("how");
    // The two top rows of the sample, as they end up over the grey 192 canvas.
    QTest::addColumn<QList<ColorRef>>("expected");
    QTest::addColumn<ColorRef>("keyRows"); // the mask-coloured bottom rows

    XPButtonBlit how = keyed();
    QTest::newRow("copy, key left out")
        << how
        << QList<ColorRef> { Red, Face, White, grey(128), rgb(129, 128, 128), rgb(10, 20, 30), Face, Black }
        << Face;
    how.key.reset();
    QTest::newRow("no mask colour: key drawn too")
        << how << QList<ColorRef> { Red,     Magenta, White, grey(128), rgb(129, 128, 128), rgb(10, 20, 30),
                                    Magenta, Black }
        << Magenta;
    // g = round(round(0.3 R) + 0.59 G + 0.11 B): red round(76.5) = 76; white 76 + 150.45 + 28.05 =
    // 254.5 -> 254; 128: 38 + 75.52 + 14.08 = 127.6 -> 128; (129,128,128): 39 + 89.6 -> 129;
    // (10,20,30): 3 + 11.8 + 3.3 -> 18.
    how = keyed();
    how.greyscale = true;
    const QList<ColorRef> greys { grey(76), Face, grey(254), grey(128), grey(129), grey(18), Face, Black };
    QTest::newRow("greyscale") << how << greys << Face;
    how.blend = true;
    QTest::newRow("greyscale before blend") << how << greys << Face;
    // (2 source + 192) / 3, truncated.
    how.greyscale = false;
    QTest::newRow("blend")
        << how << QList<ColorRef> { rgb(234, 64, 64), Face, grey(234), grey(149), rgb(150, 149, 149),
                                    rgb(70, 77, 84),  Face, grey(64) }
        << Face;
    how = keyed();
    how.fill = rgb(30, 40, 50);
    how.greyscale = true;
    const ColorRef f = rgb(30, 40, 50);
    QTest::newRow("fill: a silhouette, before greyscale")
        << how << QList<ColorRef> { f, Face, f, f, f, f, Face, f } << Face;
    // Dark only: sums red 255, white 765, 384, 385, 60 and 0; above 384 is skipped.
    how.darkOnly = true;
    QTest::newRow("fill, dark only") << how << QList<ColorRef> { f, Face, Face, f, Face, f, Face, f } << Face;
    how = keyed();
    how.fill = Black;
    QTest::newRow("fill 0 paints black")
        << how << QList<ColorRef> { Black, Face, Black, Black, Black, Black, Face, Black } << Face;
}

void TestXPButtonPainterPictures::blit()
{
    QFETCH(XPButtonBlit, how);
    QFETCH(QList<ColorRef>, expected);
    QFETCH(ColorRef, keyRows);

    QImage image = canvasImage(6, 6);
    Canvas canvas(image);
    BlitPicture(canvas, 1, 1, 4, 4, { sample(), false }, how);
    for (int i = 0; i < 8; ++i)
        QCOMPARE(hex(canvas.pixel(1 + i % 4, 1 + i / 4)), hex(expected[i]));
    for (int x = 1; x < 5; ++x) {
        QCOMPARE(hex(canvas.pixel(x, 3)), hex(keyRows));
        QCOMPARE(hex(canvas.pixel(x, 4)), hex(keyRows));
    }
    for (int i = 0; i < 6; ++i) { // the frame around stays
        QCOMPARE(hex(canvas.pixel(i, 0)), hex(Face));
        QCOMPARE(hex(canvas.pixel(0, i)), hex(Face));
        QCOMPARE(hex(canvas.pixel(i, 5)), hex(Face));
        QCOMPARE(hex(canvas.pixel(5, i)), hex(Face));
    }
}

void TestXPButtonPainterPictures::blitClipsAndSizes_data()
{
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<ExpectedPixels>("pixels");

    // Without a key, so every source pixel shows.
    QTest::newRow("over the top-left corner")
        << QPoint(-2, -2) << QSize(4, 4)
        << ExpectedPixels { { 0, 0, Magenta }, { 1, 1, Magenta }, { 2, 2, Face }, { 2, 0, Face } };
    QTest::newRow("over the bottom-right corner")
        << QPoint(4, 4) << QSize(4, 4)
        << ExpectedPixels { { 4, 4, Red }, { 5, 4, Magenta }, { 5, 5, rgb(10, 20, 30) }, { 3, 3, Face } };
    QTest::newRow("zero width draws nothing")
        << QPoint(1, 1) << QSize(0, 4) << ExpectedPixels { { 1, 1, Face } };
    QTest::newRow("zero height draws nothing")
        << QPoint(1, 1) << QSize(4, 0) << ExpectedPixels { { 1, 1, Face } };
    QTest::newRow("negative: the picture's own size")
        << QPoint(1, 1) << QSize(-1, -1)
        << ExpectedPixels { { 1, 1, Red }, { 4, 4, Magenta }, { 5, 5, Face } };
    QTest::newRow("smaller than asked: nothing beyond it")
        << QPoint(0, 0) << QSize(6, 6)
        << ExpectedPixels { { 0, 0, Red }, { 3, 3, Magenta }, { 4, 4, Face }, { 5, 0, Face } };
    QTest::newRow("part of it") << QPoint(1, 1) << QSize(2, 1)
                                << ExpectedPixels {
                                       { 1, 1, Red }, { 2, 1, Magenta }, { 3, 1, Face }, { 1, 2, Face }
                                   };
}

void TestXPButtonPainterPictures::blitClipsAndSizes()
{
    QFETCH(QPoint, at);
    QFETCH(QSize, size);
    QFETCH(ExpectedPixels, pixels);

    QImage image = canvasImage(6, 6);
    Canvas canvas(image);
    XPButtonBlit how;
    how.maskColour = Magenta;
    BlitPicture(canvas, at.x(), at.y(), size.width(), size.height(), { sample(), false }, how);
    comparePixels(image, pixels);
}

void TestXPButtonPainterPictures::icons_data()
{
    QTest::addColumn<bool>("isIcon");
    QTest::addColumn<bool>("useMask");
    QTest::addColumn<ExpectedPixels>("pixels");

    // A 3 x 1 picture with alpha: opaque red, fully transparent green, and nothing else.
    QTest::newRow("icon: transparent takes the key, left out")
        << true << true << ExpectedPixels { { 1, 1, Red }, { 2, 1, Face }, { 3, 1, Face } };
    QTest::newRow("icon without mask colour: transparent drawn in it")
        << true << false << ExpectedPixels { { 1, 1, Red }, { 2, 1, Magenta }, { 3, 1, Magenta } };
    QTest::newRow("bitmap: read as it is")
        << false << true << ExpectedPixels { { 1, 1, Red }, { 2, 1, rgb(0, 255, 0) }, { 3, 1, Face } };
}

void TestXPButtonPainterPictures::icons()
{
    QFETCH(bool, isIcon);
    QFETCH(bool, useMask);
    QFETCH(ExpectedPixels, pixels);

    QImage icon(2, 1, QImage::Format_ARGB32);
    icon.setPixel(0, 0, qRgba(255, 0, 0, 255));
    icon.setPixel(1, 0, qRgba(0, 255, 0, 0));
    QImage image = canvasImage(6, 6);
    Canvas canvas(image);
    XPButtonBlit how = keyed();
    if (!useMask)
        how.key.reset();
    // Drawn 3 wide: an icon's canvas is filled with the mask colour, a bitmap ends at its edge.
    BlitPicture(canvas, 1, 1, 3, 1, { icon, isIcon }, how);
    comparePixels(image, pixels);
}

void TestXPButtonPainterPictures::drawPicture_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("effect");
    QTest::addColumn<bool>("greyscale");
    QTest::addColumn<bool>("normal");
    QTest::addColumn<bool>("over"); // a blue block as PictureOver
    QTest::addColumn<bool>("useMask");
    QTest::addColumn<ExpectedPixels>("pixels");

    // 20 x 10, no caption: the 4 x 4 picture is centred at (8,3); its red block covers (9,4)-(10,5).
    // Shadow 128, highlight 255; reliefs S(192, -40) = 152 and S(192, +40) = 232.
    QTest::newRow("up") << 10 << int(Up) << 0 << false << true << false << true
                        << ExpectedPixels { { 8, 3, Face }, { 9, 4, Red }, { 10, 5, Red }, { 11, 6, Face } };
    QTest::newRow("up, mask colour off")
        << 10 << int(Up) << 0 << false << true << false << false
        << ExpectedPixels { { 8, 3, Magenta }, { 9, 4, Red }, { 11, 6, Magenta } };
    QTest::newRow("up, greyscale at rest") << 10 << int(Up) << 0 << true << true << false << true
                                           << ExpectedPixels { { 9, 4, grey(76) }, { 8, 3, Face } };
    QTest::newRow("up, greyscale hovered: colour")
        << 10 << int(Hovered) << 0 << true << true << false << true << ExpectedPixels { { 9, 4, Red } };
    QTest::newRow("up, raised") << 10 << int(Up) << 1 << false << true << false << true
                                << ExpectedPixels { { 8, 3, grey(232) },  { 8, 4, grey(232) },
                                                    { 9, 4, Red },        { 10, 5, Red },
                                                    { 11, 5, grey(152) }, { 11, 6, grey(152) } };
    QTest::newRow("up, sunken") << 10 << int(Up) << 2 << false << true << false << true
                                << ExpectedPixels { { 8, 3, grey(152) },
                                                    { 9, 4, Red },
                                                    { 11, 6, grey(232) } };
    QTest::newRow("up, shadow: one dark copy only")
        << 10 << int(Up) << 3 << false << true << false << true
        << ExpectedPixels { { 8, 3, Face }, { 8, 4, Face }, { 9, 4, Red }, { 11, 6, grey(152) } };
    // Look 3's relief from faceLift 240: S(-40) = 200, S(+40) = 255.
    QTest::newRow("3 up, raised") << 3 << int(Up) << 1 << false << true << false << true
                                  << ExpectedPixels { { 8, 3, White }, { 9, 4, Red }, { 11, 6, grey(200) } };
    QTest::newRow("up, hovered: PictureOver") << 2 << int(Hovered) << 0 << false << true << true << true
                                              << ExpectedPixels { { 9, 4, Blue }, { 10, 5, Blue } };
    // Type 9 at rest: (2 x 255 + 192) / 3 = 234, 192 / 3 = 64.
    QTest::newRow("9 at rest: blended") << 9 << int(Up) << 0 << false << true << false << true
                                        << ExpectedPixels { { 9, 4, rgb(234, 64, 64) }, { 8, 3, Face } };
    // Hovered: a shadow silhouette at (+1,+1), the picture at (-1,-1), PictureOver ignored.
    QTest::newRow("9 hovered: raised over its silhouette")
        << 9 << int(Hovered) << 0 << false << true << true << true
        << ExpectedPixels { { 8, 3, Red },
                            { 9, 4, Red },
                            { 10, 4, rgb(173, 173, 209) },
                            { 10, 5, grey(128) },
                            { 11, 6, grey(128) } };
    // With relief: base is the pale accent (173,173,209): dark S(-40) at (0,0) offset, light S(+40)
    // at (-2,-2), below the silhouette and the picture.
    QTest::newRow("9 hovered, raised") << 9 << int(Hovered) << 1 << false << true << false << true
                                       << ExpectedPixels { { 7, 2, rgb(213, 213, 249) },
                                                           { 8, 3, Red },
                                                           { 9, 4, Red },
                                                           { 9, 5, rgb(133, 133, 169) },
                                                           { 10, 4, rgb(133, 133, 169) },
                                                           { 10, 5, grey(128) } };
    QTest::newRow("down: PictureOver moved in") << 2 << int(Down) << 0 << false << true << true << true
                                                << ExpectedPixels { { 9, 4, Face }, { 11, 6, Blue } };
    QTest::newRow("5 down: PictureOver stays") << 5 << int(Down) << 0 << false << true << true << true
                                               << ExpectedPixels { { 9, 4, Blue }, { 11, 6, grey(144) } };
    QTest::newRow("9 down: PictureNormal, unmixed") << 9 << int(Down) << 0 << false << true << true << true
                                                    << ExpectedPixels { { 9, 4, Red }, { 11, 6, Face } };
    QTest::newRow("down: moved in") << 2 << int(Down) << 0 << false << true << false << true
                                    << ExpectedPixels { { 9, 4, Face }, { 11, 6, Red } };
    QTest::newRow("5 down: stays") << 5 << int(Down) << 0 << false << true << false << true
                                   << ExpectedPixels { { 9, 4, Red }, { 11, 6, grey(144) } };
    QTest::newRow("disabled: engraved silhouette")
        << 2 << int(Disabled) << 0 << false << true << false << true
        << ExpectedPixels { { 9, 4, grey(128) }, { 10, 5, grey(128) }, { 11, 6, White }, { 8, 3, Face } };
    QTest::newRow("5 disabled: shadow silhouette")
        << 5 << int(Disabled) << 0 << false << true << false << true
        << ExpectedPixels { { 9, 4, grey(128) }, { 11, 6, Face } };
    QTest::newRow("9 disabled: lighter silhouette")
        << 9 << int(Disabled) << 0 << false << true << false << true
        << ExpectedPixels { { 9, 4, grey(141) }, { 11, 6, Face } };
    // Type 3 disabled: face P(240, -24) = (216,216,210); the picture in grey, moved in.
    QTest::newRow("3 disabled: grey, moved in")
        << 3 << int(Disabled) << 0 << false << true << false << true
        << ExpectedPixels { { 9, 4, rgb(216, 216, 210) }, { 11, 6, grey(76) } };
    for (int mode : { Up, Hovered, Down, Disabled }) {
        QTest::addRow("PictureOver without PictureNormal, mode %d", mode)
            << 10 << mode << 1 << false << false << true << true
            << ExpectedPixels { { 8, 3, Face }, { 9, 4, Face }, { 10, 5, Face }, { 11, 6, Face } };
    }
}

void TestXPButtonPainterPictures::drawPicture()
{
    QFETCH(int, type);
    QFETCH(int, mode);
    QFETCH(int, effect);
    QFETCH(bool, greyscale);
    QFETCH(bool, normal);
    QFETCH(bool, over);
    QFETCH(bool, useMask);
    QFETCH(ExpectedPixels, pixels);

    XPButtonLook look;
    look.ButtonType = type;
    look.ColorScheme = SchemeFixedGrey;
    look.Font = captionFont();
    look.MaskColor = Magenta;
    look.SpecialEffect = effect;
    look.UseGreyscale = greyscale;
    look.UseMaskColor = useMask;
    look.hovered = mode == Hovered;
    look.Enabled = mode != Disabled;
    if (normal)
        look.PictureNormal = block(Red);
    if (over)
        look.PictureOver = block(Blue);
    XPButtonLayout layout = layoutFor(look, 20, 10);
    if (!normal) { // measured from PictureNormal: nothing; placed as if it were there
        layout.picW = 4;
        layout.picH = 4;
        layout.picX = 8;
        layout.picY = 3;
    }
    QImage image = canvasImage(20, 10);
    Canvas canvas(image);
    paintXPButton(canvas, look, SetColors(look), layout, mode == Down ? StateDown : StateUp);
    comparePixels(image, pixels);
}

void TestXPButtonPainterPictures::captions_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("scheme");
    QTest::addColumn<int>("effect");
    // The copies of the caption in the order drawn: x and y are how far each lies from where the
    // caption rests.
    QTest::addColumn<ExpectedPixels>("copies");

    // Own colours: face 128, text red, hover text blue.
    QTest::newRow("at rest: text") << 8 << int(Up) << 2 << 0 << ExpectedPixels { { 0, 0, Red } };
    QTest::newRow("hovered: hover text") << 8 << int(Hovered) << 2 << 0 << ExpectedPixels { { 0, 0, Blue } };
    QTest::newRow("pressed: hover text, moved in")
        << 1 << int(Down) << 2 << 0 << ExpectedPixels { { 1, 1, Blue } };
    QTest::newRow("5 pressed: hover text where it rests, no relief")
        << 5 << int(Down) << 2 << 1 << ExpectedPixels { { 0, 0, Blue } };
    // Fixed grey: face 192, light 223, highlight 255, shadow 128, text black; faceLift 240.
    QTest::newRow("4 pressed: light") << 4 << int(Down) << 3 << 0 << ExpectedPixels { { 1, 1, grey(223) } };
    QTest::newRow("disabled: shadow over highlight")
        << 1 << int(Disabled) << 3 << 0 << ExpectedPixels { { 1, 1, White }, { 0, 0, grey(128) } };
    QTest::newRow("5 disabled: shadow")
        << 5 << int(Disabled) << 3 << 0 << ExpectedPixels { { 0, 0, grey(128) } };
    // P(240, -104): blue 240 - 24960 / 192 = 110.
    QTest::newRow("3 disabled: P(faceLift, -104)")
        << 3 << int(Disabled) << 3 << 0 << ExpectedPixels { { 0, 0, rgb(136, 136, 110) } };
    QTest::newRow("14 disabled: face over highlight")
        << 14 << int(Disabled) << 3 << 0 << ExpectedPixels { { 1, 1, White }, { 0, 0, Face } };
    QTest::newRow("14 pressed: highlight over S(shadow, -50)")
        << 14 << int(Down) << 3 << 0 << ExpectedPixels { { 1, 1, grey(78) }, { 0, 0, White } };
    // Relief from the face: S(192, -40) = 152, S(192, +40) = 232.
    QTest::newRow("raised") << 8 << int(Up) << 3 << 1
                            << ExpectedPixels { { 1, 1, grey(152) }, { -1, -1, grey(232) }, { 0, 0, Black } };
    QTest::newRow("sunken") << 8 << int(Up) << 3 << 2
                            << ExpectedPixels { { 1, 1, grey(232) }, { -1, -1, grey(152) }, { 0, 0, Black } };
    QTest::newRow("shadow: one dark copy")
        << 8 << int(Up) << 3 << 3 << ExpectedPixels { { 1, 1, grey(152) }, { 0, 0, Black } };
    QTest::newRow("4: as 3") << 8 << int(Up) << 3 << 4
                             << ExpectedPixels { { 1, 1, grey(152) }, { 0, 0, Black } };
    QTest::newRow("-1: none") << 8 << int(Up) << 3 << -1 << ExpectedPixels { { 0, 0, Black } };
    // Looks 3 and 14 from faceLift: S(240, -40) = 200, S(240, +40) = 255.
    for (int type : { 3, 14 }) {
        QTest::addRow("%d raised: from faceLift", type)
            << type << int(Up) << 3 << 1
            << ExpectedPixels { { 1, 1, grey(200) }, { -1, -1, White }, { 0, 0, Black } };
    }
    // Look 4 pressed from its sunken face S(128, -16) = 112: 72 and 152, around the pressed place.
    QTest::newRow("4 pressed raised: from the sunken face")
        << 4 << int(Down) << 3 << 1
        << ExpectedPixels { { 2, 2, grey(72) }, { 0, 0, grey(152) }, { 1, 1, grey(223) } };
    // Look 9 hovered from the pale accent (173,173,209); pressed from the face.
    QTest::newRow("9 hovered raised: from the pale accent")
        << 9 << int(Hovered) << 3 << 1
        << ExpectedPixels { { 1, 1, rgb(133, 133, 169) }, { -1, -1, rgb(213, 213, 249) }, { 0, 0, Black } };
    QTest::newRow("9 pressed raised: from the face")
        << 9 << int(DownHovered) << 3 << 1
        << ExpectedPixels { { 2, 2, grey(152) }, { 0, 0, grey(232) }, { 1, 1, Black } };
}

void TestXPButtonPainterPictures::captions()
{
    QFETCH(int, type);
    QFETCH(int, mode);
    QFETCH(int, scheme);
    QFETCH(int, effect);
    QFETCH(ExpectedPixels, copies);

    XPButtonLook look;
    look.ButtonType = type;
    look.ColorScheme = scheme;
    look.BackColor = look.BackOver = grey(128);
    look.ForeColor = Red;
    look.ForeOver = Blue;
    look.Font = captionFont();
    look.SpecialEffect = effect;
    look.hovered = mode == Hovered || mode == DownHovered;
    look.Enabled = mode != Disabled;
    const int state = mode == Down || mode == DownHovered ? StateDown : StateUp;
    // The look without a caption, and over it the copies where the caption's lie: all of it the
    // button must show.
    QImage expected = paint(look, 60, 30, state).image;
    look.Caption = QStringLiteral("Pause");
    const Painted painted = paint(look, 60, 30, state);
    Canvas canvas(expected);
    for (const Expected &copy : copies) {
        canvas.drawText(painted.layout.captionRect.translated(copy.x, copy.y), look.Caption,
                        Canvas::WordBreak | Canvas::CenterHorizontally, copy.colour, look.Font);
    }
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 60; ++x) {
            QVERIFY2(at(painted.image, x, y) == at(expected, x, y),
                     qPrintable(QStringLiteral("(%1,%2) is %3, expected %4")
                                    .arg(x)
                                    .arg(y)
                                    .arg(hex(at(painted.image, x, y)), hex(at(expected, x, y)))));
        }
    }
}

void TestXPButtonPainterPictures::centredPictureHasTheCaptionOnTop()
{
    // 60 x 24: "Pause" at (15,6)-(45,19), a 16 x 16 green picture centred at (22,4) over it.
    XPButtonLook look;
    look.ButtonType = LookToolbar;
    look.ColorScheme = SchemeFixedGrey;
    look.Font = captionFont();
    look.Caption = QStringLiteral("Pause");
    look.PicturePosition = PictureCentred;
    QImage green(16, 16, QImage::Format_RGB32);
    green.fill(qRgb(0, 160, 0));
    look.PictureNormal = { green, false };
    const Painted painted = paint(look, 60, 24, StateUp);
    QVERIFY(painted.layout.captionRect == (Rect { 15, 6, 45, 19 }));
    QCOMPARE(QPoint(painted.layout.picX, painted.layout.picY), QPoint(22, 4));
    int greenPixels = 0;
    int textOnPicture = 0;
    for (int y = 4; y < 20; ++y) {
        for (int x = 22; x < 38; ++x) {
            greenPixels += at(painted.image, x, y) == rgb(0, 160, 0) ? 1 : 0;
            textOnPicture += at(painted.image, x, y) == Black ? 1 : 0;
        }
    }
    QVERIFY(greenPixels > 0);
    QVERIFY(textOnPicture > 0);
    QCOMPARE(painted.layout.lastCaptionStyle, int(CaptionRest));

    // Beside the picture instead, the picture covers the caption's pixels where they meet.
    look.PicturePosition = PictureLeft;
    look.Caption = QStringLiteral(" ");
    const Painted blank = paint(look, 60, 24, StateUp);
    QCOMPARE(QPoint(blank.layout.picX, blank.layout.picY), QPoint(22, 4));
    QCOMPARE(hex(at(blank.image, 30, 12)), hex(rgb(0, 160, 0)));
}

QTEST_MAIN(TestXPButtonPainterPictures)
#include "tst_xpbuttonpainterpictures.moc"
