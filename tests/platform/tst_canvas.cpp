#include "platform/canvas.h"
#include "platform/rounding.h"
#include "platform/systemcolors.h"
#include "testhelpers.h"

#include <QFontInfo>
#include <QTest>

#include <cmath>
#include <limits>
#include <vector>

using namespace kivaro;
using kivaro::test::hex;

namespace {

constexpr ColorRef Paper = rgb(255, 255, 255);
constexpr ColorRef Ink = rgb(200, 30, 60);
constexpr ColorRef Other = rgb(10, 120, 240);

QImage blank(int w, int h, ColorRef colour = Paper)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(toQRgb(colour));
    return image;
}

// Every pixel of the canvas in colour, as (x, y) points.
std::vector<QPoint> pixelsOf(const Canvas &canvas, ColorRef colour)
{
    std::vector<QPoint> points;
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            if (canvas.pixel(x, y) == colour)
                points.emplace_back(x, y);
        }
    }
    return points;
}

int countOf(const Canvas &canvas, ColorRef colour)
{
    return static_cast<int>(pixelsOf(canvas, colour).size());
}

QFont arial(double points)
{
    QFont font { QStringLiteral("Arial") };
    font.setPointSizeF(points);
    return font;
}

} // namespace

Q_DECLARE_METATYPE(kivaro::Rect)

class TestCanvas : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fillKeepsLeftTopAndLeavesRightBottom_data();
    void fillKeepsLeftTopAndLeavesRightBottom();
    void frameDrawsInsideEdgeOnly();
    void lineLeavesOutItsEndPoint_data();
    void lineLeavesOutItsEndPoint();
    void polylineDrawsCornersButNotLastPoint();
    void drawEdge_data();
    void drawEdge();
    void hatchFillIsAnchoredAtOrigin_data();
    void hatchFillIsAnchoredAtOrigin();
    void patternFillTilesFromOrigin();
    void drawImageCopiesAndClips_data();
    void drawImageCopiesAndClips();
    void ellipseStaysInsideItsRectangle();
    void ellipseRegionIsWhatEllipseDraws_data();
    void ellipseRegionIsWhatEllipseDraws();
    void stencilDrawsWhatDrawTextDraws_data();
    void stencilDrawsWhatDrawTextDraws();
    void focusRectInvertsEveryOtherPixelAndUndoes();
    void textIsDrawnInColourInsideItsRectangle();
    void accessKeysAndDoubleAmpersands_data();
    void accessKeysAndDoubleAmpersands();
    void wordBreakWrapsToWidth();
    void fontsResolveToLiberation_data();
    void fontsResolveToLiberation();
    void translateColor_data();
    void translateColor();
    void roundHalfEven_data();
    void roundHalfEven();
    void roundToIntSaturates();
};

void TestCanvas::fillKeepsLeftTopAndLeavesRightBottom_data()
{
    QTest::addColumn<Rect>("rect");
    QTest::addColumn<int>("expectedCount");
    QTest::addColumn<QPoint>("inside");
    QTest::addColumn<QPoint>("outside");

    QTest::newRow("plain") << Rect { 2, 3, 6, 5 } << 8 << QPoint(5, 4) << QPoint(6, 4);
    QTest::newRow("bottom excluded") << Rect { 2, 3, 6, 5 } << 8 << QPoint(2, 3) << QPoint(2, 5);
    QTest::newRow("inverted draws nothing") << Rect { 6, 3, 2, 5 } << 0 << QPoint(-1, -1) << QPoint(4, 4);
    QTest::newRow("empty draws nothing") << Rect { 2, 3, 2, 9 } << 0 << QPoint(-1, -1) << QPoint(2, 3);
    QTest::newRow("clipped at every side")
        << Rect { -5, -5, 100, 100 } << 100 << QPoint(9, 9) << QPoint(-1, -1);
    QTest::newRow("wholly outside") << Rect { 20, 20, 30, 30 } << 0 << QPoint(-1, -1) << QPoint(9, 9);
}

