#include "controls/progressbar/progressbarpainter.h"
#include "controls/progressbar/progressbarstyle.h"
#include "platform/canvas.h"
#include "testhelpers.h"

#include <QTest>

using namespace kivaro;
using namespace kivaro::progressbar;
using kivaro::test::hex;

namespace {

// The main window's bar colour: red 51, green 94, blue 168.
constexpr ColorRef Blue = 0x00A85E33;

ColorRef L(int amount)
{
    return LightenColor(Blue, amount);
}
ColorRef B(int weight)
{
    return BlendColor(Blue, Black, weight);
}

QImage tile()
{
    QImage image(3, 2, QImage::Format_RGB32);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x)
            image.setPixel(x, y, qRgb(10 + 60 * x, 200 - 90 * y, 77));
    }
    return image;
}
ColorRef tileAt(int x, int y)
{
    return fromQRgb(tile().pixel(x % 3, y % 2));
}

QFont textFont()
{
    QFont font { QStringLiteral("Arial") };
    font.setPointSizeF(DefaultFontPointSize);
    return font;
}

ProgressBarLook lookOf(int scrolling, int percentage, int orientation = Horizontal)
{
    ProgressBarLook look;
    look.scrolling = scrolling;
    look.percentage = percentage;
    look.orientation = orientation;
    look.color = Blue;
    look.brushStyle = DefaultBrushStyleStored;
    look.image = tile();
    look.font = textFont();
    return look;
}

QImage paint(const ProgressBarLook &look, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::magenta); // anything the look leaves unpainted shows up
    Canvas canvas(image);
    paintProgressBar(canvas, size, look);
    return image;
}

ColorRef at(const QImage &image, int x, int y)
{
    return fromQRgb(image.pixel(x, y));
}

// Bounding box of the pixels of one colour.
QRect boxOf(const QImage &image, ColorRef colour, const QRect &within)
{
    QRect box;
    for (int y = within.top(); y <= within.bottom(); ++y) {
        for (int x = within.left(); x <= within.right(); ++x) {
            if (at(image, x, y) == colour)
                box = box.united(QRect(x, y, 1, 1));
        }
    }
    return box;
}

struct Pixel
{
    int x;
    int y;
    ColorRef colour;
};

} // namespace

Q_DECLARE_METATYPE(Pixel)

class TestProgressBarPainter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void blendColor_data();
    void blendColor();
    void drawGradient_data();
    void drawGradient();
    void looks_data();
    void looks();
    void defaultFrame_data();
    void defaultFrame();
    void looksThreeToNineIgnoreOrientation_data();
    void looksThreeToNineIgnoreOrientation();
    void negativePercentageDrawsLikeZeroInDefaultLooks();
    void textIsCentredAndBlack();
    void marqueeShowsNoText();
    void splitText_data();
    void splitText();
};

void TestProgressBarPainter::blendColor_data()
{
    QTest::addColumn<ColorRef>("first");
    QTest::addColumn<ColorRef>("second");
    QTest::addColumn<int>("weight");
    QTest::addColumn<ColorRef>("expected");

    QTest::newRow("weight 255 is first") << Blue << Black << 255 << Blue;
    QTest::newRow("weight 0 is second") << Blue << rgb(1, 2, 3) << 0 << rgb(1, 2, 3);
    QTest::newRow("darken by 180, rounded") << Blue << Black << 180 << rgb(36, 66, 119);
    QTest::newRow("mix") << rgb(255, 0, 100) << rgb(0, 255, 100) << 100 << rgb(100, 155, 100);
    QTest::newRow("system colours translated") << ColorRef(0x8000000D) << Black << 255 << rgb(49, 106, 197);
}

void TestProgressBarPainter::blendColor()
{
    QFETCH(ColorRef, first);
    QFETCH(ColorRef, second);
    QFETCH(int, weight);
    QFETCH(ColorRef, expected);
    QCOMPARE(hex(BlendColor(first, second, weight)), hex(expected));
}

