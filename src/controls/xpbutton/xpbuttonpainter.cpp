#include "controls/xpbutton/xpbuttonpainter.h"

namespace kivaro {

ColorRef ShiftColor(ColorRef colour, int offset, bool proportional, bool softBevel)
{
    Q_UNUSED(offset);
    Q_UNUSED(proportional);
    Q_UNUSED(softBevel);
    return colour;
}

XPButtonPalette SetColors(const XPButtonLook &look)
{
    Q_UNUSED(look);
    return {};
}

QSize MeasurePicture(const XPButtonPicture &picture)
{
    if (picture.isNull())
        return { 0, 0 };
    return picture.image.size();
}

Rect xpButtonFocusRect(int buttonType, int W, int H)
{
    Q_UNUSED(buttonType);
    return { 4, 4, W - 4, H - 4 };
}

void LayoutCaption(const XPButtonLook &look, int W, int H, XPButtonLayout &layout)
{
    Q_UNUSED(look);
    Q_UNUSED(W);
    Q_UNUSED(H);
    Q_UNUSED(layout);
}

QRegion BuildRegion(int buttonType, int W, int H)
{
    Q_UNUSED(buttonType);
    return QRegion(0, 0, W, H);
}

void paintXPButton(Canvas &canvas, const XPButtonLook &look, const XPButtonPalette &palette,
                   XPButtonLayout &layout, int state)
{
    Q_UNUSED(look);
    Q_UNUSED(layout);
    Q_UNUSED(state);
    canvas.fill(canvas.bounds(), palette.face);
}

} // namespace kivaro