void TestCanvas::fillKeepsLeftTopAndLeavesRightBottom()
{
    QFETCH(Rect, rect);
    QFETCH(int, expectedCount);
    QFETCH(QPoint, inside);
    QFETCH(QPoint, outside);

    QImage image = blank(10, 10);
    Canvas canvas(image);
    canvas.fill(rect, Ink);
    QCOMPARE(countOf(canvas, Ink), expectedCount);
    if (inside.x() >= 0)
        QCOMPARE(hex(canvas.pixel(inside.x(), inside.y())), hex(Ink));
    if (outside.x() >= 0)
        QCOMPARE(hex(canvas.pixel(outside.x(), outside.y())), hex(Paper));
}

void TestCanvas::frameDrawsInsideEdgeOnly()
{
    QImage image = blank(10, 10);
    Canvas canvas(image);
    canvas.frame({ 1, 2, 7, 6 }, Ink);
    // 6 x 4 outline: 2 x 6 + 2 x 2 pixels.
    QCOMPARE(countOf(canvas, Ink), 16);
    QCOMPARE(hex(canvas.pixel(1, 2)), hex(Ink));
    QCOMPARE(hex(canvas.pixel(6, 5)), hex(Ink));
    QCOMPARE(hex(canvas.pixel(7, 5)), hex(Paper));
    QCOMPARE(hex(canvas.pixel(3, 4)), hex(Paper));
}

void TestCanvas::lineLeavesOutItsEndPoint_data()
{
    QTest::addColumn<QPoint>("from");
    QTest::addColumn<QPoint>("to");
    QTest::addColumn<int>("length");

    QTest::newRow("rightwards") << QPoint(1, 1) << QPoint(8, 1) << 7;
    QTest::newRow("leftwards") << QPoint(8, 1) << QPoint(1, 1) << 7;
    QTest::newRow("downwards") << QPoint(2, 0) << QPoint(2, 9) << 9;
    QTest::newRow("upwards") << QPoint(2, 9) << QPoint(2, 0) << 9;
    QTest::newRow("diagonal") << QPoint(0, 0) << QPoint(6, 6) << 6;
    QTest::newRow("steep back diagonal") << QPoint(1, 2) << QPoint(2, 0) << 2;
    QTest::newRow("shallow") << QPoint(0, 3) << QPoint(9, 6) << 9;
    QTest::newRow("single point") << QPoint(4, 4) << QPoint(4, 4) << 0;
}

void TestCanvas::lineLeavesOutItsEndPoint()
{
    QFETCH(QPoint, from);
    QFETCH(QPoint, to);
    QFETCH(int, length);

    QImage image = blank(10, 10);
    Canvas canvas(image);
    canvas.line(from.x(), from.y(), to.x(), to.y(), Ink);
    QCOMPARE(countOf(canvas, Ink), length);
    if (length > 0)
        QCOMPARE(hex(canvas.pixel(from.x(), from.y())), hex(Ink));
    QCOMPARE(hex(canvas.pixel(to.x(), to.y())), hex(Paper));
}

void TestCanvas::polylineDrawsCornersButNotLastPoint()
{
    QImage image = blank(10, 10);
    Canvas canvas(image);
    const QPoint points[] = { { 1, 8 }, { 1, 1 }, { 8, 1 }, { 8, 8 } };
    canvas.polyline(points, Ink);
    QCOMPARE(hex(canvas.pixel(1, 1)), hex(Ink));
    QCOMPARE(hex(canvas.pixel(8, 1)), hex(Ink));
    QCOMPARE(hex(canvas.pixel(8, 8)), hex(Paper));
    QCOMPARE(countOf(canvas, Ink), 21);
}

void TestCanvas::drawEdge_data()
{
    QTest::addColumn<Canvas::Edge>("edge");
    QTest::addColumn<ColorRef>("outerTopLeft");
    QTest::addColumn<ColorRef>("outerBottomRight");
    QTest::addColumn<ColorRef>("innerTopLeft");
    QTest::addColumn<ColorRef>("innerBottomRight");
    QTest::addColumn<bool>("hasInner");

    const ColorRef highlight = sysColor(ButtonHighlight);
    const ColorRef shadow = sysColor(ButtonShadow);
    const ColorRef light = sysColor(Light3D);
    const ColorRef dark = sysColor(DarkShadow3D);
    QTest::newRow("etched") << Canvas::Edge::Etched << shadow << highlight << highlight << shadow << true;
    QTest::newRow("bump") << Canvas::Edge::Bump << light << dark << dark << light << true;
    QTest::newRow("thin sunken") << Canvas::Edge::ThinSunken << shadow << highlight << Ink << Ink << false;
}