void TestProgressBarPainter::drawGradient_data()
{
    // clang-format off
    QTest::addColumn<bool>("bH");
    QTest::addColumn<QList<int>>("args"); // X, Y, X2, Y2
    QTest::addColumn<QList<Pixel>>("pixels");

    const ColorRef end = rgb(0, 0, 0);
    const ColorRef start = rgb(100, 200, 50);
    const ColorRef none = rgb(255, 0, 255);
    // Four steps of 25, 50 and 12.5: halves go to the even neighbour (12.5 -> 12, 37.5 -> 38).
    QTest::newRow("rows, first and last") << false << QList<int>{2, 1, 8, 4}
                                          << QList<Pixel>{{2, 1, end},
                                                          {7, 1, end},
                                                          {8, 1, none},
                                                          {2, 2, rgb(25, 50, 12)},
                                                          {2, 4, rgb(75, 150, 38)},
                                                          {2, 5, start},
                                                          {2, 6, none},
                                                          {1, 3, none}};
    QTest::newRow("columns") << true << QList<int>{1, 2, 4, 6}
                             << QList<Pixel>{{1, 2, end}, {1, 5, end}, {1, 6, none}, {5, 2, start}, {6, 2, none}};
    QTest::newRow("count 0 draws the first line only") << true << QList<int>{3, 0, 0, 5}
                                                       << QList<Pixel>{{3, 0, end}, {3, 4, end}, {4, 0, none}};
    QTest::newRow("negative count draws nothing") << false << QList<int>{0, 0, 9, -2}
                                                  << QList<Pixel>{{0, 0, none}, {5, 0, none}};
    QTest::newRow("rows run leftwards to a smaller end") << false << QList<int>{8, 0, 2, 4}
                                                         << QList<Pixel>{{8, 0, end}, {3, 0, end}, {2, 0, none}};
    // clang-format on
}

void TestProgressBarPainter::drawGradient()
{
    QFETCH(bool, bH);
    QFETCH(QList<int>, args);
    QFETCH(QList<Pixel>, pixels);

    QImage image(10, 10, QImage::Format_RGB32);
    image.fill(qRgb(255, 0, 255));
    Canvas canvas(image);
    DrawGradient(rgb(0, 0, 0), rgb(100, 200, 50), args[0], args[1], args[2], args[3], canvas, bH);
    for (const Pixel &p : pixels)
        QCOMPARE(hex(canvas.pixel(p.x, p.y)) + QStringLiteral(" at %1,%2").arg(p.x).arg(p.y),
                 hex(p.colour) + QStringLiteral(" at %1,%2").arg(p.x).arg(p.y));
}

