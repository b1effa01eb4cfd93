#pragma once

#include <QPoint>

namespace kivaro {

// The default pictures are built into the program as resources under ":/" (see kivaro.qrc):
// ":/skin/<stored picture name>.png" for the main window's skin (IMn, Xo, P0 ...), ":/skin/history.png",
// ":/cursors/pointing-hand-hotspot-5-0.png", ":/splash.png" and ":/icons/kivaro-64.png" / "-256.png".
//
// The resource table lives in a static library that nothing refers to by name, so a linker would
// leave it out: call this once before loading any of the pictures.
void initAssets();

// Where the pointing hand's fingertip is, for QCursor.
constexpr QPoint PointingHandHotSpot(5, 0);

} // namespace kivaro
