#include "controls/xpbutton/xpbuttonpainter.h"

#include "controls/xpbutton/xpbuttonstyle.h"
#include "platform/colormath.h"
#include "platform/rounding.h"

#include <QPainter>

#include <algorithm>
#include <array>
#include <initializer_list>
#include <optional>

namespace kivaro {

using namespace xpbutton;

namespace {

constexpr int ChannelMax = 255;
// Dark-only silhouettes skip source pixels whose channels add up to more than this.
constexpr int DarkOnlyLimit = 384;
// Greyscale weights of red, green and blue.
constexpr double GreyRed = 0.3;
constexpr double GreyGreen = 0.59;
constexpr double GreyBlue = 0.11;

constexpr Canvas::TextFormat CaptionFormat = Canvas::WordBreak | Canvas::CenterHorizontally;

// The caption text without its leading and trailing spaces (only spaces, not other blanks).
bool blankCaption(const QString &caption)
{
    return std::all_of(caption.cbegin(), caption.cend(), [](QChar c) { return c == QLatin1Char(' '); });
}

QFont boldFont(const QFont &font)
{
    QFont bold = font;
    bold.setBold(true);
    return bold;
}

// Where the caption goes: measured with word wrapping from a starting box that leaves room for
// the picture, then centred in what is left. An out-of-range PicturePosition measures it where it
// was (previous, its last captionRect) and moves it nowhere.
Rect placeCaption(const XPButtonLook &look, const QFont &font, int W, int H, int picW, int picH,
                  const Rect &previous)
{
    Rect start;
    switch (look.PicturePosition) {
    case PictureLeft:
        start = { picW + 1, 1, W - 2, H - 2 };
        break;
    case PictureRight:
        start = { 1, 1, W - 2 - picW, H - 2 };
        break;
    case PictureAbove:
        start = { 1, picH + 1, W - 2, H - 2 };
        break;
    case PictureBelow:
        start = { 1, 1, W - 2, H - 2 - picH };
        break;
    case PictureCentred:
        start = { 1, 1, W - 2, H - 2 };
        break;
    default:
        start = previous;
        break;
    }
    const Rect caption = Canvas::measureText(start, look.Caption, Canvas::WordBreak, font);
    int dx = 0;
    int dy = 0;
    switch (look.PicturePosition) {
    case PictureRight:
        dx = (W - caption.right - picW - PictureSideGap) / 2;
        dy = (H - caption.bottom) / 2;
        break;
    case PictureBelow:
        dx = (W - caption.right) / 2;
        dy = (H - caption.bottom - picH - PictureSideGap) / 2;
        break;
    case PictureLeft:
    case PictureAbove:
    case PictureCentred:
        dx = (W - caption.right) / 2;
        dy = (H - caption.bottom) / 2;
        break;
    default:
        break;
    }
    return caption.translated(dx, dy);
}

// The part of a caption laid out in rect that can show on a W x H button, in the caption's own
// coordinates: the copies of a caption lie at most CaptionCopyReach pixels from its place (pressed
// one down and right, its relief one more either way). A caption far larger than the button, in
// a huge font, is laid out no larger than the button.
constexpr int CaptionCopyReach = 2;
Rect stencilWindow(const Rect &rect, int W, int H)
{
    return Rect { 0, 0, W, H }
        .adjusted(-CaptionCopyReach, -CaptionCopyReach, CaptionCopyReach, CaptionCopyReach)
        .translated(-rect.left, -rect.top);
}

// One paint: the look being drawn and the colours it draws with. The palette is a copy, so a look
// that changes colours for the length of a paint leaves the caller's palette as it was.
struct Painter
{
    Canvas &canvas;
    const XPButtonLook &look;
    XPButtonPalette pal;
    XPButtonLayout &layout;
    int state;
    int W;
    int H;
    // Where the caption goes and what it is drawn with; type 14 swaps in its bold caption for one
    // caption.
    const QFont *font;
    Rect rest;
    Rect pressed;
    const Canvas::TextStencil *stencil;
    ColorRef textColour; // the last colour text was drawn in

    ColorRef S(ColorRef c, int n) const { return ShiftColor(c, n, false, look.SoftBevel); }
    ColorRef P(ColorRef c, int n) const { return ShiftColor(c, n, true, look.SoftBevel); }
    bool hovered() const { return look.hovered; }
    bool focusShown() const { return look.ShowFocusRect && look.hasFocus; }

    void fill(int x, int y, int w, int h, ColorRef c) { canvas.fill(Rect::fromSize(x, y, w, h), c); }
    void frame(int x, int y, int w, int h, ColorRef c) { canvas.frame(Rect::fromSize(x, y, w, h), c); }
    void line(int x1, int y1, int x2, int y2, ColorRef c) { canvas.line(x1, y1, x2, y2, c); }
    void pixel(int x, int y, ColorRef c) { canvas.setPixel(x, y, c); }
    void corners(int inset, ColorRef c)
    {
        pixel(inset, inset, c);
        pixel(inset, H - 1 - inset, c);
        pixel(W - 1 - inset, inset, c);
        pixel(W - 1 - inset, H - 1 - inset, c);
    }

