#pragma once

#include <QImage>
#include <QPainterPath>
#include <QRect>

#include <array>

class QPainter;

namespace kivaro {

class ArtworkFonts;

// Draws the main window's default skin: the three backgrounds, the three looks of each title-bar
// button, the progress frames and the history glyph.
//
// Every picture is cut from one drawing of the whole window in the matching state, so the button
// looks and progress frames fit the background around them pixel for pixel, and pure red appears
// exactly where the window's outline is cut and nowhere else.
class SkinPainter
{
public:
    enum class Look { Normal, Hover, Pressed };
    enum class TitleButton { Menu, Minimise, Exit };

    explicit SkinPainter(const ArtworkFonts &fonts);

    // 391 x 103, for the search button's three looks.
    QImage background(Look searchLook) const;
    QImage titleButton(TitleButton button, Look look) const;
    // frame 0 shows a little progress, frame 7 is complete.
    QImage progressFrame(int frame) const;
    // 13 x 12 with a transparent ground: the frame the window draws behind it stays visible.
    QImage historyGlyph() const;

    static QRect titleButtonRect(TitleButton button);
    // The window's outline, in window pixels.
    static QPainterPath outline(double inset = 0);

private:
    struct State
    {
        Look search = Look::Normal;
        std::array<Look, 3> buttons{Look::Normal, Look::Normal, Look::Normal};
        int litSegments = 0;
    };

    QImage window(const State &state) const;
    static QImage cutOutline(const QImage &content);

    void paintShell(QPainter &painter) const;
    void paintBrand(QPainter &painter) const;
    void paintWells(QPainter &painter) const;
    void paintNote(QPainter &painter) const;
    static void paintPod(QPainter &painter);
    static void paintRing(QPainter &painter, int litSegments);
    static void paintSearchFace(QPainter &painter, Look look);
    static void paintPlate(QPainter &painter, TitleButton button, Look look);
    static void paintPlateGlyph(QPainter &painter, TitleButton button, QPointF centre, QColor colour);

    const ArtworkFonts &m_fonts;
};

} // namespace kivaro