void TestCanvas::drawEdge()
{
    QFETCH(Canvas::Edge, edge);
    QFETCH(ColorRef, outerTopLeft);
    QFETCH(ColorRef, outerBottomRight);
    QFETCH(ColorRef, innerTopLeft);
    QFETCH(ColorRef, innerBottomRight);
    QFETCH(bool, hasInner);

    QImage image = blank(12, 10, Ink);
    Canvas canvas(image);
    canvas.drawEdge({ 1, 1, 11, 9 }, edge);
    QCOMPARE(hex(canvas.pixel(1, 1)), hex(outerTopLeft));
    QCOMPARE(hex(canvas.pixel(5, 1)), hex(outerTopLeft));
    QCOMPARE(hex(canvas.pixel(1, 5)), hex(outerTopLeft));
    QCOMPARE(hex(canvas.pixel(10, 8)), hex(outerBottomRight));
    // The corners where the two colours meet take the bottom-right one.
    QCOMPARE(hex(canvas.pixel(10, 1)), hex(outerBottomRight));
    QCOMPARE(hex(canvas.pixel(1, 8)), hex(outerBottomRight));
    const ColorRef untouched = Ink; // the image's colour before the edge
    QCOMPARE(hex(canvas.pixel(2, 2)), hex(innerTopLeft));
    QCOMPARE(hex(canvas.pixel(9, 7)), hex(innerBottomRight));
    QCOMPARE(hex(canvas.pixel(9, 2)), hex(innerBottomRight));
    QCOMPARE(hex(canvas.pixel(3, 3)), hex(untouched));
    QCOMPARE(countOf(canvas, untouched), 12 * 10 - (hasInner ? 32 + 24 : 32));
    // Nothing outside the rectangle or in its middle.
    QCOMPARE(hex(canvas.pixel(0, 0)), hex(untouched));
    QCOMPARE(hex(canvas.pixel(11, 9)), hex(untouched));
    QCOMPARE(hex(canvas.pixel(5, 5)), hex(untouched));
}

void TestCanvas::hatchFillIsAnchoredAtOrigin_data()
{
    QTest::addColumn<Canvas::Hatch>("pattern");
    QTest::addColumn<QList<QPoint>>("forePixels"); // within one 8 x 8 cell at the origin

    QTest::newRow("horizontal") << Canvas::Hatch::Horizontal << QList<QPoint> { { 0, 3 }, { 7, 3 } };
    QTest::newRow("vertical") << Canvas::Hatch::Vertical << QList<QPoint> { { 4, 0 }, { 4, 7 } };
    QTest::newRow("forward diagonal")
        << Canvas::Hatch::ForwardDiagonal << QList<QPoint> { { 0, 0 }, { 7, 7 } };
    QTest::newRow("backward diagonal")
        << Canvas::Hatch::BackwardDiagonal << QList<QPoint> { { 7, 0 }, { 0, 7 } };
    QTest::newRow("cross") << Canvas::Hatch::Cross << QList<QPoint> { { 0, 3 }, { 4, 0 } };
    QTest::newRow("diagonal cross") << Canvas::Hatch::DiagonalCross << QList<QPoint> { { 0, 0 }, { 7, 0 } };
}

void TestCanvas::hatchFillIsAnchoredAtOrigin()
{
    QFETCH(Canvas::Hatch, pattern);
    QFETCH(QList<QPoint>, forePixels);

    QImage image = blank(24, 24);
    Canvas canvas(image);
    // Starting the fill off the 8-pixel grid must not shift the pattern.
    canvas.hatchFill({ 3, 5, 24, 24 }, pattern, Ink, Other);
    for (const QPoint &p : forePixels) {
        const QPoint cell = p + QPoint(8, 8);
        QCOMPARE(hex(canvas.pixel(cell.x(), cell.y())), hex(Ink));
    }
    // Each pattern covers one line (or two crossing lines) of the cell: 8 or 15/16 pixels.
    int fore = 0;
    for (int y = 8; y < 16; ++y) {
        for (int x = 8; x < 16; ++x)
            fore += canvas.pixel(x, y) == Ink ? 1 : 0;
    }
    QVERIFY2(fore >= 8 && fore <= 16, qPrintable(QString::number(fore)));
    QCOMPARE(countOf(canvas, Ink) + countOf(canvas, Other), 21 * 19);
    QCOMPARE(hex(canvas.pixel(2, 10)), hex(Paper));
}