    // The bevel: c1 up the left and along the top, c2 down the right and back along the bottom;
    // a double bevel repeats it one pixel further in with c3 and c4.
    void bevel(ColorRef c1, ColorRef c2, ColorRef c3, ColorRef c4, int i, bool single)
    {
        const int e = i;
        const int r = W - 1 - i;
        const int b = H - 1 - i;
        const std::array<QPoint, 3> outerLight { QPoint(e, b), QPoint(e, e), QPoint(r, e) };
        const std::array<QPoint, 3> outerDark { QPoint(r, e), QPoint(r, b), QPoint(e - 1, b) };
        canvas.polyline(outerLight, c1);
        canvas.polyline(outerDark, c2);
        if (single)
            return;
        const std::array<QPoint, 3> innerLight { QPoint(e + 1, b - 1), QPoint(e + 1, e + 1),
                                                 QPoint(r - 1, e + 1) };
        const std::array<QPoint, 3> innerDark { QPoint(r - 1, e + 1), QPoint(r - 1, b - 1),
                                                QPoint(e, b - 1) };
        canvas.polyline(innerLight, c3);
        canvas.polyline(innerDark, c4);
    }
    void bevel(ColorRef c1, ColorRef c2, int i) { bevel(c1, c2, 0, 0, i, true); }

    void focus()
    {
        if (!focusShown())
            return;
        textColour = pal.text; // the focus rectangle sets the text colour as it draws
        canvas.focusRect(layout.focusRect);
    }
    void gradient(ColorRef c, int span, bool proportional, bool upward)
    {
        paintGradient(canvas, c, span, proportional, upward, look.SoftBevel);
    }
    // The captured background; a capture smaller than the button (taken before a resize) covers
    // only its own size and leaves the face beyond it.
    void background() { canvas.drawImage(0, 0, look.background); }
    // Type 5: a lilac box around the caption instead of the focus rectangle.
    void etchedFocus()
    {
        if (focusShown()) {
            frame(layout.captionRect.left - 2, layout.captionRect.top - 1, layout.textW + 4, layout.textH + 2,
                  EtchedFocus);
        }
    }

    // --- Caption --------------------------------------------------------------------------------

    void drawText(const Rect &r, ColorRef colour)
    {
        textColour = colour;
        // The part of the caption's rectangle that lies on the button.
        const Rect onButton { -r.left, -r.top, W - r.left, H - r.top };
        if (stencil->matches(r.width(), r.height(), look.Caption, CaptionFormat, *font)
            && stencil->covers(onButton))
            canvas.drawStencil(r.left, r.top, *stencil, colour);
        else
            canvas.drawText(r, look.Caption, CaptionFormat, colour, *font);
    }

    void captionRelief(const Rect &r)
    {
        if (look.SpecialEffect <= EffectNone)
            return;
        ColorRef base = pal.face;
        if (look.ButtonType == LookGlossy || look.ButtonType == LookRounded
            || look.ButtonType == LookGradient)
            base = pal.faceLift;
        else if (look.ButtonType == LookAccent && state == StateUp && hovered()
                 && look.ColorScheme != SchemeOwnColours)
            base = pal.accentPale;
        const bool sunken = look.SpecialEffect == EffectSunken;
        drawText(r.translated(1, 1), S(base, sunken ? ReliefOffset : -ReliefOffset));
        if (look.SpecialEffect < EffectShadow)
            drawText(r.translated(-1, -1), S(base, sunken ? -ReliefOffset : ReliefOffset));
    }

    void caption(int style)
    {
        layout.lastCaptionStyle = style;
        switch (style) {
        case CaptionRest:
            captionRelief(rest);
            drawText(rest, pal.text);
            break;
        case CaptionHover:
            captionRelief(rest);
            drawText(rest, pal.hoverText);
            break;
        case CaptionPressed:
            captionRelief(pressed);
            drawText(pressed, look.ButtonType == LookRounded ? pal.light : pal.hoverText);
            break;
        case CaptionEngraved:
            drawText(pressed, pal.highlight);
            drawText(rest, pal.shadow);
            break;
        case CaptionShadowOnly:
            drawText(rest, pal.shadow);
            break;
        case CaptionGlossyDisabled:
            drawText(rest, P(pal.faceLift, GlossyDisabledText));
            break;
        case CaptionGradientDisabled:
            drawText(pressed, pal.highlight);
            drawText(rest, pal.face);
            break;
        case CaptionGradientPressed:
            drawText(pressed, S(pal.shadow, GradientFrameOffset));
            drawText(rest, pal.highlight);
            break;
        default:
            drawText(rest, textColour);
            break;
        }
    }

