#pragma once

#include "platform/rect.h"
#include "platform/systemcolors.h"

#include <QFlags>
#include <QFont>
#include <QImage>
#include <QPoint>
#include <QRegion>
#include <QString>

#include <optional>
#include <span>
#include <vector>

namespace kivaro {

// The drawing surface of the drawn controls: a QImage in RGB32 with the classic desktop's drawing
// rules, pixel for pixel. Rectangles keep their left and top and leave out their right and bottom;
// lines leave out their end point; everything is clipped to the image. Colours are ColorRef values;
// system-colour codes are translated before use.
//
// The image must not be copied while a Canvas draws on it: the canvas writes into its pixels.
class Canvas
{
public:
    enum class Edge {
        Etched, // a sunken outer line and a raised inner line: a groove
        Bump, // a raised outer line and a sunken inner line: a ridge
        ThinSunken, // one sunken line
    };

    enum class Hatch {
        Horizontal = 0,
        Vertical = 1,
        ForwardDiagonal = 2, // falling from top left to bottom right
        BackwardDiagonal = 3, // rising from bottom left to top right
        Cross = 4,
        DiagonalCross = 5,
    };
    static constexpr int HatchCount = 6;

    enum TextFlag {
        SingleLine = 0x1, // no line breaks at all
        WordBreak = 0x2, // wrap at word boundaries to the rectangle's width
        CenterHorizontally = 0x4, // each line centred in the rectangle (else left-aligned)
        NoClip = 0x8, // may draw beyond the rectangle
    };
    Q_DECLARE_FLAGS(TextFormat, TextFlag)

    // A null or non-RGB32 image is converted in place, so the canvas always draws on RGB32.
    explicit Canvas(QImage &image);

    QImage &image() { return m_image; }
    int width() const { return m_width; }
    int height() const { return m_height; }
    Rect bounds() const { return { 0, 0, m_width, m_height }; }

    void fill(const Rect &r, ColorRef colour);
    // One-pixel outline along the inside of r.
    void frame(const Rect &r, ColorRef colour);
    // From (x1, y1) towards (x2, y2); the end point itself stays untouched.
    void line(int x1, int y1, int x2, int y2, ColorRef colour);
    // Consecutive lines through the points; only the last point is left out.
    void polyline(std::span<const QPoint> points, ColorRef colour);
    void setPixel(int x, int y, ColorRef colour);
    // The pixel's colour; black outside the image.
    ColorRef pixel(int x, int y) const;

    // The three-dimensional edges of the desktop, in its system colours, inside r.
    void drawEdge(const Rect &r, Edge edge);
    // An 8 x 8 hatch anchored at the image's origin: pattern pixels in foreground, the rest in the
    // (opaque) background colour.
    void hatchFill(const Rect &r, Hatch pattern, ColorRef foreground, ColorRef background);
    // r tiled with the picture, the tiles anchored at the image's origin. A null picture draws nothing.
    void patternFill(const Rect &r, const QImage &pattern);
    // The picture's pixels copied unchanged (as opaque RGB) with its top-left corner at (x, y);
    // whatever falls outside the image is left out. A null picture draws nothing.
    void drawImage(int x, int y, const QImage &picture);
    // The ellipse inscribed in r: a two-pixel outline in edge, the inside in inside. With outside,
    // the rest of r (its corners) is filled in that colour in the same pass.
    void ellipse(const Rect &r, ColorRef edge, ColorRef inside, std::optional<ColorRef> outside = {});
    // The dotted focus outline along the inside of r. It inverts every other pixel, so drawing it
    // twice restores what was there.
    void focusRect(const Rect &r);

    // Text in one colour over a transparent background, from the top of r. "&" underlines the
    // character after it (the access key) and "&&" stands for one "&". Clipped to r unless NoClip.
    void drawText(const Rect &r, const QString &text, TextFormat format, ColorRef colour, const QFont &font);
    // Clipped text laid out and rasterised once, so that it can be drawn again and again, in any
    // colour and at any place, without laying it out each time: the pixels drawText sets for a
    // rectangle of width x height, as runs along the rows. Only the part `window` of the rectangle
    // is laid out: text far larger than where it can show costs no more than that place.
    struct TextStencil
    {
        struct Run
        {
            int y;
            int left;
            int right; // the first column after the run
        };
        QString text;
        QFont font;
        TextFormat format;
        int width = 0;
        int height = 0;
        Rect window; // the part of (0, 0, width, height) the runs cover; empty when none could be made
        std::vector<Run> runs;

        // Whether this is the stencil of that text in a rectangle of that size.
        bool matches(int w, int h, const QString &t, TextFormat f, const QFont &fo) const
        {
            return w == width && h == height && f == format && t == text && fo == font;
        }
        // Whether the runs hold every pixel of that part of the rectangle.
        bool covers(const Rect &part) const
        {
            const Rect wanted = part.intersected({ 0, 0, width, height });
            return wanted.isEmpty() || window.intersected(wanted) == wanted;
        }
    };
    // NoClip in format is ignored: a stencil never reaches beyond its rectangle. Without a window
    // the whole rectangle is laid out. When the picture to lay it out in cannot be had, the
    // stencil covers nothing.
    static TextStencil textStencil(int width, int height, const QString &text, TextFormat format,
                                   const QFont &font, std::optional<Rect> window = std::nullopt);
    // The same pixels as drawText(Rect::fromSize(x, y, width, height), ...) of the stencil's text.
    void drawStencil(int x, int y, const TextStencil &stencil, ColorRef colour);

    // The pixels of the ellipse inscribed in r that ellipse() draws, as a region (a window shape).
    static QRegion ellipseRegion(const Rect &r);

    // Where drawText would put the text, by the same rules: left and top of r stay, right and bottom
    // become those of the text (with WordBreak, as wrapped to r's width).
    static Rect measureText(const Rect &r, const QString &text, TextFormat format, const QFont &font);

    // The font the canvas really draws with: the same size, weight and style, but always from the
    // Liberation families (metric twins of Arial, Times New Roman and Courier New), measured at 96
    // pixels per inch and without anti-aliasing, so text comes out the same on every machine.
    static QFont resolveFont(const QFont &font);

private:
    void fillClipped(const Rect &r, QRgb colour);
    QRgb *row(int y) { return reinterpret_cast<QRgb *>(m_bits + static_cast<qsizetype>(y) * m_stride); }
    const QRgb *row(int y) const
    {
        return reinterpret_cast<const QRgb *>(m_bits + static_cast<qsizetype>(y) * m_stride);
    }

    QImage &m_image;
    uchar *m_bits = nullptr;
    qsizetype m_stride = 0;
    int m_width = 0;
    int m_height = 0;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(Canvas::TextFormat)

} // namespace kivaro