void TestCanvas::patternFillTilesFromOrigin()
{
    QImage tile(3, 2, QImage::Format_RGB32);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x)
            tile.setPixel(x, y, qRgb(x * 50, y * 100, 7));
    }
    QImage image = blank(20, 10);
    Canvas canvas(image);
    canvas.patternFill({ 4, 1, 15, 9 }, tile);
    for (int y = 1; y < 9; ++y) {
        for (int x = 4; x < 15; ++x)
            QCOMPARE(hex(canvas.pixel(x, y)), hex(rgb((x % 3) * 50, (y % 2) * 100, 7)));
    }
    QCOMPARE(hex(canvas.pixel(15, 1)), hex(Paper));
    QCOMPARE(hex(canvas.pixel(4, 0)), hex(Paper));

    canvas.patternFill({ 0, 0, 20, 10 }, QImage());
    QCOMPARE(hex(canvas.pixel(0, 0)), hex(Paper));
}

void TestCanvas::drawImageCopiesAndClips_data()
{
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<QImage::Format>("format");

    QTest::newRow("inside") << QPoint(2, 1) << QImage::Format_RGB32;
    QTest::newRow("over the top-left corner") << QPoint(-2, -1) << QImage::Format_RGB32;
    QTest::newRow("over the bottom-right corner") << QPoint(7, 4) << QImage::Format_RGB32;
    QTest::newRow("transparent pixels come out opaque") << QPoint(1, 1) << QImage::Format_ARGB32;
}

void TestCanvas::drawImageCopiesAndClips()
{
    QFETCH(QPoint, at);
    QFETCH(QImage::Format, format);
    // 4 x 3 picture, pixel (x, y) = (40x, 80y, 5); in ARGB every pixel is fully transparent.
    QImage picture(4, 3, format);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 4; ++x)
            picture.setPixel(x, y, qRgba(40 * x, 80 * y, 5, format == QImage::Format_ARGB32 ? 0 : 255));
    }
    QImage image = blank(10, 6);
    Canvas canvas(image);
    canvas.drawImage(at.x(), at.y(), picture);
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 10; ++x) {
            const int px = x - at.x();
            const int py = y - at.y();
            const bool covered = px >= 0 && px < 4 && py >= 0 && py < 3;
            QCOMPARE(hex(canvas.pixel(x, y)), hex(covered ? rgb(40 * px, 80 * py, 5) : Paper));
            QCOMPARE(qAlpha(image.pixel(x, y)), 255);
        }
    }
}

void TestCanvas::ellipseStaysInsideItsRectangle()
{
    QImage image = blank(40, 24);
    Canvas canvas(image);
    canvas.ellipse({ 4, 2, 36, 22 }, Ink, Other);
    QCOMPARE(hex(canvas.pixel(20, 12)), hex(Other));
    QCOMPARE(hex(canvas.pixel(4, 2)), hex(Paper)); // corners stay outside the ellipse
    QCOMPARE(hex(canvas.pixel(35, 21)), hex(Paper));
    for (const QPoint &p : pixelsOf(canvas, Ink)) {
        QVERIFY2(p.x() >= 4 && p.x() < 36 && p.y() >= 2 && p.y() < 22,
                 qPrintable(QStringLiteral("%1,%2").arg(p.x()).arg(p.y())));
    }
    // The outline is two pixels thick at the sides.
    QCOMPARE(hex(canvas.pixel(4, 12)), hex(Ink));
    QCOMPARE(hex(canvas.pixel(5, 12)), hex(Ink));
    QCOMPARE(hex(canvas.pixel(6, 12)), hex(Other));
}

