#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

namespace kivaro::form1layout {

// Where the main window puts its elements, in pixels from the window's top-left corner. The
// background picture is shown from that corner too, so these are also the coordinates the default
// pictures are drawn to (tools/make-assets).

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

} // namespace kivaro::form1layout
