#pragma once

#include <QRgb>

class QRegion;
class QImage;
class QWidget;

namespace kivaro {

// Makes every pixel of exactly `colour` (red + 256 x green + 65536 x blue) in the window invisible
// and click-through, which gives a skinned window its shape. The shape is read from what the window
// shows when it is shown or resized, and again after each updateTransparentColor(). It is read in
// the screen's own pixels: on a scaled desktop the window's mask (QWidget::mask) follows the
// outline to the nearest logical pixel, and where the desktop takes a shape in its own pixels (X11)
// the window gets the outline to the device pixel.
void SetTransparentColor(QWidget *window, quint32 colour);
// Tells a window with a transparent colour that its pictures have changed.
void updateTransparentColor(QWidget *window);

// The region of the pixels of `image` whose colour is not exactly `key` (alpha is ignored). The
// image's devicePixelRatio is not looked at: the region is in the image's own pixels.
QRegion opaqueRegion(const QImage &image, QRgb key);
// The same in logical pixels of a picture of the window taken at `scale` device pixels to the
// logical pixel: a logical pixel is in when the device pixel under its centre is.
QRegion opaqueRegion(const QImage &deviceImage, QRgb key, qreal scale);

} // namespace kivaro