void TestProgressBarPainter::looks_data()
{
    // clang-format off
    QTest::addColumn<ProgressBarLook>("look");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QList<Pixel>>("pixels");

    const QSize bar(200, 20);
    const QSize tall(20, 100);
    const ColorRef highlight = sysColor(ButtonHighlight);
    const ColorRef shadow = sysColor(ButtonShadow);

    // Segmented: one block (columns 4 to 9) always shows, even at 0 %.
    QTest::newRow("0 segmented 0%: stub block") << lookOf(0, 0) << bar
                                                << QList<Pixel>{{3, 10, White},
                                                                {4, 10, Blue},
                                                                {9, 10, Blue},
                                                                {10, 10, White},
                                                                {11, 10, White},
                                                                {12, 10, White}};
    // 37 %: end snaps to column 75; blocks of six with two-pixel white gaps.
    QTest::newRow("0 segmented 37%: blocks and gaps") << lookOf(0, 37) << bar
                                                      << QList<Pixel>{{66, 10, White},
                                                                      {67, 10, White},
                                                                      {68, 10, Blue},
                                                                      {73, 10, Blue},
                                                                      {74, 10, White},
                                                                      {76, 10, White}};
    // On a 30-pixel bar the body's gradients show: light at rows 3 and 26, full colour at 9 and 20.
    QTest::newRow("0 segmented gradients") << lookOf(0, 50) << QSize(200, 30)
                                           << QList<Pixel>{{5, 2, FrameLight},
                                                           {5, 3, L(BodyLightening)},
                                                           {5, 9, Blue},
                                                           {5, 15, Blue},
                                                           {5, 20, Blue},
                                                           {5, 26, L(BodyLightening)},
                                                           {5, 27, White}};
    // 100 % on 205 pixels: computed end 203 lies past the edge, so the body stops at 199.
    QTest::newRow("0 segmented 100%: pulled back 4") << lookOf(0, 100) << QSize(205, 20)
                                                     << QList<Pixel>{{196, 10, Blue},
                                                                     {198, 10, Blue},
                                                                     {199, 10, White},
                                                                     {200, 10, White},
                                                                     {202, 10, White}};
    QTest::newRow("0 vertical 37%") << lookOf(0, 37, 1) << tall
                                    << QList<Pixel>{{10, 67, White},
                                                    {10, 68, Blue},
                                                    {10, 73, Blue},
                                                    {10, 74, White},
                                                    {10, 75, White},
                                                    {10, 76, Blue},
                                                    {3, 70, White},
                                                    {4, 70, L(BodyLightening)},
                                                    {8, 70, Blue},
                                                    {12, 70, Blue},
                                                    {16, 70, L(BodyLightening)},
                                                    {17, 70, White}};
    QTest::newRow("0 vertical 0%: no stub") << lookOf(0, 0, 1) << tall
                                            << QList<Pixel>{{10, 97, White}, {10, 50, White}};
    QTest::newRow("0 vertical 100%") << lookOf(0, 100, 1) << tall
                                     << QList<Pixel>{{10, 3, White}, {10, 4, Blue}, {10, 9, Blue}, {10, 10, White}};

    QTest::newRow("1 continuous 37%: no gaps, end on even step")
        << lookOf(1, 37) << bar
        << QList<Pixel>{{10, 10, Blue}, {11, 10, Blue}, {76, 10, Blue}, {77, 10, White}};
    QTest::newRow("1 continuous 0%: stub") << lookOf(1, 0) << bar
                                           << QList<Pixel>{{10, 10, Blue}, {11, 10, Blue}, {12, 10, White}};

    // Marquee 37 %: bar end 77, blocks trail by 0.63 x 45 and start at 49, 61 and 73.
    QTest::newRow("2 marquee 37%") << lookOf(2, 37) << bar
                                   << QList<Pixel>{{48, 10, White},
                                                   {49, 10, L(220)},
                                                   {49, 3, L(220)},
                                                   {49, 17, L(220)},
                                                   {58, 10, L(200)},
                                                   {59, 10, White},
                                                   {61, 10, L(180)},
                                                   {70, 10, L(160)},
                                                   {73, 10, L(140)},
                                                   {82, 10, L(120)},
                                                   {83, 10, White}};
    // Vertical blocks start right at the bar's top, rows drawn from the right edge leftwards.
    QTest::newRow("2 marquee vertical 37%") << lookOf(2, 37, 1) << tall
                                            << QList<Pixel>{{10, 61, White},
                                                            {10, 62, L(220)},
                                                            {3, 62, L(220)},
                                                            {17, 62, L(220)},
                                                            {10, 71, L(200)},
                                                            {10, 72, White},
                                                            {10, 74, L(180)}};

    QTest::newRow("3 flat 37%") << lookOf(3, 37) << bar
                                << QList<Pixel>{{0, 0, L(100)},
                                                {199, 19, L(100)},
                                                {1, 1, L(180)},
                                                {73, 18, L(180)},
                                                {73, 19, L(100)},
                                                {74, 10, White}};

    QTest::newRow("4 etched 37%") << lookOf(4, 37) << bar
                                  << QList<Pixel>{{0, 0, shadow},
                                                  {1, 1, highlight},
                                                  {199, 0, highlight},
                                                  {199, 19, highlight},
                                                  {198, 18, shadow},
                                                  {2, 5, L(140)},
                                                  {2, 16, L(140)},
                                                  {2, 17, White},
                                                  {75, 5, L(200)},
                                                  {76, 5, White}};
    QTest::newRow("4 etched 0%: one column") << lookOf(4, 0) << bar
                                             << QList<Pixel>{{2, 5, L(140)}, {3, 5, White}};

    // Glass 37 %: end at round(37 / 101 x 200) = 73.
    QTest::newRow("5 glass 37%") << lookOf(5, 37) << bar
                                 << QList<Pixel>{{0, 0, L(10)},
                                                 {1, 10, White},
                                                 {100, 2, Blue},
                                                 {100, 17, L(100)},
                                                 {197, 2, Blue},
                                                 {198, 10, White},
                                                 {10, 2, Blue},
                                                 {10, 3, L(250)},
                                                 {10, 17, Blue},
                                                 {73, 2, L(25)},
                                                 {73, 17, L(25)},
                                                 {73, 18, White}};

    QTest::newRow("6 dark 37%") << lookOf(6, 37) << bar
                                << QList<Pixel>{{0, 0, B(200)},
                                                {1, 10, Black},
                                                {2, 10, Black},
                                                {74, 10, LightenColor(B(100), 10)},
                                                {74, 17, LightenColor(B(100), 10)},
                                                {74, 18, Black},
                                                {75, 10, Black}};

    QTest::newRow("7 hatched 37%, cross") << lookOf(7, 37) << bar
                                          << QList<Pixel>{{0, 0, sysColor(Light3D)},
                                                          {1, 1, sysColor(DarkShadow3D)},
                                                          {199, 19, sysColor(DarkShadow3D)},
                                                          {198, 18, sysColor(Light3D)},
                                                          {5, 3, Blue},
                                                          {4, 10, Blue},
                                                          {5, 10, L(140)},
                                                          {72, 10, L(140)},
                                                          {73, 10, White}};

    QTest::newRow("8 pattern 37%") << lookOf(8, 37) << bar
                                   << QList<Pixel>{{0, 0, shadow},
                                                   {199, 19, highlight},
                                                   {1, 1, White},
                                                   {2, 2, tileAt(2, 2)},
                                                   {10, 17, tileAt(10, 17)},
                                                   {74, 10, tileAt(74, 10)},
                                                   {75, 10, White},
                                                   {10, 18, White}};
    ProgressBarLook noImage = lookOf(8, 37);
    noImage.image = QImage();
    QTest::newRow("8 pattern without Image: edge only") << noImage << bar
                                                        << QList<Pixel>{{0, 0, shadow}, {10, 10, White}, {1, 1, White}};

    // Metal 37 %: h = round(8.5) = 8, bar to column 72; row 2 is under the frame.
    QTest::newRow("9 metal 37%") << lookOf(9, 37) << bar
                                 << QList<Pixel>{{1, 1, CornerInner},
                                                 {100, 3, rgb(247, 247, 247)},
                                                 {100, 8, Silver},
                                                 {100, 16, Silver},
                                                 {196, 10, Silver},
                                                 {197, 10, White},
                                                 {10, 8, B(190)},
                                                 {10, 16, Blue},
                                                 {10, 17, White},
                                                 {72, 12, rgb(44, 82, 146)}, // halfway: 44.5 -> 44, 146.5 -> 146
                                                 {73, 12, Silver}};
    // clang-format on
}

