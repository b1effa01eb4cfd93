#pragma once

class QRegion;
class QWidget;

namespace kivaro {

// Gives a shown top-level window this shape in the desktop's own pixels, for sight and for the
// mouse alike. On a scaled desktop a shape in the program's logical pixels can only follow a
// picture's outline to the nearest logical pixel; this one follows it to the device pixel. Only
// X11 (with its shape extension) takes a shape from a program this way: elsewhere nothing happens
// and the answer is false.
bool setNativeShape(QWidget *window, const QRegion &devicePixels);

} // namespace kivaro
