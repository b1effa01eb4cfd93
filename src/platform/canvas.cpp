#include "platform/canvas.h"

#include "platform/rounding.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <utility>

namespace kivaro {

namespace {

// Hatch rows, top to bottom; bit 0x80 is the leftmost pixel of a row.
constexpr std::array<std::array<quint8, 8>, Canvas::HatchCount> HatchPatterns = { {
    { 0x00, 0x00, 0x00, 0xff, 0x00, 0x00, 0x00, 0x00 }, // Horizontal
    { 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08 }, // Vertical
    { 0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01 }, // ForwardDiagonal
    { 0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80 }, // BackwardDiagonal
    { 0x08, 0x08, 0x08, 0xff, 0x08, 0x08, 0x08, 0x08 }, // Cross
    { 0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81 }, // DiagonalCross
} };

// Font sizes are given in points; the controls were laid out on a 96 pixels-per-inch screen.
constexpr double PixelsPerInch = 96.0;
constexpr double PointsPerInch = 72.0;

// Text lies far below this many pixels; it only has to be larger than any control.
constexpr int UnboundedExtent = 1 << 20;

constexpr QRgb solid(ColorRef colour)
{
    return toQRgb(colour);
}

QRgb translated(ColorRef colour)
{
    return solid(TranslateColor(colour));
}

int qtTextFlags(Canvas::TextFormat format)
{
    int flags = Qt::TextShowMnemonic | Qt::AlignTop;
    flags |= format.testFlag(Canvas::CenterHorizontally) ? Qt::AlignHCenter : Qt::AlignLeft;
    if (format.testFlag(Canvas::SingleLine))
        flags |= Qt::TextSingleLine;
    else if (format.testFlag(Canvas::WordBreak))
        flags |= Qt::TextWordWrap;
    return flags;
}

QString substituteFamily(const QString &family)
{
    const QString name = family.trimmed().toLower();
    constexpr std::array SerifNames { "times new roman", "times", "serif", "georgia", "liberation serif" };
    constexpr std::array MonoNames { "courier new", "courier",  "monospace",      "lucida console",
                                     "consolas",    "fixedsys", "liberation mono" };
    for (const char *serif : SerifNames) {
        if (name == QLatin1String(serif))
            return QStringLiteral("Liberation Serif");
    }
    for (const char *mono : MonoNames) {
        if (name == QLatin1String(mono))
            return QStringLiteral("Liberation Mono");
    }
    return QStringLiteral("Liberation Sans");
}

// The ellipse's outline is two pixels wide.
constexpr int EllipsePen = 2;

// The ellipse inscribed in a rectangle, row by row: a pixel belongs to it when its centre lies
// inside the ellipse through the rectangle's edges.
class EllipseRows
{
public:
    explicit EllipseRows(const Rect &r)
        : m_r(r)
        , m_cx((r.left + r.right) / 2.0)
        , m_cy((r.top + r.bottom) / 2.0)
        , m_a(r.width() / 2.0)
        , m_inverseB(r.height() > 0 ? 2.0 / r.height() : 0.0)
    { }

