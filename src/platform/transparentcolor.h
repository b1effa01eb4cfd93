#pragma once

#include <QRgb>

class QRegion;
class QImage;
class QWidget;

namespace kivaro {

// Makes every pixel of exactly `colour` (red + 256 x green + 65536 x blue) in the window invisible
// and click-through, which gives a skinned window its shape. The shape is read from what the window
// shows when it is shown or resized, and again after each updateTransparentColor().
void SetTransparentColor(QWidget *window, quint32 colour);
// Tells a window with a transparent colour that its pictures have changed.
void updateTransparentColor(QWidget *window);

// The region of the pixels of `image` whose colour is not exactly `key` (alpha is ignored).
QRegion opaqueRegion(const QImage &image, QRgb key);

} // namespace kivaro