void TestCanvas::ellipseRegionIsWhatEllipseDraws_data()
{
    QTest::addColumn<Rect>("r");
    QTest::newRow("wide") << Rect { 4, 2, 36, 22 };
    QTest::newRow("odd sizes") << Rect { 1, 1, 24, 10 };
    QTest::newRow("over the edge") << Rect { -5, -3, 30, 12 };
    QTest::newRow("thinner than the outline") << Rect { 2, 2, 5, 40 };
}

void TestCanvas::ellipseRegionIsWhatEllipseDraws()
{
    QFETCH(Rect, r);
    QImage image = blank(40, 30);
    Canvas canvas(image);
    canvas.ellipse(r, Ink, Other);
    const QRegion shape = Canvas::ellipseRegion(r);
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 40; ++x)
            QCOMPARE(canvas.pixel(x, y) != Paper, shape.contains(QPoint(x, y)));
    }
    // With an outside colour the same ellipse comes out, and the rest of r takes that colour.
    QImage withCorners = blank(40, 30);
    Canvas cornered(withCorners);
    cornered.ellipse(r, Ink, Other, Paper ^ 0x00ffffffu);
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 40; ++x) {
            const ColorRef expected = shape.contains(QPoint(x, y)) ? canvas.pixel(x, y)
                : r.contains(x, y)                                 ? (Paper ^ 0x00ffffffu)
                                                                   : Paper;
            QCOMPARE(hex(cornered.pixel(x, y)), hex(expected));
        }
    }
}

void TestCanvas::stencilDrawsWhatDrawTextDraws_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<Rect>("r");
    QTest::addColumn<int>("format");

    const int caption = Canvas::WordBreak | Canvas::CenterHorizontally;
    QTest::newRow("access key") << QStringLiteral("&Play") << Rect { 3, 2, 60, 18 } << caption;
    QTest::newRow("wrapped") << QStringLiteral("Save the list") << Rect { 5, 1, 40, 40 } << caption;
    QTest::newRow("clipped by the canvas")
        << QStringLiteral("Wide text here") << Rect { -6, -4, 70, 12 } << int(Canvas::SingleLine);
    QTest::newRow("NoClip is ignored") << QStringLiteral("Wide text here") << Rect { 10, 5, 30, 20 }
                                       << int(Canvas::SingleLine | Canvas::NoClip);
}

void TestCanvas::stencilDrawsWhatDrawTextDraws()
{
    QFETCH(QString, text);
    QFETCH(Rect, r);
    QFETCH(int, format);
    const Canvas::TextFormat f = Canvas::TextFormat::fromInt(format);

    QImage direct = blank(80, 50);
    Canvas directCanvas(direct);
    directCanvas.drawText(r, text, f & ~Canvas::TextFormat(Canvas::NoClip), Ink, arial(8.25));
    QImage stencilled = blank(80, 50);
    Canvas stencilCanvas(stencilled);
    const Canvas::TextStencil stencil = Canvas::textStencil(r.width(), r.height(), text, f, arial(8.25));
    QVERIFY(stencil.matches(r.width(), r.height(), text, f, arial(8.25)));
    QVERIFY(!stencil.matches(r.width() + 1, r.height(), text, f, arial(8.25)));
    QVERIFY(!stencil.matches(r.width(), r.height(), text, f, arial(9)));
    stencilCanvas.drawStencil(r.left, r.top, stencil, Ink);
    QVERIFY(countOf(stencilCanvas, Ink) > 0);
    QCOMPARE(stencilled, direct);
}

void TestCanvas::focusRectInvertsEveryOtherPixelAndUndoes()
{
    QImage image = blank(12, 8, Ink);
    const QImage before = image.copy();
    Canvas canvas(image);
    canvas.focusRect({ 1, 1, 11, 7 });
    const ColorRef inverted = Ink ^ 0xffffffu;
    QCOMPARE(hex(canvas.pixel(1, 1)), hex(inverted));
    QCOMPARE(hex(canvas.pixel(2, 1)), hex(Ink));
    QCOMPARE(hex(canvas.pixel(3, 1)), hex(inverted));
    QCOMPARE(hex(canvas.pixel(1, 3)), hex(inverted));
    QCOMPARE(hex(canvas.pixel(5, 3)), hex(Ink)); // inside untouched
    QCOMPARE(countOf(canvas, inverted), 14); // half of the 28 outline pixels
    canvas.focusRect({ 1, 1, 11, 7 });
    QCOMPARE(image, before);
}