    // Type 14 as the host's default button: the caption laid out and drawn with a bold copy of the
    // font, everything else with the font as it is.
    void boldCaption(int style)
    {
        const QFont bold = boldFont(look.Font);
        Rect boldRest = layout.boldCaptionRect;
        const Canvas::TextStencil *boldStencil = &layout.boldCaptionStencil;
        Canvas::TextStencil laidOut;
        if (!boldStencil->matches(boldRest.width(), boldRest.height(), look.Caption, CaptionFormat, bold)) {
            // Laid out for another look or font: lay it out now.
            boldRest = placeCaption(look, bold, W, H, layout.picW, layout.picH, layout.captionRect);
            laidOut = Canvas::textStencil(boldRest.width(), boldRest.height(), look.Caption, CaptionFormat,
                                          bold, stencilWindow(boldRest, W, H));
            boldStencil = &laidOut;
        }
        const Painter regular = *this;
        font = &bold;
        rest = boldRest;
        pressed = boldRest.translated(1, 1);
        stencil = boldStencil;
        caption(style);
        font = regular.font;
        rest = regular.rest;
        pressed = regular.pressed;
        stencil = regular.stencil;
    }

    // --- Picture --------------------------------------------------------------------------------

    XPButtonBlit blitOptions() const
    {
        XPButtonBlit how;
        if (look.UseMaskColor)
            how.key = pal.maskKey;
        how.maskColour = pal.maskKey;
        return how;
    }
    void blit(const XPButtonPicture &picture, int x, int y, XPButtonBlit how)
    {
        BlitPicture(canvas, x, y, layout.picW, layout.picH, picture, how);
    }
    void blit(const XPButtonPicture &picture, int x, int y) { blit(picture, x, y, blitOptions()); }
    void silhouette(const XPButtonPicture &picture, int x, int y, ColorRef fill, bool darkOnly = false)
    {
        XPButtonBlit how = blitOptions();
        how.fill = fill;
        how.darkOnly = darkOnly;
        blit(picture, x, y, how);
    }

    void pictureRelief(int a, const XPButtonPicture &picture)
    {
        if (look.SpecialEffect <= EffectNone)
            return;
        ColorRef base = pal.face;
        if (look.ButtonType == LookGlossy)
            base = pal.faceLift;
        else if (a == -1 && look.ColorScheme != SchemeOwnColours)
            base = pal.accentPale;
        const bool sunken = look.SpecialEffect == EffectSunken;
        const int x = layout.picX + a;
        const int y = layout.picY + a;
        silhouette(picture, x + 1, y + 1, S(base, sunken ? ReliefOffset : -ReliefOffset));
        if (look.SpecialEffect < EffectShadow)
            silhouette(picture, x - 1, y - 1, S(base, sunken ? -ReliefOffset : ReliefOffset));
    }

    void picture(int pictureState)
    {
        const XPButtonPicture &normal = look.PictureNormal;
        const XPButtonPicture &over = look.PictureOver;
        if (normal.isNull())
            return;
        const int x = layout.picX;
        const int y = layout.picY;
        const int type = look.ButtonType;
        switch (pictureState) {
        case PictureUp:
            if (!hovered()) {
                pictureRelief(0, normal);
                XPButtonBlit how = blitOptions();
                how.greyscale = look.UseGreyscale;
                how.blend = type == LookAccent;
                blit(normal, x, y, how);
            } else if (type == LookAccent) {
                pictureRelief(-1, normal);
                silhouette(normal, x + 1, y + 1, pal.shadow);
                blit(normal, x - 1, y - 1);
            } else {
                const XPButtonPicture &p = over.isNull() ? normal : over;
                pictureRelief(0, p);
                blit(p, x, y);
            }
            break;
        case PictureDown:
            if (!over.isNull() && type != LookAccent) {
                // The etched look keeps its contents still when pressed.
                const int k = type == LookEtched ? 0 : 1;
                blit(over, x + k, y + k);
            } else if (type == LookEtched || type == LookAccent) {
                pictureRelief(0, normal);
                blit(normal, x, y);
            } else {
                pictureRelief(1, normal);
                blit(normal, x + 1, y + 1);
            }
            break;
        case PictureDisabled:
            if (type == LookGlossy) {
                XPButtonBlit how = blitOptions();
                how.greyscale = true;
                blit(normal, x + 1, y + 1, how);
            } else if (type == LookEtched || type == LookSoftBevel || type == LookAccent) {
                const ColorRef fill
                    = type == LookAccent ? S(pal.shadow, AccentDisabledPictureOffset) : pal.shadow;
                silhouette(normal, x, y, fill, true);
            } else {
                silhouette(normal, x + 1, y + 1, pal.highlight, true);
                silhouette(normal, x, y, pal.shadow, true);
            }
            break;
        default:
            break;
        }
        if (look.PicturePosition == PictureCentred)
            caption(layout.lastCaptionStyle);
    }

    // --- Looks ----------------------------------------------------------------------------------

