#pragma once

#include <QImage>
#include <QPoint>
#include <QPointF>
#include <QRgb>
#include <QString>

#include <optional>

class QPainter;

namespace kivaro {

// Pictures on screens with more than one device pixel to the logical pixel (scaled desktops).
//
// A picture is laid on the device's own pixel grid: each device pixel whose centre the picture
// covers takes a colour worked out from the picture pixels under it, so the result is as sharp as
// the grid allows, and pictures placed side by side (a button's look on the background it was cut
// from) meet without a seam wherever their logical positions fall.

// A picture in device pixels and where it goes on the paint device.
struct DevicePicture
{
    QImage image; // device pixels; devicePixelRatio 1, so it is drawn pixel for pixel
    QPoint topLeft; // in the paint device's own pixels
};

enum class Resampling {
    // Artwork: blended between neighbouring pixels where the picture grows, averaged over the
    // pixels each device pixel covers where it shrinks.
    Smooth,
    // Pixel drawings: each device pixel the average of the picture pixels it covers. At a whole
    // scale (2, 3) every picture pixel becomes a square of device pixels, exactly; between whole
    // scales a one-pixel line keeps its weight everywhere (one and a half device pixels at 1.5)
    // instead of coming out one or two pixels wide by where it falls.
    Sharp,
};

// The picture as a device with deviceScale device pixels to the logical pixel shows it with its
// top-left corner at origin (device pixels, maybe between two). The picture's devicePixelRatio says
// how many of its pixels make a logical pixel (2 for an "@2x" picture).
//
// With a key, picture pixels of exactly that colour (whatever their alpha) are holes: a device
// pixel less than half covered by the other pixels becomes exactly the key, any other pixel an
// opaque colour of the other pixels alone, so no key colour bleeds into an edge and the holes stay
// where the picture has them. Without a key the picture's own alpha is averaged
// (ARGB32_Premultiplied).
DevicePicture resampleForDevice(const QImage &picture, qreal deviceScale, QPointF origin, Resampling how,
                                std::optional<QRgb> key = {});

// Draws it with its pixels on the device's pixels, whatever the painter's transformation.
void drawDevicePicture(QPainter &painter, const DevicePicture &picture);

// Draws a drawing made pixel by pixel for logical pixels (a drawn control's picture) with its
// top-left corner at the painter's origin: as it is where the painter paints pixel for pixel,
// else resampled Sharp onto the device's pixels.
void drawPixelDrawing(QPainter &painter, const QImage &drawing);

// Whether the painter puts logical pixels one to one on whole device pixels (an unscaled screen),
// where pictures are drawn as they are.
bool paintsPixelForPixel(const QPainter &painter);

// The name of a picture's twin with twice its pixels each way, as Qt names such files:
// "skins/blue/IMN.png" has "skins/blue/IMN@2x.png".
QString twinAt2x(const QString &path);
// Whether pictures are best taken from their "@2x" twins: some screen of the desktop shows more
// than one device pixel to the logical pixel (Qt's own rule for such files).
bool screensWantTwinsAt2x();

} // namespace kivaro
