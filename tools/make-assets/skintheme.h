#pragma once

#include "palette.h"

#include <QGradientStops>
#include <QList>
#include <QRectF>
#include <QString>

namespace kivaro {

// Everything a skin drawing may change: its colours and the parts of its outline. A default
// theme draws the program's own pictures; each bundled skin is the same drawing with a theme of
// its own, so its button looks and progress frames fit its backgrounds pixel for pixel.
//
// No colour may come near pure red (255, 0, 0): the main window cuts its outline there.
struct SkinTheme
{
    // The name of a bundled skin (its marker file and folder); empty for the program's own pictures.
    QString name;

    // The outline: a rounded panel, the round pod of the search button, a tab above the panel for
    // the exit button and one below it for the menu and minimise buttons.
    QRectF Panel { 2, 9, 318, 88 };
    double PanelRadius = 14;
    double PodRadius = 47;
    double TabRadius = 9;

    // The body's gradient from top to bottom (stops 0 to 1 over the window's height).
    QGradientStops Body { { 0, QColor::fromRgb(palette::ShellBodyTop) },
                          { 0.45, QColor::fromRgb(palette::ShellBodyMiddle) },
                          { 1, QColor::fromRgb(palette::ShellBodyBottom) } };

    QRgb ShellEdge = palette::ShellEdge;
    QRgb ShellBevelTop = palette::ShellBevelTop;
    QRgb ShellBevelBottom = palette::ShellBevelBottom;
    QRgb GlossTint = palette::GlossTint;
    int GlossAlphaTop = palette::GlossAlphaTop;
    int GlossAlphaBottom = palette::GlossAlphaBottom;
    QRgb WellShadow = palette::WellShadow;
    QRgb WellHighlight = palette::WellHighlight;
    QRgb FieldFace = palette::FieldFace;
    QRgb TickerFaceTop = palette::TickerFaceTop;
    QRgb TickerFaceBottom = palette::TickerFaceBottom;
    QRgb TickerGlow = palette::TickerGlow;
    QRgb TitleStripTop = palette::TitleStripTop;
    QRgb TitleStripBottom = palette::TitleStripBottom;
    QRgb TitleStripEdge = palette::TitleStripEdge;
    QRgb Accent = palette::Accent;
    QRgb AccentBright = palette::AccentBright;
    QRgb AccentDeep = palette::AccentDeep;
    QRgb RingTrack = palette::RingTrack;
    QRgb RingTrackEdge = palette::RingTrackEdge;
    QRgb PodOuter = palette::PodOuter;
    QRgb PodInner = palette::PodInner;
    QRgb SearchFaceLight = palette::SearchFaceLight;
    QRgb SearchFaceMiddle = palette::SearchFaceMiddle;
    QRgb SearchFaceDark = palette::SearchFaceDark;
    QRgb SearchHoverLight = palette::SearchHoverLight;
    QRgb SearchHoverMiddle = palette::SearchHoverMiddle;
    QRgb SearchHoverDark = palette::SearchHoverDark;
    QRgb SearchPressedLight = palette::SearchPressedLight;
    QRgb SearchPressedDark = palette::SearchPressedDark;
    QRgb SearchGlyph = palette::SearchGlyph;
    QRgb SearchGlyphPressed = palette::SearchGlyphPressed;
    QRgb PlateTop = palette::PlateTop;
    QRgb PlateBottom = palette::PlateBottom;
    QRgb PlateHoverTop = palette::PlateHoverTop;
    QRgb PlateHoverBottom = palette::PlateHoverBottom;
    QRgb PlatePressedTop = palette::PlatePressedTop;
    QRgb PlatePressedBottom = palette::PlatePressedBottom;
    QRgb PlateBorder = palette::PlateBorder;
    QRgb PlateGlyph = palette::PlateGlyph;
    QRgb PlateGlyphHover = palette::PlateGlyphHover;
    QRgb ExitGlyphHover = palette::ExitGlyphHover;
    QRgb ExitRimHover = palette::ExitRimHover;
    QRgb BrandText = palette::BrandText;
    QRgb BrandSubtle = palette::BrandSubtle;

    // The program's own pictures.
    static SkinTheme design() { return {}; }
    // The skins that come with the program: a light, a dark and a colourful one.
    static QList<SkinTheme> bundled();
};

} // namespace kivaro