    // Whether the look about to be drawn paints every pixel before it reads any, so that filling
    // the face first would change nothing (a gradient, or an inner fill inside a full frame). The
    // glossy and gradient looks are the costliest, and this saves them a pass over the surface.
    bool faceCovered() const
    {
        const int type = look.ButtonType;
        if (!look.Enabled)
            return type == LookGlossy || type == LookRounded || type == LookGradient;
        if (state != StateUp && state != StateDown)
            return false;
        if (type == LookGlossy || type == LookRounded || type == LookGradient)
            return true;
        if (type == LookEllipse)
            return true; // the ellipse fills its corners with the face itself
        if (type == LookAccent)
            return hovered(); // inner fill inside the accent frame
        if (type == LookTransparent)
            return look.background.width() >= W && look.background.height() >= H;
        return false;
    }

    void glossyEdges(const GlossyEdges &e)
    {
        frame(1, 2, W - 2, H - 4, e.frame);
        line(2, H - 2, W - 2, H - 2, e.bottom);
        line(2, 1, W - 2, 1, e.top);
        line(1, 2, W - 1, 2, e.second);
        line(2, 3, 2, H - 3, e.sides);
        line(W - 3, 3, W - 3, H - 3, e.sides);
    }

    void glossyUp(int h)
    {
        gradient(pal.faceLift, GlossySpan, true, false);
        caption(h);
        frame(0, 0, W, H, GlossyFrame);
        corners(1, GlossyCorner);
        if (hovered()) {
            glossyEdges(GlossyHoverEdges);
        } else if (look.ShowFocusRect && (look.hasFocus || look.isDefault)) {
            glossyEdges(GlossyFocusEdges);
        } else {
            const ColorRef f = pal.faceLift;
            line(2, H - 2, W - 2, H - 2, P(f, GlossyRestBottom));
            line(1, H - 3, W - 2, H - 3, P(f, GlossyRestAboveBottom));
            line(W - 2, 2, W - 2, H - 2, P(f, GlossyRestRight));
            line(W - 3, 3, W - 3, H - 3, P(f, GlossyRestInnerRight));
            line(2, 1, W - 2, 1, P(f, GlossyRestTop));
            line(1, 2, W - 2, 2, P(f, GlossyRestSecond));
            line(1, 2, 1, H - 2, P(f, GlossyRestLeft));
            line(2, 3, 2, H - 3, P(f, GlossyRestInnerLeft));
        }
    }

    void roundedUp(int style)
    {
        fill(1, 1, W - 2, H - 2, pal.light);
        caption(style);
        frame(0, 0, W, H, pal.darkShadow);
        corners(1, pal.darkShadow);
        line(1, 2, 2, 0, pal.face);
        line(3, 2, W - 3, 2, pal.highlight);
        line(2, 2, 2, H - 3, pal.highlight);
        pixel(3, 3, pal.highlight);
        line(W - 3, 1, W - 3, H - 3, pal.face);
        line(1, H - 3, W - 3, H - 3, pal.face);
        pixel(W - 4, H - 4, pal.face);
        line(W - 2, 2, W - 2, H - 2, pal.shadow);
        line(2, H - 2, W - 2, H - 2, pal.shadow);
        pixel(W - 3, H - 3, pal.shadow);
    }

    void gradientFrame()
    {
        frame(0, 0, W, H, S(pal.shadow, GradientFrameOffset));
        frame(1, 1, W - 2, H - 2, S(pal.face, GradientInnerFrameOffset));
        fill(2, 2, W - 4, 2, pal.highlight);
        fill(2, 4, 2, H - 6, pal.highlight);
    }

    void up()
    {
        const int h = hovered() ? CaptionHover : CaptionRest;
        switch (look.ButtonType) {
        case LookFramedBevel:
            caption(h);
            bevel(pal.highlight, pal.shadow, pal.highlight, pal.shadow, 1, false);
            frame(0, 0, W, H, pal.darkShadow);
            focus();
            break;
        case LookClassic:
            caption(h);
            if (look.ShowFocusRect && look.isDefault) {
                bevel(pal.highlight, pal.darkShadow, pal.light, pal.shadow, 1, false);
                focus();
                frame(0, 0, W, H, pal.darkShadow);
            } else {
                bevel(pal.highlight, pal.darkShadow, pal.light, pal.shadow, 0, false);
            }
            break;
        case LookGlossy:
            glossyUp(h);
            break;
        case LookRounded:
            roundedUp(h);
            break;
        case LookEtched:
            fill(1, 1, W - 1, H - 1, S(pal.face, EtchedFaceOffset));
            caption(h);
            frame(1, 1, W - 1, H - 1, pal.highlight);
            frame(0, 0, W - 1, H - 1, S(pal.shadow, EtchedFrameOffset));
            pixel(1, H - 2, S(pal.shadow, -EtchedFrameOffset));
            pixel(W - 2, 1, S(pal.shadow, -EtchedFrameOffset));
            etchedFocus();
            break;
        case LookSoftBevel:
            caption(h);
            bevel(S(pal.light, SoftLightOffset), pal.shadow, S(pal.light, SoftLightOffset), pal.shadow, 0,
                  false);
            focus();
            break;
        case LookThinRaised:
            caption(h);
            bevel(pal.highlight, pal.shadow, 0);
            focus();
            break;
        case LookToolbar:
            caption(h);
            if (hovered())
                bevel(pal.highlight, pal.shadow, 0);
            focus();
            break;
        case LookAccent:
            if (hovered())
                fill(1, 1, W, H, pal.accentPale);
            caption(h);
            if (hovered())
                frame(0, 0, W, H, pal.accent);
            focus();
            break;
        case LookTransparent:
            background();
            caption(h);
            focus();
            break;
        case LookHoverBevel:
            caption(h);
            if (hovered())
                bevel(pal.highlight, pal.darkShadow, pal.light, pal.shadow, 0, false);
            focus();
            break;
        case LookEllipse:
            canvas.ellipse({ 0, 0, W, H }, hovered() ? pal.shadow : pal.face, pal.face, pal.face);
            caption(h);
            break;
        case LookGradient:
            if (hovered())
                fill(0, 0, W, H, pal.light);
            else
                gradient(pal.highlight, GradientSpan, false, false);
            if (look.isDefault)
                boldCaption(h);
            else
                caption(h);
            gradientFrame();
            focus();
            break;
        default:
            break;
        }
    }