void TestCanvas::textIsDrawnInColourInsideItsRectangle()
{
    QImage image = blank(80, 30);
    Canvas canvas(image);
    const Rect r { 10, 5, 30, 20 };
    canvas.drawText(r, QStringLiteral("Wide text here"), Canvas::SingleLine, Ink, arial(8.25));
    const std::vector<QPoint> inked = pixelsOf(canvas, Ink);
    QVERIFY(!inked.empty());
    // Only the text colour (no smoothing) and only inside the rectangle it was clipped to.
    QCOMPARE(static_cast<int>(inked.size()) + countOf(canvas, Paper), 80 * 30);
    for (const QPoint &p : inked)
        QVERIFY(r.contains(p.x(), p.y()));

    QImage unclipped = blank(80, 30);
    Canvas free(unclipped);
    free.drawText(r, QStringLiteral("Wide text here"), Canvas::SingleLine | Canvas::NoClip, Ink, arial(8.25));
    QVERIFY(countOf(free, Ink) > static_cast<int>(inked.size()));
}

void TestCanvas::accessKeysAndDoubleAmpersands_data()
{
    QTest::addColumn<QString>("withPrefix");
    QTest::addColumn<QString>("plain");
    QTest::addColumn<bool>("underlined");

    // Ampersands in the second column are doubled, so they too stand for themselves.
    QTest::newRow("access key") << QStringLiteral("Save &As") << QStringLiteral("Save As") << true;
    QTest::newRow("literal then key") << QStringLiteral("&&x&y") << QStringLiteral("&&xy") << true;
    QTest::newRow("literal only") << QStringLiteral("A&&B") << QStringLiteral("A&&B") << false;
}

void TestCanvas::accessKeysAndDoubleAmpersands()
{
    QFETCH(QString, withPrefix);
    QFETCH(QString, plain);
    QFETCH(bool, underlined);

    const QFont font = arial(8.25);
    const Rect measuredPrefix = Canvas::measureText({ 0, 0, 200, 50 }, withPrefix, Canvas::SingleLine, font);
    QCOMPARE(measuredPrefix.width(),
             Canvas::measureText({ 0, 0, 200, 50 }, plain, Canvas::SingleLine, font).width());
    // "&&" takes the room of one ampersand.
    auto widthOf = [&font](const QString &text) {
        return Canvas::measureText({}, text, Canvas::SingleLine, font).width();
    };
    QCOMPARE(widthOf(QStringLiteral("A&&B")) - widthOf(QStringLiteral("AB")), widthOf(QStringLiteral("&&")));
    QVERIFY(widthOf(QStringLiteral("&&")) > 0);

    QImage a = blank(100, 20);
    QImage b = blank(100, 20);
    Canvas ca(a);
    Canvas cb(b);
    ca.drawText({ 2, 2, 98, 18 }, withPrefix, Canvas::SingleLine, Ink, font);
    cb.drawText({ 2, 2, 98, 18 }, plain, Canvas::SingleLine, Ink, font);
    if (underlined)
        QVERIFY(countOf(ca, Ink) > countOf(cb, Ink));
    else
        QCOMPARE(a, b);
}

void TestCanvas::wordBreakWrapsToWidth()
{
    const QFont font = arial(8.25);
    const QString text = QStringLiteral("one two three four five six");
    const Rect single = Canvas::measureText({ 5, 7, 60, 100 }, text, Canvas::SingleLine, font);
    const Rect wrapped = Canvas::measureText({ 5, 7, 60, 100 }, text, Canvas::WordBreak, font);
    QCOMPARE(single.left, 5);
    QCOMPARE(single.top, 7);
    QVERIFY(single.width() > 55); // one line ignores the width
    QVERIFY(wrapped.width() <= 55);
    QVERIFY(wrapped.height() >= 3 * single.height());
    QCOMPARE(wrapped.left, 5);
    QCOMPARE(wrapped.top, 7);

    // Centred lines stay inside the measured band.
    QImage image = blank(70, 80);
    Canvas canvas(image);
    canvas.drawText({ 5, 7, 60, 100 }, text, Canvas::WordBreak | Canvas::CenterHorizontally, Ink, font);
    for (const QPoint &p : pixelsOf(canvas, Ink))
        QVERIFY(p.y() >= 7 && p.y() < wrapped.bottom + 1);
}

