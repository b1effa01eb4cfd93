#pragma once

// Helpers shared by the painter's tests.

#include "controls/xpbutton/xpbuttonpainter.h"
#include "controls/xpbutton/xpbuttonstyle.h"

#include <QList>
#include <QPoint>

namespace xpbuttontest {

using kivaro::ColorRef;

inline QString hex(ColorRef c)
{
    return QStringLiteral("%1").arg(c, 6, 16, QLatin1Char('0'));
}

constexpr ColorRef grey(int level)
{
    return kivaro::rgb(level, level, level);
}

// The caption font of a button placed on a form: Arial 8.25 pt.
inline QFont captionFont()
{
    QFont font { QStringLiteral("Arial") };
    font.setPointSizeF(8.25);
    return font;
}

// A pixel the test expects: where, and in which colour.
struct Expected
{
    int x;
    int y;
    ColorRef colour;
};
using ExpectedPixels = QList<Expected>;

// A button of W x H painted in state (0 up, 2 down) with the layout the widget would give it.
struct Painted
{
    QImage image;
    kivaro::XPButtonLayout layout;
};

inline kivaro::XPButtonLayout layoutFor(const kivaro::XPButtonLook &look, int W, int H)
{
    kivaro::XPButtonLayout layout;
    const QSize picture = kivaro::MeasurePicture(look.PictureNormal);
    layout.picW = picture.width();
    layout.picH = picture.height();
    layout.focusRect = kivaro::xpButtonFocusRect(look.ButtonType, W, H);
    kivaro::LayoutCaption(look, W, H, layout);
    return layout;
}

inline Painted paint(const kivaro::XPButtonLook &look, int W, int H, int state)
{
    Painted painted { QImage(W, H, QImage::Format_RGB32), layoutFor(look, W, H) };
    painted.image.fill(Qt::magenta);
    kivaro::Canvas canvas(painted.image);
    kivaro::paintXPButton(canvas, look, kivaro::SetColors(look), painted.layout, state);
    return painted;
}

inline ColorRef at(const QImage &image, int x, int y)
{
    return kivaro::fromQRgb(image.pixel(x, y));
}

} // namespace xpbuttontest

Q_DECLARE_METATYPE(xpbuttontest::ExpectedPixels)
Q_DECLARE_METATYPE(kivaro::Rect)
