#pragma once

#include <QRgb>

namespace kivaro::palette {

// The skin is graphite blue with cyan light. No colour here may come near pure red: the main
// window cuts its outline wherever the pictures hold exactly (255, 0, 0), and a reddish pixel
// next to the cut would look like a hole that is not one.

// Outline and body of the window shell.
constexpr QRgb ShellEdge = qRgb(9, 12, 20);         // outermost line, also what edges blend into
constexpr QRgb ShellBevelTop = qRgb(128, 156, 196);
constexpr QRgb ShellBevelBottom = qRgb(36, 48, 68);
constexpr QRgb ShellBodyTop = qRgb(62, 76, 102);
constexpr QRgb ShellBodyMiddle = qRgb(34, 43, 61);
constexpr QRgb ShellBodyBottom = qRgb(17, 22, 33);
constexpr QRgb GlossTint = qRgb(255, 255, 255);
constexpr int GlossAlphaTop = 46;
constexpr int GlossAlphaBottom = 4;

// Recessed wells: search field, history glyph, ticker.
constexpr QRgb WellShadow = qRgb(5, 8, 14);
constexpr QRgb WellHighlight = qRgb(104, 132, 170);
constexpr QRgb FieldFace = qRgb(255, 255, 255);
constexpr QRgb TickerFaceTop = qRgb(6, 16, 28);
constexpr QRgb TickerFaceBottom = qRgb(10, 28, 44);
constexpr QRgb TickerGlow = qRgb(0, 170, 210);

// The light strip behind the title link: navy text has to read well on it.
constexpr QRgb TitleStripTop = qRgb(226, 235, 246);
constexpr QRgb TitleStripBottom = qRgb(192, 207, 226);
constexpr QRgb TitleStripEdge = qRgb(20, 28, 42);

// Accent light: progress ring, hover rims, brand mark.
constexpr QRgb Accent = qRgb(0, 206, 244);
constexpr QRgb AccentBright = qRgb(150, 240, 255);
constexpr QRgb AccentDeep = qRgb(0, 104, 160);
constexpr QRgb RingTrack = qRgb(26, 40, 58);
constexpr QRgb RingTrackEdge = qRgb(44, 62, 86);

// The round pod that holds the search button.
constexpr QRgb PodOuter = qRgb(22, 28, 40);
constexpr QRgb PodInner = qRgb(48, 60, 82);

// Search button face, per look.
constexpr QRgb SearchFaceLight = qRgb(84, 170, 228);
constexpr QRgb SearchFaceMiddle = qRgb(26, 92, 164);
constexpr QRgb SearchFaceDark = qRgb(12, 44, 96);
constexpr QRgb SearchHoverLight = qRgb(140, 226, 255);
constexpr QRgb SearchHoverMiddle = qRgb(30, 140, 214);
constexpr QRgb SearchHoverDark = qRgb(10, 66, 128);
constexpr QRgb SearchPressedLight = qRgb(46, 112, 178);
constexpr QRgb SearchPressedDark = qRgb(8, 30, 68);
constexpr QRgb SearchGlyph = qRgb(244, 250, 255);
constexpr QRgb SearchGlyphPressed = qRgb(206, 226, 244);

// Title-bar button plates, per look.
constexpr QRgb PlateTop = qRgb(70, 87, 115);
constexpr QRgb PlateBottom = qRgb(34, 44, 63);
constexpr QRgb PlateHoverTop = qRgb(62, 104, 150);
constexpr QRgb PlateHoverBottom = qRgb(24, 56, 92);
constexpr QRgb PlatePressedTop = qRgb(16, 24, 36);
constexpr QRgb PlatePressedBottom = qRgb(38, 52, 74);
constexpr QRgb PlateBorder = qRgb(10, 14, 22);
constexpr QRgb PlateGlyph = qRgb(200, 214, 232);
constexpr QRgb PlateGlyphHover = qRgb(236, 252, 255);
// The exit button warms up under the mouse; coral, far enough from the outline red.
constexpr QRgb ExitGlyphHover = qRgb(255, 150, 128);
constexpr QRgb ExitRimHover = qRgb(236, 120, 104);

// The history drop-down arrow, in the title link's navy.
constexpr QRgb HistoryArrow = qRgb(3, 16, 103);

// Text of the brand pictures.
constexpr QRgb BrandText = qRgb(240, 246, 255);
constexpr QRgb BrandSubtle = qRgb(150, 170, 198);

// The pointing hand.
constexpr QRgb CursorFill = qRgb(255, 255, 255);
constexpr QRgb CursorOutline = qRgb(0, 0, 0);

} // namespace kivaro::palette