    void down()
    {
        switch (look.ButtonType) {
        case LookFramedBevel:
            caption(CaptionPressed);
            bevel(pal.shadow, pal.highlight, pal.shadow, pal.highlight, 1, false);
            frame(0, 0, W, H, pal.darkShadow);
            focus();
            break;
        case LookClassic:
            caption(CaptionPressed);
            if (look.ShowFocusRect && look.isDefault) {
                frame(0, 0, W, H, pal.darkShadow);
                frame(1, 1, W - 2, H - 2, pal.shadow);
                focus();
            } else {
                bevel(pal.darkShadow, pal.highlight, pal.shadow, pal.light, 0, false);
            }
            break;
        case LookGlossy: {
            const ColorRef base = P(pal.faceLift, GlossyDownBase);
            gradient(base, GlossySpan, true, true);
            caption(CaptionPressed);
            frame(0, 0, W, H, GlossyFrame);
            corners(1, GlossyCorner);
            line(2, H - 2, W - 2, H - 2, P(base, GlossyDownBottom));
            line(1, H - 3, W - 2, H - 3, P(base, GlossyDownAboveBottom));
            line(W - 2, 2, W - 2, H - 2, P(base, GlossyDownRight));
            line(W - 3, 3, W - 3, H - 3, pal.faceLift);
            line(2, 1, W - 2, 1, P(base, GlossyDownTop));
            line(1, 2, W - 2, 2, P(base, GlossyDownSecond));
            line(1, 2, 1, H - 2, P(base, GlossyDownLeft));
            line(2, 2, 2, H - 2, P(base, GlossyDownInnerLeft));
            break;
        }
        case LookRounded: {
            const ColorRef deep = S(pal.shadow, RoundedDownFace);
            const ColorRef outer = S(pal.shadow, RoundedDownOuter);
            const ColorRef inner = S(pal.shadow, RoundedDownInner);
            fill(1, 1, W - 2, H - 2, deep);
            // The pressed caption's relief takes the sunken face as its base for this one caption.
            const ColorRef faceLift = pal.faceLift;
            pal.faceLift = deep;
            caption(CaptionPressed);
            pal.faceLift = faceLift;
            frame(0, 0, W, H, pal.darkShadow);
            frame(1, 1, W - 2, H - 2, outer);
            frame(2, 2, W - 4, H - 4, inner);
            pixel(2, 2, outer);
            pixel(3, 3, inner);
            corners(1, pal.darkShadow);
            line(W - 3, 1, W - 3, H - 3, pal.shadow);
            line(1, H - 3, W - 2, H - 3, pal.shadow);
            pixel(W - 4, H - 4, pal.shadow);
            line(W - 2, 3, W - 2, H - 2, deep);
            line(3, H - 2, W - 2, H - 2, deep);
            line(W - 2, H - 3, W - 4, H - 1, inner);
            pixel(2, H - 2, inner);
            pixel(W - 2, 2, inner);
            break;
        }
        case LookEtched:
            fill(1, 1, W - 2, H - 2, S(pal.shadow, EtchedDownFaceOffset));
            frame(0, 0, W - 1, H - 1, S(pal.shadow, EtchedFrameOffset));
            line(W - 1, 1, W - 1, H, pal.highlight);
            line(1, H - 1, W - 1, H - 1, pal.highlight);
            // The caption alone, where it rests: no relief, and the last caption style stays.
            drawText(layout.captionRect, pal.hoverText);
            etchedFocus();
            break;
        case LookSoftBevel:
            caption(CaptionPressed);
            bevel(pal.shadow, S(pal.light, SoftLightOffset), pal.shadow, S(pal.light, SoftLightOffset), 0,
                  false);
            focus();
            break;
        case LookThinRaised:
        case LookToolbar:
            caption(CaptionPressed);
            bevel(pal.shadow, pal.highlight, 0);
            focus();
            break;
        case LookAccent:
            if (hovered()) {
                fill(0, 0, W, H,
                     look.ColorScheme == SchemeOwnColours ? S(pal.accentPale, AccentDownPaleOffset)
                                                          : LightenColor(pal.accent, AccentDownLightening));
            }
            caption(CaptionPressed);
            frame(0, 0, W, H, pal.accent);
            focus();
            break;
        case LookTransparent:
            background();
            caption(CaptionPressed);
            focus();
            break;
        case LookHoverBevel:
            caption(CaptionPressed);
            bevel(pal.darkShadow, pal.highlight, pal.shadow, pal.light, 0, false);
            focus();
            break;
        case LookEllipse:
            canvas.ellipse({ 0, 0, W, H }, pal.darkShadow, S(pal.face, EllipseDownFaceOffset), pal.face);
            caption(CaptionPressed);
            break;
        case LookGradient:
            fill(1, 1, W, H, S(pal.face, GradientInnerFrameOffset));
            frame(0, 0, W, H, S(pal.shadow, GradientDownFrameOffset));
            line(2, H - 2, W - 2, H - 2, pal.highlight);
            line(W - 2, 2, W - 2, H - 1, pal.highlight);
            caption(CaptionGradientPressed);
            focus();
            break;
        default:
            break;
        }
    }