void TestProgressBarPainter::looks()
{
    QFETCH(ProgressBarLook, look);
    QFETCH(QSize, size);
    QFETCH(QList<Pixel>, pixels);

    const QImage image = paint(look, size);
    for (const Pixel &p : pixels)
        QCOMPARE(hex(at(image, p.x, p.y)) + QStringLiteral(" at %1,%2").arg(p.x).arg(p.y),
                 hex(p.colour) + QStringLiteral(" at %1,%2").arg(p.x).arg(p.y));
}

void TestProgressBarPainter::defaultFrame_data()
{
    QTest::addColumn<int>("scrolling");
    QTest::addColumn<int>("orientation");
    for (int scrolling : { 0, 1, 2, 9, 10, -1 }) {
        for (int orientation : { 0, 1 })
            QTest::addRow("look %d, orientation %d", scrolling, orientation) << scrolling << orientation;
    }
}

void TestProgressBarPainter::defaultFrame()
{
    QFETCH(int, scrolling);
    QFETCH(int, orientation);

    const int W = 60;
    const int H = 40;
    const QImage image = paint(lookOf(scrolling, 100, orientation), { W, H });
    // clang-format off
    const Pixel frame[] = {
        {0, 0, White},          {0, 1, CornerOuter},    {0, 2, CornerEdge},       {1, 0, CornerOuterAlt},
        {1, 1, CornerInner},    {2, 0, CornerEdge},     {2, 2, FrameShade},       {0, H - 1, White},
        {1, H - 1, CornerOuter}, {2, H - 1, CornerEdge}, {0, H - 3, CornerEdge},  {0, H - 2, CornerOuterAlt},
        {1, H - 2, CornerInner}, {W - 1, 0, White},      {W - 1, 1, FrameShade},  {W - 1, 2, CornerEdge},
        {W - 2, 2, FrameShade}, {W - 2, 1, FrameOutline}, {W - 1, H - 1, White},  {W - 1, H - 2, FrameShade},
        {W - 1, H - 3, CornerEdge}, {W - 2, H - 2, CornerInner}, {W - 2, H - 1, FrameShade},
        {W - 3, H - 1, CornerEdge},
        // the lines and the outline between the corners
        {10, 0, FrameOutline},  {10, H - 1, FrameOutline}, {0, 10, FrameOutline}, {W - 1, 10, FrameOutline},
        {10, 1, FrameShade},    {1, 10, FrameShade},    {10, 2, FrameLight},      {2, 10, FrameLight},
        {10, H - 2, FrameLight}, {W - 2, 10, FrameLight},
    };
    // clang-format on
    for (const Pixel &p : frame)
        QCOMPARE(hex(at(image, p.x, p.y)) + QStringLiteral(" at %1,%2").arg(p.x).arg(p.y),
                 hex(p.colour) + QStringLiteral(" at %1,%2").arg(p.x).arg(p.y));
}

