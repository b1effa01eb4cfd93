#pragma once

#include <QFont>
#include <QRect>

class QWidget;

namespace kivaro {

// What the program's windows share about laying themselves out.

// The windows were designed in twips; screens have 15 twips to the pixel here.
constexpr int TwipsPerPixel = 15;
constexpr QRect fromTwips(int left, int top, int width, int height)
{
    return { left / TwipsPerPixel, top / TwipsPerPixel, width / TwipsPerPixel, height / TwipsPerPixel };
}

// The design's "Arial" at a size in pixels (the design's point sizes at 96 dots per inch, for
// instance 11 pixels for 8.25 pt); its metric twin Liberation Sans stands in where Arial is missing.
QFont designFont(int pixelSize, bool bold = false, bool underline = false);

// Places a window in the middle of the primary screen's available area.
void centreOnScreen(QWidget *window);

} // namespace kivaro