    // The columns [left, right) of row y inside the ellipse; left >= right for none.
    std::pair<int, int> span(int y) const
    {
        if (m_r.isEmpty() || y < m_r.top || y >= m_r.bottom)
            return { 0, 0 };
        const double dy = (y + 0.5 - m_cy) * m_inverseB;
        const double rest = 1.0 - dy * dy;
        if (rest <= 0.0)
            return { 0, 0 };
        const double half = m_a * std::sqrt(rest);
        // Pixel x is inside when |x + 0.5 - cx| <= half. Both ends lie within r, well inside the
        // int range, so rounding them by truncation is safe and, unlike std::ceil and std::floor,
        // needs no library call.
        const double first = m_cx - half - 0.5;
        const double last = m_cx + half - 0.5;
        int left = static_cast<int>(first);
        left += first > left ? 1 : 0;
        int right = static_cast<int>(last);
        right -= last < right ? 1 : 0;
        return { std::max(m_r.left, left), std::min(m_r.right, right + 1) };
    }

private:
    Rect m_r;
    double m_cx;
    double m_cy;
    double m_a;
    double m_inverseB;
};

} // namespace

Canvas::Canvas(QImage &image)
    : m_image(image)
{
    if (m_image.format() != QImage::Format_RGB32)
        m_image = m_image.convertToFormat(QImage::Format_RGB32);
    if (m_image.isNull())
        return;
    m_bits = m_image.bits(); // detaches once, so writes below never reach a shared copy
    m_stride = m_image.bytesPerLine();
    m_width = m_image.width();
    m_height = m_image.height();
}

void Canvas::fillClipped(const Rect &r, QRgb colour)
{
    const Rect c = r.intersected(bounds());
    if (c.isEmpty())
        return;
    for (int y = c.top; y < c.bottom; ++y)
        std::fill(row(y) + c.left, row(y) + c.right, colour);
}

void Canvas::fill(const Rect &r, ColorRef colour)
{
    fillClipped(r, translated(colour));
}

void Canvas::frame(const Rect &r, ColorRef colour)
{
    if (r.isEmpty())
        return;
    const QRgb c = translated(colour);
    fillClipped({ r.left, r.top, r.right, r.top + 1 }, c);
    fillClipped({ r.left, r.bottom - 1, r.right, r.bottom }, c);
    fillClipped({ r.left, r.top, r.left + 1, r.bottom }, c);
    fillClipped({ r.right - 1, r.top, r.right, r.bottom }, c);
}

void Canvas::line(int x1, int y1, int x2, int y2, ColorRef colour)
{
    const QRgb c = translated(colour);
    // Straight lines are by far the most common: fill them as rectangles.
    if (y1 == y2) {
        const Rect r = x1 <= x2 ? Rect { x1, y1, x2, y1 + 1 } : Rect { x2 + 1, y1, x1 + 1, y1 + 1 };
        fillClipped(r, c);
        return;
    }
    if (x1 == x2) {
        const Rect r = y1 <= y2 ? Rect { x1, y1, x1 + 1, y2 } : Rect { x1, y2 + 1, x1 + 1, y1 + 1 };
        fillClipped(r, c);
        return;
    }
    // Bresenham, one pixel per step along the longer axis, stopping before the end point.
    const int dx = std::abs(x2 - x1);
    const int dy = std::abs(y2 - y1);
    const int sx = x1 < x2 ? 1 : -1;
    const int sy = y1 < y2 ? 1 : -1;
    const Rect clip = bounds();
    int x = x1;
    int y = y1;
    if (dx >= dy) {
        int error = 2 * dy - dx;
        for (int i = 0; i < dx; ++i) {
            if (clip.contains(x, y))
                row(y)[x] = c;
            if (error > 0) {
                y += sy;
                error -= 2 * dx;
            }
            error += 2 * dy;
            x += sx;
        }
    } else {
        int error = 2 * dx - dy;
        for (int i = 0; i < dy; ++i) {
            if (clip.contains(x, y))
                row(y)[x] = c;
            if (error > 0) {
                x += sx;
                error -= 2 * dy;
            }
            error += 2 * dx;
            y += sy;
        }
    }
}

void Canvas::polyline(std::span<const QPoint> points, ColorRef colour)
{
    for (std::size_t i = 1; i < points.size(); ++i)
        line(points[i - 1].x(), points[i - 1].y(), points[i].x(), points[i].y(), colour);
}

void Canvas::setPixel(int x, int y, ColorRef colour)
{
    if (bounds().contains(x, y))
        row(y)[x] = translated(colour);
}

ColorRef Canvas::pixel(int x, int y) const
{
    if (!bounds().contains(x, y))
        return rgb(0, 0, 0);
    return fromQRgb(row(y)[x]);
}

void Canvas::drawEdge(const Rect &r, Edge edge)
{
    // Top and left first, then bottom and right over them: the top-right and bottom-left corner
    // pixels take the bottom-right colour, as on the desktop.
    auto sides = [this](const Rect &s, ColorRef topLeft, ColorRef bottomRight) {
        if (s.isEmpty())
            return;
        const QRgb tl = solid(topLeft);
        const QRgb br = solid(bottomRight);
        fillClipped({ s.left, s.top, s.right, s.top + 1 }, tl);
        fillClipped({ s.left, s.top, s.left + 1, s.bottom }, tl);
        fillClipped({ s.left, s.bottom - 1, s.right, s.bottom }, br);
        fillClipped({ s.right - 1, s.top, s.right, s.bottom }, br);
    };
    const ColorRef highlight = sysColor(ButtonHighlight);
    const ColorRef shadow = sysColor(ButtonShadow);
    const ColorRef light = sysColor(Light3D);
    const ColorRef darkShadow = sysColor(DarkShadow3D);
    const Rect inner = r.adjusted(1, 1, -1, -1);
    switch (edge) {
    case Edge::Etched:
        sides(r, shadow, highlight);
        sides(inner, highlight, shadow);
        break;
    case Edge::Bump:
        sides(r, light, darkShadow);
        sides(inner, darkShadow, light);
        break;
    case Edge::ThinSunken:
        sides(r, shadow, highlight);
        break;
    }
}

void Canvas::hatchFill(const Rect &r, Hatch pattern, ColorRef foreground, ColorRef background)
{
    const Rect c = r.intersected(bounds());
    if (c.isEmpty())
        return;
    const auto &rows = HatchPatterns[static_cast<std::size_t>(pattern)];
    const QRgb fore = translated(foreground);
    const QRgb back = translated(background);
    for (int y = c.top; y < c.bottom; ++y) {
        const quint8 bits = rows[static_cast<std::size_t>(y & 7)];
        QRgb *line = row(y);
        for (int x = c.left; x < c.right; ++x)
            line[x] = (bits & (0x80 >> (x & 7))) ? fore : back;
    }
}

void Canvas::patternFill(const Rect &r, const QImage &pattern)
{
    const Rect c = r.intersected(bounds());
    if (c.isEmpty() || pattern.isNull())
        return;
    const QImage tile = pattern.convertToFormat(QImage::Format_RGB32);
    const int tw = tile.width();
    const int th = tile.height();
    for (int y = c.top; y < c.bottom; ++y) {
        const auto *source = reinterpret_cast<const QRgb *>(tile.constScanLine(y % th));
        QRgb *line = row(y);
        for (int x = c.left; x < c.right; ++x)
            line[x] = source[x % tw] | 0xff000000u;
    }
}

void Canvas::drawImage(int x, int y, const QImage &picture)
{
    if (picture.isNull())
        return;
    const Rect c = Rect::fromSize(x, y, picture.width(), picture.height()).intersected(bounds());
    if (c.isEmpty())
        return;
    // Both formats hold the colour unpremultiplied in the low 24 bits, so the alpha byte can
    // simply be set.
    const bool direct = picture.format() == QImage::Format_RGB32 || picture.format() == QImage::Format_ARGB32;
    const QImage source = direct ? picture : picture.convertToFormat(QImage::Format_ARGB32);
    for (int dy = c.top; dy < c.bottom; ++dy) {
        const auto *from = reinterpret_cast<const QRgb *>(source.constScanLine(dy - y)) + (c.left - x);
        QRgb *to = row(dy) + c.left;
        for (int i = 0; i < c.width(); ++i)
            to[i] = from[i] | 0xff000000u;
    }
}

void Canvas::ellipse(const Rect &r, ColorRef edge, ColorRef inside, std::optional<ColorRef> outside)
{
    const Rect c = r.intersected(bounds());
    if (r.isEmpty() || c.isEmpty())
        return;
    const QRgb edgeColour = translated(edge);
    const QRgb insideColour = translated(inside);
    const QRgb outsideColour = outside ? translated(*outside) : 0;
    const EllipseRows outer(r);
    const EllipseRows inner(r.adjusted(EllipsePen, EllipsePen, -EllipsePen, -EllipsePen));
    for (int y = c.top; y < c.bottom; ++y) {
        auto [left, right] = outer.span(y);
        if (left >= right)
            left = right = r.right; // the row lies wholly outside
        auto [innerLeft, innerRight] = inner.span(y);
        if (innerLeft >= innerRight)
            innerLeft = innerRight = right; // the row lies wholly in the outline
        if (outside) {
            fillClipped({ r.left, y, left, y + 1 }, outsideColour);
            fillClipped({ right, y, r.right, y + 1 }, outsideColour);
        }
        fillClipped({ left, y, innerLeft, y + 1 }, edgeColour);
        fillClipped({ innerLeft, y, innerRight, y + 1 }, insideColour);
        fillClipped({ innerRight, y, right, y + 1 }, edgeColour);
    }
}

QRegion Canvas::ellipseRegion(const Rect &r)
{
    QRegion region;
    if (r.isEmpty())
        return region;
    const EllipseRows rows(r);
    for (int y = r.top; y < r.bottom; ++y) {
        const auto [left, right] = rows.span(y);
        if (left < right)
            region += QRect(left, y, right - left, 1);
    }
    return region;
}

void Canvas::focusRect(const Rect &r)
{
    if (r.isEmpty())
        return;
    const Rect clip = bounds();
    auto invert = [this, &clip](int x, int y) {
        if (((x + y) & 1) == 0 && clip.contains(x, y))
            row(y)[x] ^= 0x00ffffffu;
    };
    for (int x = r.left; x < r.right; ++x) {
        invert(x, r.top);
        if (r.bottom - 1 > r.top)
            invert(x, r.bottom - 1);
    }
    for (int y = r.top + 1; y < r.bottom - 1; ++y) {
        invert(r.left, y);
        if (r.right - 1 > r.left)
            invert(r.right - 1, y);
    }
}

void Canvas::drawText(const Rect &r, const QString &text, TextFormat format, ColorRef colour,
                      const QFont &font)
{
    if (text.isEmpty() || m_image.isNull())
        return;
    const bool clip = !format.testFlag(NoClip);
    if (clip && r.isEmpty())
        return;
    QPainter painter(&m_image);
    painter.setFont(resolveFont(font));
    painter.setPen(QColor(translated(colour)));
    const QRect area(r.left, r.top, std::max(r.width(), 0), std::max(r.height(), 0));
    if (clip) {
        painter.setClipRect(area);
        painter.drawText(area, qtTextFlags(format), text);
    } else {
        // Without clipping the text keeps the rectangle's left and top but may run past its right
        // and bottom edges.
        const QRect unbounded(r.left, r.top,
                              format.testFlag(CenterHorizontally) ? area.width() : UnboundedExtent,
                              UnboundedExtent);
        painter.drawText(unbounded, qtTextFlags(format) | Qt::TextDontClip, text);
    }
}

Canvas::TextStencil Canvas::textStencil(int width, int height, const QString &text, TextFormat format,
                                        const QFont &font, std::optional<Rect> window)
{
    TextStencil stencil { text, font, format, std::max(width, 0), std::max(height, 0), {}, {} };
    const Rect whole { 0, 0, stencil.width, stencil.height };
    const Rect part = window ? window->intersected(whole) : whole;
    if (part.isEmpty() || text.isEmpty()) {
        stencil.window = part;
        return stencil;
    }
    constexpr ColorRef Off = rgb(0, 0, 0);
    constexpr ColorRef On = rgb(255, 255, 255);
    QImage image(part.width(), part.height(), QImage::Format_RGB32);
    if (image.isNull())
        return stencil; // covers nothing: the text is then drawn directly
    image.fill(toQRgb(Off));
    Canvas canvas(image);
    canvas.drawText(whole.translated(-part.left, -part.top), text, format & ~TextFormat(NoClip), On, font);
    for (int y = 0; y < part.height(); ++y) {
        const QRgb *line = canvas.row(y);
        int x = 0;
        while (x < part.width()) {
            if (line[x] != toQRgb(On)) {
                ++x;
                continue;
            }
            const int left = x;
            while (x < part.width() && line[x] == toQRgb(On))
                ++x;
            stencil.runs.push_back({ part.top + y, part.left + left, part.left + x });
        }
    }
    stencil.window = part;
    return stencil;
}

void Canvas::drawStencil(int x, int y, const TextStencil &stencil, ColorRef colour)
{
    const QRgb c = translated(colour);
    for (const TextStencil::Run &run : stencil.runs)
        fillClipped({ x + run.left, y + run.y, x + run.right, y + run.y + 1 }, c);
}

Rect Canvas::measureText(const Rect &r, const QString &text, TextFormat format, const QFont &font)
{
    if (text.isEmpty())
        return { r.left, r.top, r.left, r.top };
    const QFontMetrics metrics(resolveFont(font));
    const bool wrap = format.testFlag(WordBreak) && !format.testFlag(SingleLine);
    const int wrapWidth = wrap ? std::max(r.width(), 0) : UnboundedExtent;
    const QRect bounding = metrics.boundingRect(QRect(0, 0, wrapWidth, UnboundedExtent),
                                                qtTextFlags(format & ~TextFormat(CenterHorizontally)), text);
    return { r.left, r.top, r.left + bounding.width(), r.top + bounding.height() };
}

QFont Canvas::resolveFont(const QFont &font)
{
    QFont resolved(substituteFamily(font.family()));
    int pixels = font.pixelSize();
    if (pixels <= 0)
        pixels = roundToInt(font.pointSizeF() * PixelsPerInch / PointsPerInch);
    resolved.setPixelSize(std::max(pixels, 1));
    resolved.setWeight(font.weight());
    resolved.setItalic(font.italic());
    resolved.setUnderline(font.underline());
    resolved.setStrikeOut(font.strikeOut());
    // The classic desktop draws text without kerning and without smoothing; doing the same keeps
    // widths and pixels independent of the machine's font settings.
    resolved.setKerning(false);
    resolved.setStyleStrategy(QFont::NoAntialias);
    resolved.setHintingPreference(QFont::PreferFullHinting);
    return resolved;
}

} // namespace kivaro