    void disabled()
    {
        switch (look.ButtonType) {
        case LookFramedBevel:
            caption(CaptionEngraved);
            bevel(pal.highlight, pal.shadow, pal.highlight, pal.shadow, 1, false);
            frame(0, 0, W, H, pal.darkShadow);
            break;
        case LookClassic:
            caption(CaptionEngraved);
            bevel(pal.highlight, pal.darkShadow, pal.light, pal.shadow, 0, false);
            break;
        case LookGlossy:
            fill(0, 0, W, H, P(pal.faceLift, GlossyDisabledFace));
            caption(CaptionGlossyDisabled);
            frame(0, 0, W, H, P(pal.faceLift, GlossyDisabledFrame));
            corners(1, P(pal.faceLift, GlossyDisabledCorner));
            break;
        case LookRounded:
            roundedUp(CaptionEngraved);
            break;
        case LookEtched:
            caption(CaptionShadowOnly);
            frame(0, 0, W, H, pal.shadow);
            break;
        case LookSoftBevel:
            caption(CaptionShadowOnly);
            bevel(S(pal.light, SoftLightOffset), pal.shadow, S(pal.light, SoftLightOffset), pal.shadow, 0,
                  false);
            break;
        case LookThinRaised:
            caption(CaptionEngraved);
            bevel(pal.highlight, pal.shadow, 0);
            break;
        case LookToolbar:
        case LookHoverBevel:
        case LookEllipse:
            caption(CaptionEngraved);
            break;
        case LookAccent:
            caption(CaptionShadowOnly);
            break;
        case LookTransparent:
            background();
            caption(CaptionEngraved);
            break;
        case LookGradient:
            gradient(pal.highlight, GradientSpan, false, false);
            gradientFrame();
            caption(CaptionGradientDisabled);
            break;
        default:
            break;
        }
    }
};

} // namespace

ColorRef ShiftColor(ColorRef colour, int offset, bool proportional, bool softBevel)
{
    const ColorRef c = TranslateColor(colour);
    const int n = softBevel ? offset / 2 : offset;
    int r = redOf(c) + n;
    int g = greenOf(c) + n;
    int b = blueOf(c) + (proportional ? blueOf(c) * n / ProportionalBlueScale : n);
    auto limit = [n](int channel) {
        if (n > 0)
            return std::min(channel, ChannelMax);
        if (n < 0)
            return std::max(channel, 0);
        return channel;
    };
    r = limit(r);
    g = limit(g);
    b = limit(b);
    return rgb(r, g, b);
}

XPButtonPalette SetColors(const XPButtonLook &look)
{
    XPButtonPalette p;
    auto S = [&look](ColorRef c, int n) {
        return ShiftColor(c, n, false, look.SoftBevel);
    };
    auto derived = [&](ColorRef face) {
        p.shadow = S(face, ShadowOffset);
        p.light = S(face, LightOffset);
        p.highlight = S(face, HighlightOffset);
        p.darkShadow = S(face, DarkShadowOffset);
    };
    switch (look.ColorScheme) {
    case SchemeOwnColours:
        p.face = TranslateColor(look.BackColor);
        p.hoverFace = TranslateColor(look.BackOver);
        p.text = TranslateColor(look.ForeColor);
        p.hoverText = TranslateColor(look.ForeOver);
        derived(p.face);
        p.accent = S(p.face, AccentOffset);
        p.accentPale = p.face;
        break;
    case SchemeFixedGrey:
        p.face = GreyFace;
        p.hoverFace = GreyFace;
        p.text = GreyText;
        p.hoverText = GreyText;
        p.shadow = GreyShadow;
        p.light = GreyLight;
        p.highlight = GreyHighlight;
        p.darkShadow = GreyDarkShadow;
        p.accent = GreyAccent;
        p.accentPale = GreyAccentPale;
        break;
    case SchemeParent:
        p.face = TranslateColor(look.parentBackColor);
        p.hoverFace = p.face;
        p.text = TranslateColor(look.parentForeColor);
        p.hoverText = p.text;
        derived(p.face);
        p.accent = sysColor(Highlight);
        p.accentPale = LightenColor(p.accent, AccentPaleLightening);
        break;
    default:
        p.face = sysColor(ButtonFace);
        p.hoverFace = p.face;
        p.text = sysColor(ButtonText);
        p.hoverText = p.text;
        p.shadow = sysColor(ButtonShadow);
        p.light = sysColor(Light3D);
        p.highlight = sysColor(ButtonHighlight);
        p.darkShadow = sysColor(DarkShadow3D);
        p.accent = sysColor(Highlight);
        p.accentPale = LightenColor(p.accent, AccentPaleLightening);
        break;
    }
    p.maskKey = TranslateColor(look.MaskColor);
    p.faceLift = ShiftColor(p.face, FaceLiftOffset, look.ButtonType == LookGlossy, look.SoftBevel);
    return p;
}

QSize MeasurePicture(const XPButtonPicture &picture)
{
    if (picture.isNull())
        return { 0, 0 };
    return picture.image.size();
}

Rect xpButtonFocusRect(int buttonType, int W, int H)
{
    const Rect client { 0, 0, W, H };
    if (buttonType >= LookThinRaised && buttonType <= LookEllipse)
        return client.adjusted(3, 3, -3, -3);
    if (buttonType == LookGradient)
        return client.adjusted(5, 5, -5, -5).translated(1, 1);
    return client.adjusted(4, 4, -4, -4);
}

void LayoutCaption(const XPButtonLook &look, int W, int H, XPButtonLayout &layout)
{
    const int picW = layout.picW;
    const int picH = layout.picH;
    const Rect caption = placeCaption(look, look.Font, W, H, picW, picH, layout.captionRect);
    layout.textW = caption.width();
    layout.textH = caption.height();
    layout.captionRect = caption;
    layout.pressedCaptionRect = caption.translated(1, 1);
    layout.captionStencil = Canvas::textStencil(caption.width(), caption.height(), look.Caption,
                                                CaptionFormat, look.Font, stencilWindow(caption, W, H));
    if (look.ButtonType == LookGradient) {
        const QFont bold = boldFont(look.Font);
        layout.boldCaptionRect = placeCaption(look, bold, W, H, picW, picH, layout.captionRect);
        layout.boldCaptionStencil = Canvas::textStencil(
            layout.boldCaptionRect.width(), layout.boldCaptionRect.height(), look.Caption, CaptionFormat,
            bold, stencilWindow(layout.boldCaptionRect, W, H));
    } else {
        layout.boldCaptionRect = {};
        layout.boldCaptionStencil = {};
    }

    // PlacePicture
    if (look.PictureNormal.isNull() && look.PictureOver.isNull())
        return;
    if (blankCaption(look.Caption) || look.PicturePosition == PictureCentred) {
        layout.picX = (W - picW) / 2;
        layout.picY = (H - picH) / 2;
        return;
    }
    switch (look.PicturePosition) {
    case PictureLeft:
        layout.picX = layout.captionRect.left - picW - PictureSideGap;
        layout.picY = (H - picH) / 2;
        break;
    case PictureRight:
        layout.picX = layout.captionRect.right + PictureSideGap;
        layout.picY = (H - picH) / 2;
        break;
    case PictureAbove:
        layout.picX = (W - picW) / 2;
        layout.picY = layout.captionRect.top - picH - PictureEndGap;
        break;
    case PictureBelow:
        layout.picX = (W - picW) / 2;
        layout.picY = layout.captionRect.bottom + PictureEndGap;
        break;
    default:
        break;
    }
}

QRegion BuildRegion(int buttonType, int W, int H)
{
    if (W <= 0 || H <= 0)
        return {};
    if (buttonType == LookEllipse)
        return Canvas::ellipseRegion({ 0, 0, W, H });
    QRegion region(0, 0, W, H);
    auto cut = [&region](std::initializer_list<QPoint> points) {
        for (const QPoint &p : points)
            region -= QRegion(p.x(), p.y(), 1, 1);
    };
    const int r = W - 1;
    const int b = H - 1;
    switch (buttonType) {
    case LookFramedBevel:
    case LookGradient:
        cut({ { 0, 0 }, { r, 0 }, { 0, b }, { r, b } });
        break;
    case LookEtched:
        cut({ { 0, b }, { r, 0 } });
        break;
    case LookGlossy:
    case LookRounded:
        cut({ { 0, 0 }, { 1, 0 }, { 0, 1 } });
        cut({ { r - 1, 0 }, { r, 0 }, { r, 1 } });
        cut({ { 0, b }, { 1, b }, { 0, b - 1 } });
        cut({ { r - 1, b }, { r, b }, { r, b - 1 } });
        break;
    default:
        break;
    }
    return region;
}

void paintXPButton(Canvas &canvas, const XPButtonLook &look, const XPButtonPalette &palette,
                   XPButtonLayout &layout, int state)
{
    // While hovered, ColorScheme 2 draws the whole look in the hover colours.
    std::optional<XPButtonLook> hoverLook;
    if (look.hovered && look.ColorScheme == SchemeOwnColours) {
        hoverLook = look;
        hoverLook->BackColor = look.BackOver;
    }
    const XPButtonLook &drawn = hoverLook ? *hoverLook : look;
    Painter p { canvas,
                drawn,
                hoverLook ? SetColors(drawn) : palette,
                layout,
                state,
                canvas.width(),
                canvas.height(),
                &drawn.Font,
                layout.captionRect,
                layout.pressedCaptionRect,
                &layout.captionStencil,
                palette.text };

    if (!p.faceCovered())
        p.fill(0, 0, p.W, p.H, p.pal.face);
    if (!look.Enabled) {
        p.disabled();
        p.picture(PictureDisabled);
    } else if (state == StateUp) {
        p.up();
        p.picture(PictureUp);
    } else if (state == StateDown) {
        p.down();
        p.picture(PictureDown);
    }
}

void paintGradient(Canvas &canvas, ColorRef colour, int span, bool proportional, bool upward, bool softBevel)
{
    const int H = canvas.height();
    if (H <= 0)
        return;
    const float step = static_cast<float>(static_cast<double>(span) / H);
    for (int i = 1; i <= H; ++i) {
        const int y = upward ? H - i : i;
        if (y >= H)
            continue;
        const int offset = -roundToInt(static_cast<double>(step) * i);
        canvas.line(0, y, canvas.width(), y, ShiftColor(colour, offset, proportional, softBevel));
    }
}

void BlitPicture(Canvas &canvas, int x, int y, int w, int h, const XPButtonPicture &picture,
                 const XPButtonBlit &how)
{
    if (w == 0 || h == 0 || picture.isNull())
        return;
    const QSize own = MeasurePicture(picture);
    if (w < 0)
        w = own.width();
    if (h < 0)
        h = own.height();

    // The source, w x h as RGB: a bitmap as it is, an icon drawn over the mask colour. Only the
    // part that lands on the canvas is read or made: a picture far larger than the button costs no
    // more than the button, on every paint.
    const int sourceW = picture.isIcon ? w : std::min(w, picture.image.width());
    const int sourceH = picture.isIcon ? h : std::min(h, picture.image.height());
    const Rect area = Rect::fromSize(x, y, sourceW, sourceH).intersected(canvas.bounds());
    if (area.isEmpty())
        return;
    const QRect part(area.left - x, area.top - y, area.width(), area.height()); // in the picture
    QImage source;
    QPoint origin; // where part begins in source
    if (picture.isIcon) {
        source = QImage(part.size(), QImage::Format_RGB32);
        if (source.isNull())
            return;
        source.fill(toQRgb(how.maskColour));
        QPainter painter(&source);
        painter.drawImage(QPoint(0, 0), picture.image, part);
    } else if (picture.image.format() == QImage::Format_RGB32
               || picture.image.format() == QImage::Format_ARGB32) {
        source = picture.image;
        origin = part.topLeft();
    } else {
        source = picture.image.copy(part).convertToFormat(QImage::Format_ARGB32);
        if (source.isNull())
            return;
    }
    QImage destination = canvas.image().copy(area.left, area.top, area.width(), area.height());
    if (destination.isNull())
        return;

    const bool keyed = how.key.has_value();
    const QRgb key = keyed ? toQRgb(*how.key) & 0x00ffffffu : 0;
    const QRgb fill = how.fill ? toQRgb(*how.fill) : 0;
    for (int row = 0; row < area.height(); ++row) {
        const auto *from
            = reinterpret_cast<const QRgb *>(source.constScanLine(origin.y() + row)) + origin.x();
        auto *to = reinterpret_cast<QRgb *>(destination.scanLine(row));
        for (int col = 0; col < area.width(); ++col) {
            const QRgb s = from[col] & 0x00ffffffu;
            if (keyed && s == key)
                continue;
            const int r = qRed(s);
            const int g = qGreen(s);
            const int b = qBlue(s);
            if (how.fill) {
                if (!how.darkOnly || r + g + b <= DarkOnlyLimit)
                    to[col] = fill;
            } else if (how.greyscale) {
                const int grey = std::clamp(
                    roundToInt(roundHalfEven(r * GreyRed) + g * GreyGreen + b * GreyBlue), 0, ChannelMax);
                to[col] = qRgb(grey, grey, grey);
            } else if (how.blend) {
                const QRgb d = to[col];
                to[col] = qRgb((2 * r + qRed(d)) / 3, (2 * g + qGreen(d)) / 3, (2 * b + qBlue(d)) / 3);
            } else {
                to[col] = s | 0xff000000u;
            }
        }
    }
    canvas.drawImage(area.left, area.top, destination);
}

} // namespace kivaro