void TestProgressBarPainter::looksThreeToNineIgnoreOrientation_data()
{
    QTest::addColumn<int>("scrolling");
    for (int scrolling = 3; scrolling <= 9; ++scrolling)
        QTest::addRow("look %d", scrolling) << scrolling;
}

void TestProgressBarPainter::looksThreeToNineIgnoreOrientation()
{
    QFETCH(int, scrolling);
    QCOMPARE(paint(lookOf(scrolling, 64, 1), { 90, 30 }),
             paint(lookOf(scrolling, 64, Horizontal), { 90, 30 }));
}

void TestProgressBarPainter::negativePercentageDrawsLikeZeroInDefaultLooks()
{
    for (int orientation : { 0, 1 }) {
        for (int scrolling : { 0, 1 }) {
            QCOMPARE(paint(lookOf(scrolling, -40, orientation), { 80, 40 }),
                     paint(lookOf(scrolling, 0, orientation), { 80, 40 }));
        }
    }
}

void TestProgressBarPainter::textIsCentredAndBlack()
{
    ProgressBarLook look = lookOf(3, 42);
    look.showText = true;
    const QImage image = paint(look, { 200, 20 });
    const QString text = progressText(look);
    QCOMPARE(text, QStringLiteral("42 %"));
    const Rect r = progressTextRect(text, { 200, 20 }, look.font);
    const QRect ink = boxOf(image, Black, image.rect());
    QVERIFY(!ink.isEmpty());
    QVERIFY(ink.left() >= r.left && ink.right() < r.right && ink.top() >= r.top && ink.bottom() < r.bottom);
    QVERIFY(qAbs((ink.left() + ink.right() + 1) - 200) <= 4);
    // Halves go to the even neighbour: a 13-pixel-high text on 20 pixels starts at row 4, not 3.
    QCOMPARE(r.height(), 13);
    QCOMPARE(r.top, 4);
}

void TestProgressBarPainter::marqueeShowsNoText()
{
    ProgressBarLook look = lookOf(2, 80);
    QVERIFY(progressText(look).isEmpty());
    const QImage plain = paint(look, { 200, 20 });
    look.showText = true;
    QCOMPARE(paint(look, { 200, 20 }), plain);
}

void TestProgressBarPainter::splitText_data()
{
    QTest::addColumn<int>("scrolling");
    QTest::addColumn<int>("percentage");
    QTest::addColumn<ColorRef>("normal");
    QTest::addColumn<ColorRef>("over");
    QTest::addColumn<bool>("normalShows");
    QTest::addColumn<bool>("overShows");

    const ColorRef darkOver = LightenColor(Blue, DarkSplitTextLightening);
    QTest::newRow("dark, end before text") << 6 << 10 << Silver << darkOver << true << false;
    QTest::newRow("dark, end inside text") << 6 << 50 << Silver << darkOver << true << true;
    QTest::newRow("dark, end past text") << 6 << 100 << Silver << darkOver << false << true;
    QTest::newRow("metal, end before text") << 9 << 10 << Black << White << true << false;
    QTest::newRow("metal, end inside text") << 9 << 50 << Black << White << true << true;
    QTest::newRow("metal, end past text") << 9 << 100 << Black << White << false << true;
}

void TestProgressBarPainter::splitText()
{
    QFETCH(int, scrolling);
    QFETCH(int, percentage);
    QFETCH(ColorRef, normal);
    QFETCH(ColorRef, over);
    QFETCH(bool, normalShows);
    QFETCH(bool, overShows);

    const QSize size(200, 20);
    ProgressBarLook look = lookOf(scrolling, percentage);
    look.showText = true;
    const QImage image = paint(look, size);
    const Rect r = progressTextRect(progressText(look), size, look.font);
    const QRect textArea(r.left, r.top, r.width(), r.height());
    const int e = percentage * size.width() / 100;
    const QRect normalInk = boxOf(image, normal, textArea);
    const QRect overInk = boxOf(image, over, textArea);
    QCOMPARE(!normalInk.isEmpty(), normalShows);
    QCOMPARE(!overInk.isEmpty(), overShows);
    // The highlighted part lies left of the bar's end; the plain part shows right of it.
    if (overShows)
        QVERIFY(overInk.right() < e);
    if (normalShows && overShows)
        QVERIFY(boxOf(image, normal, textArea.adjusted(e - textArea.left(), 0, 0, 0)).width() > 0);
}

QTEST_MAIN(TestProgressBarPainter)
#include "tst_progressbarpainter.moc"
