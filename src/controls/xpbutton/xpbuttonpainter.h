#pragma once

#include "platform/canvas.h"
#include "platform/rect.h"
#include "platform/systemcolors.h"

#include <QFont>
#include <QImage>
#include <QRegion>
#include <QSize>
#include <QString>

#include <optional>

namespace kivaro {

// A picture property: a bitmap, or an icon whose transparent parts take the mask colour when drawn.
struct XPButtonPicture
{
    QImage image; // null: no picture
    bool isIcon = false; // drawn first onto a canvas filled with MaskColor (pictures with alpha)
    bool isNull() const { return image.isNull(); }
};

// The twelve colours SetColors derives.
struct XPButtonPalette
{
    ColorRef face = 0, light = 0, highlight = 0, shadow = 0, darkShadow = 0, text = 0, hoverText = 0,
             hoverFace = 0, accent = 0, accentPale = 0, faceLift = 0, maskKey = 0;
};

// Everything the drawing reads: the control's stored properties, and what the pointer, the focus
// and the host say at paint time.
struct XPButtonLook
{
    ColorRef BackColor = SystemColorFlag | ButtonFace;
    ColorRef BackOver = SystemColorFlag | ButtonFace;
    ColorRef ForeColor = SystemColorFlag | ButtonText;
    ColorRef ForeOver = SystemColorFlag | ButtonText;
    ColorRef MaskColor = rgb(192, 192, 192);
    int ButtonType = 2;
    QString Caption;
    bool Enabled = true;
    QFont Font;
    int ColorScheme = 1;
    bool ShowFocusRect = true;
    bool SoftBevel = false;
    XPButtonPicture PictureNormal;
    XPButtonPicture PictureOver;
    int PicturePosition = 0;
    bool UseMaskColor = true;
    bool UseGreyscale = false;
    int SpecialEffect = 0;
    bool CheckBoxBehaviour = false;
    bool Value = false;

    bool hovered = false; // the hover flag
    bool hasFocus = false; // the has-focus flag
    bool isDefault = false; // the host marks the control as its default button
    ColorRef parentBackColor = SystemColorFlag | ButtonFace; // ColorScheme 4: the parent's colours
    ColorRef parentForeColor = SystemColorFlag | ButtonText;
    QImage background; // ButtonType 11: the captured background, W x H (null: nothing captured)
};

// Where caption and picture go; changed only by LayoutCaption (and PlacePicture inside it).
struct XPButtonLayout
{
    Rect captionRect;
    Rect pressedCaptionRect;
    Rect focusRect;
    int textW = 0, textH = 0;
    int picX = 0, picY = 0, picW = 0, picH = 0;
    int lastCaptionStyle = 0; // written by every DrawCaption; read by the PicturePosition 4 redraw
    // The caption as laid out in captionRect, so a paint need not lay it out again for each of its
    // copies. Painting draws the text directly when it no longer matches the look.
    Canvas::TextStencil captionStencil;
    // ButtonType 14 draws its caption bold as the host's default button: where that caption goes
    // and its stencil, laid out with a bold copy of the font (for that look only).
    Rect boldCaptionRect;
    Canvas::TextStencil boldCaptionStencil;
};

// The colour with offset added to each channel (blue scaled by blue / 192 when proportional), each
// channel stopped at 0 or 255 in the direction of the shift. SoftBevel halves the offset first.
ColorRef ShiftColor(ColorRef colour, int offset, bool proportional, bool softBevel);
// The palette for the look's ColorScheme, colour properties, ButtonType and SoftBevel. System
// colours come from the fixed table; ColorScheme 4 takes parentBackColor and parentForeColor.
XPButtonPalette SetColors(const XPButtonLook &look);
// A picture's size on the button: its size in pixels, as a picture loaded on a 96 dots-per-inch
// screen measures (its own resolution setting and device pixel ratio are not looked at).
QSize MeasurePicture(const XPButtonPicture &picture); // (picW, picH); (0, 0) for none
Rect xpButtonFocusRect(int buttonType, int W, int H); // the resize procedure's step 2
// LayoutCaption followed by PlacePicture. Reads layout.picW/picH (set from MeasurePicture by the
// caller) and, for an out-of-range PicturePosition, the previous captionRect, so that such a
// caption stays where it was (measuring from the pressed rectangle would move it one pixel down
// and right on every layout). focusRect is left alone: the caller sets it with xpButtonFocusRect.
void LayoutCaption(const XPButtonLook &look, int W, int H, XPButtonLayout &layout);
QRegion BuildRegion(int buttonType, int W, int H);
// Paint steps 3 to 8 for state 0 (up) or 2 (down), any other state drawing the face only; the
// checked-toggle substitution (step 1) and the "did anything change" gate (step 2) are the widget's.
// palette is the one SetColors made; the painter works on copies where a look changes colours
// (hover colours of ColorScheme 2, ButtonType 4 down, ButtonType 14's bold caption).
// Updates layout.lastCaptionStyle only.
void paintXPButton(Canvas &canvas, const XPButtonLook &look, const XPButtonPalette &palette,
                   XPButtonLayout &layout, int state);

// The looks' gradient over the canvas (H rows): for i = 1 to H, row i (row H - i when upward)
// takes colour shifted by -round(span / H x i), span / H kept in single precision and halves
// rounded to even; the shift is proportional or uniform, halved by softBevel. Going down, row 0 is
// left as it was (and the i = H row lies below the canvas); going up, every row is drawn.
void paintGradient(Canvas &canvas, ColorRef colour, int span, bool proportional, bool upward, bool softBevel);

// How BlitPicture composes a picture onto the canvas.
struct XPButtonBlit
{
    std::optional<ColorRef> key; // source pixels of this colour leave the canvas alone
    ColorRef maskColour = 0; // what an icon's transparent parts become before the key is tested
    std::optional<ColorRef> fill; // a flat silhouette in this colour instead of the picture's own
    bool darkOnly = false; // with fill: source pixels whose R + G + B exceeds 384 are skipped
    bool greyscale = false; // without fill: the picture in grey
    bool blend = false; // without fill and greyscale: two thirds picture, one third canvas
};
// The picture's top-left w x h pixels composed onto the canvas at (x, y), one pass over the whole
// rectangle. An icon is first drawn onto a w x h picture filled with maskColour. Pixels beyond a
// bitmap's own size, and beyond the canvas, are left alone. w or h of 0 draws nothing; a negative
// one means the picture's own size.
void BlitPicture(Canvas &canvas, int x, int y, int w, int h, const XPButtonPicture &picture,
                 const XPButtonBlit &how);

} // namespace kivaro
