#pragma once

#include <QPointF>
#include <QRect>
#include <QSize>

namespace kivaro::skinlayout {

// Where the main window puts its elements, in pixels from the window's top-left corner. The
// background picture is shown from that corner too, so these are also picture coordinates, and
// the pictures are drawn to fit the elements exactly.

constexpr QSize Window(393, 105);
constexpr QSize Background(391, 103);

constexpr QRect SearchBox(16, 35, 249, 14);
constexpr QRect SearchButton(305, 16, 68, 70);
constexpr QRect HistoryGlyph(272, 37, 13, 12);
constexpr QRect HistoryFrame(272, 36, 13, 13);
constexpr QPoint NowPlayingLabel(16, 56);
constexpr QPoint TitleLink(80, 56);
constexpr QRect Ticker(40, 77, 256, 12);
constexpr QRect MenuButton(234, 74, 36, 29);
constexpr QRect MinimiseButton(269, 73, 36, 29);
constexpr QRect ExitButton(269, 0, 37, 30);

constexpr QSize ProgressFrame(68, 70);
constexpr int ProgressFrameCount = 8;
constexpr QSize Splash(500, 300);
constexpr QSize Cursor(32, 32);
constexpr QPoint CursorHotSpot(5, 0);

// The search button is round and centred in its element; everything that changes with its look
// or with progress stays inside MaxSearchRadius, so the element's outer pixels always equal the
// background around it.
constexpr QPointF SearchCentre(SearchButton.x() + SearchButton.width() / 2.0,
                               SearchButton.y() + SearchButton.height() / 2.0);
constexpr double SearchFaceRadius = 23.5;
constexpr double SearchGlowRadius = 26.5;
constexpr double RingInnerRadius = 27.5;
constexpr double RingOuterRadius = 32.0;
constexpr double PodRadius = 47.0;

// Title-bar buttons draw a plate inset from the element's edges: neighbouring elements share a
// column (the menu and minimise buttons overlap at x = 269), which must look the same in every look.
constexpr int PlateInset = 3;

} // namespace kivaro::skinlayout
