#pragma once

#include "skintheme.h"

#include <QImage>
#include <QPainterPath>
#include <QRect>

#include <array>

class QPainter;

namespace kivaro {

class ArtworkFonts;

// Draws a skin of the main window (the program's own pictures, or a bundled skin by its theme): the three
// backgrounds, the three looks of each title-bar button, the progress frames and the history glyph.
//
// Every picture is cut from one drawing of the whole window in the matching state, so the button
// looks and progress frames fit the background around them pixel for pixel, and pure red appears
// exactly where the window's outline is cut and nowhere else.
//
// At scale 2 the same drawing is made with twice the pixels each way, for screens that show two
// device pixels to the window's pixel (the "@2x" pictures); sizes below are those of scale 1.
class SkinPainter
{
public:
    enum class Look { Normal, Hover, Pressed };
    enum class TitleButton { Menu, Minimise, Exit };

    explicit SkinPainter(const ArtworkFonts &fonts, SkinTheme theme = SkinTheme::design(), int scale = 1);

    // 391 x 103, for the search button's three looks.
    QImage background(Look searchLook) const;
    QImage titleButton(TitleButton button, Look look) const;
    // frame 0 shows a little progress, frame 7 is complete.
    QImage progressFrame(int frame) const;
    // 13 x 12 with a transparent ground: the frame the window draws behind it stays visible.
    QImage historyGlyph() const;

    static QRect titleButtonRect(TitleButton button);
    // The window's outline, in window pixels.
    QPainterPath outline(double inset = 0) const;

private:
    struct State
    {
        Look search = Look::Normal;
        std::array<Look, 3> buttons{Look::Normal, Look::Normal, Look::Normal};
        int litSegments = 0;
    };

    QImage window(const State &state) const;
    QImage cutOutline(const QImage &content) const;
    // A part of the window (in window pixels) in this painter's pixels.
    QRect scaled(const QRect &windowPixels) const;

    void paintShell(QPainter &painter) const;
    void paintBrand(QPainter &painter) const;
    void paintWells(QPainter &painter) const;
    void paintNote(QPainter &painter) const;
    void paintPod(QPainter &painter) const;
    void paintRing(QPainter &painter, int litSegments) const;
    void paintSearchFace(QPainter &painter, Look look) const;
    void paintPlate(QPainter &painter, TitleButton button, Look look) const;
    void paintPlateGlyph(QPainter &painter, TitleButton button, QPointF centre, QColor colour) const;

    const ArtworkFonts &m_fonts;
    SkinTheme m_theme;
    int m_scale;
};

} // namespace kivaro