void TestCanvas::fontsResolveToLiberation_data()
{
    QTest::addColumn<QString>("family");
    QTest::addColumn<double>("points");
    QTest::addColumn<QString>("resolvedFamily");
    QTest::addColumn<int>("pixels");

    QTest::newRow("Arial 8.25") << QStringLiteral("Arial") << 8.25 << QStringLiteral("Liberation Sans") << 11;
    QTest::newRow("MS Sans Serif") << QStringLiteral("MS Sans Serif") << 12.0
                                   << QStringLiteral("Liberation Sans") << 16;
    QTest::newRow("Times New Roman") << QStringLiteral("Times New Roman") << 9.0
                                     << QStringLiteral("Liberation Serif") << 12;
    QTest::newRow("Courier New") << QStringLiteral("Courier New") << 10.0 << QStringLiteral("Liberation Mono")
                                 << 13;
    QTest::newRow("unknown") << QStringLiteral("No Such Face") << 8.25 << QStringLiteral("Liberation Sans")
                             << 11;
}

void TestCanvas::fontsResolveToLiberation()
{
    QFETCH(QString, family);
    QFETCH(double, points);
    QFETCH(QString, resolvedFamily);
    QFETCH(int, pixels);

    QFont font(family);
    font.setPointSizeF(points);
    font.setBold(true);
    const QFont resolved = Canvas::resolveFont(font);
    QCOMPARE(resolved.pixelSize(), pixels);
    QVERIFY(resolved.bold());
    // The machine must really have the face, or text would differ between machines.
    QCOMPARE(QFontInfo(resolved).family(), resolvedFamily);
}

void TestCanvas::translateColor_data()
{
    QTest::addColumn<ColorRef>("value");
    QTest::addColumn<ColorRef>("expected");

    QTest::newRow("plain colour unchanged") << ColorRef(0x00A85E33) << ColorRef(0x00A85E33);
    QTest::newRow("highlight") << ColorRef(0x8000000D) << rgb(49, 106, 197);
    QTest::newRow("button face") << ColorRef(0x8000000F) << rgb(236, 233, 216);
    QTest::newRow("unknown index is black") << ColorRef(0x80000999) << rgb(0, 0, 0);
    QTest::newRow("other high bits are not a system colour") << ColorRef(0x0100FF00) << ColorRef(0x0100FF00);
}

void TestCanvas::translateColor()
{
    QFETCH(ColorRef, value);
    QFETCH(ColorRef, expected);
    QCOMPARE(hex(TranslateColor(value)), hex(expected));
}

void TestCanvas::roundHalfEven_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("expected");

    QTest::newRow("0.5") << 0.5 << 0;
    QTest::newRow("1.5") << 1.5 << 2;
    QTest::newRow("2.5") << 2.5 << 2;
    QTest::newRow("8.5") << 8.5 << 8;
    QTest::newRow("2.51") << 2.51 << 3;
    QTest::newRow("-0.5") << -0.5 << 0;
    QTest::newRow("-1.5") << -1.5 << -2;
    QTest::newRow("-2.5") << -2.5 << -2;
    QTest::newRow("-2.4") << -2.4 << -2;
}

void TestCanvas::roundHalfEven()
{
    QFETCH(double, value);
    QFETCH(int, expected);
    QCOMPARE(roundToInt(value), expected);
}

void TestCanvas::roundToIntSaturates()
{
    QCOMPARE(roundToInt(1e12), std::numeric_limits<int>::max());
    QCOMPARE(roundToInt(-1e12), std::numeric_limits<int>::min());
    QCOMPARE(roundToInt(std::nan("")), 0);
}

QTEST_MAIN(TestCanvas)
#include "tst_canvas.moc"
