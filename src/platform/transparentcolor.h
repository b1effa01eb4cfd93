#pragma once

#include <QRgb>

class QRegion;
class QImage;
class QWidget;

namespace kivaro {

// Makes every pixel of exactly `colour` (red + 256 x green + 65536 x blue) in the window invisible
// and click-through, which gives a skinned window its shape. The window's look is read back after
// every repaint of the window, so pictures changed later shape it too.
void SetTransparentColor(QWidget *window, quint32 colour);

// The region of the pixels of `image` whose colour is not exactly `key` (alpha is ignored).
QRegion opaqueRegion(const QImage &image, QRgb key);

} // namespace kivaro
