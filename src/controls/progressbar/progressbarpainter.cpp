#include "controls/progressbar/progressbarpainter.h"

#include "controls/progressbar/progressbarstyle.h"
#include "platform/rounding.h"

#include <algorithm>

namespace kivaro {

using namespace progressbar;

namespace {

constexpr int channelMax = 255;
constexpr double PercentScale = 100.0;

int clampChannel(double c)
{
    return std::clamp(roundToInt(c), 0, channelMax);
}

// The bar's end for a given percentage and scale, as the looks 3 to 9 work it out.
int barEnd(int p, double fullScale, int span)
{
    return roundToInt(p / fullScale * span);
}

void paintDefaultFrame(Canvas &canvas, int W, int H)
{
    DrawLine(2, 1, W - 2, 1, canvas, FrameShade);
    DrawLine(2, H - 2, W - 2, H - 2, canvas, FrameLight);
    DrawLine(1, 2, 1, H - 2, canvas, FrameShade);
    DrawLine(2, 2, 2, H - 2, canvas, FrameLight);
    DrawLine(2, 2, W - 2, 2, canvas, FrameLight);
    DrawLine(W - 2, 2, W - 2, H - 2, canvas, FrameLight);
    canvas.frame({ 0, 0, W, H }, FrameOutline);

    struct Corner
    {
        int x;
        int y;
        ColorRef colour;
    };
    const Corner corners[] = {
        { 0, 0, White },
        { 0, 1, CornerOuter },
        { 0, 2, CornerEdge },
        { 1, 0, CornerOuterAlt },
        { 1, 1, CornerInner },
        { 2, 0, CornerEdge },
        { 2, 2, FrameShade },
        { 0, H - 1, White },
        { 1, H - 1, CornerOuter },
        { 2, H - 1, CornerEdge },
        { 0, H - 3, CornerEdge },
        { 0, H - 2, CornerOuterAlt },
        { 1, H - 2, CornerInner },
        { W - 1, 0, White },
        { W - 1, 1, FrameShade },
        { W - 1, 2, CornerEdge },
        { W - 2, 2, FrameShade },
        { W - 2, 1, FrameOutline },
        { W - 1, H - 1, White },
        { W - 1, H - 2, FrameShade },
        { W - 1, H - 3, CornerEdge },
        { W - 2, H - 2, CornerInner },
        { W - 2, H - 1, FrameShade },
        { W - 3, H - 1, CornerEdge },
    };
    for (const Corner &corner : corners)
        canvas.setPixel(corner.x, corner.y, corner.colour);
}

// Looks 0, 1 and 2 and every Scrolling outside 3 to 9.
void paintDefaultLook(Canvas &canvas, int W, int H, int p, const ProgressBarLook &look)
{
    const ColorRef colour = look.color;
    const int blockWidth = look.scrolling == LookSegmented ? SegmentWidth : 0;
    const int pitch = blockWidth + SegmentGap;
    const double f = std::max(p / FullScalePercent, 0.0); // not capped: beyond 98 % the end passes the edge
    const ColorRef light = LightenColor(colour, BodyLightening);

    if (look.orientation == Horizontal) {
        const int m = roundToInt((W - BarStart) * f + BarStart);
        // % truncates with the sign of the dividend: the end snaps to the block grid from column 3.
        int barRight = std::max(m - (m - BarStart) % pitch, BarStart);
        if (barRight <= StubLimit)
            barRight = StubEnd;
        const int r = barRight + EndPullBack > W ? barRight - EndPullBack : barRight;

        if (look.scrolling != LookMarquee) {
            DrawGradient(light, colour, BodyStart, BodyTop, r, BodyGradientRows, canvas, false);
            canvas.fill({ BodyStart, BodyFillInset, r, H - BodyFillInset }, colour);
            DrawGradient(colour, light, BodyStart, H - BodyBottomGradient, r, BodyGradientRows, canvas,
                         false);
        } else {
            for (int i = 0; i < MarqueeBlocks; ++i) {
                const int x = roundToInt(barRight + MarqueeSpacing * i
                                         - (FullPercentage - p) / PercentScale * MarqueeLag);
                DrawGradient(LightenColor(colour, MarqueeStartLightening - MarqueeLighteningStep * i),
                             LightenColor(colour, MarqueeEndLightening - MarqueeLighteningStep * i), x,
                             MarqueeTop, MarqueeBlockSpan, H - MarqueeEdgeInset, canvas, true);
            }
        }
        if (look.scrolling == LookSegmented) {
            for (int x = FirstSeparator; x <= barRight; x += SegmentPitch)
                canvas.fill({ x + 1, 0, x + 1 + SegmentGap, H }, White);
        }
    } else {
        const int m = roundToInt(H * (1.0 - f));
        const int barTop = std::min(m - (m - H) % pitch, H);

        if (look.scrolling != LookMarquee) {
            DrawGradient(light, colour, BodyStart, barTop, BodyGradientColumns, H, canvas, true);
            canvas.fill({ BodyFillLeft, barTop, W - BodyRightInset, H }, colour);
            DrawGradient(colour, light, W - BodyRightInset, barTop, BodyGradientColumns, H, canvas, true);
        } else {
            // Unlike the horizontal blocks, the vertical ones do not trail behind the bar's end.
            for (int i = 0; i < MarqueeBlocks; ++i) {
                const int y = barTop + MarqueeSpacing * i;
                DrawGradient(LightenColor(colour, MarqueeStartLightening - MarqueeLighteningStep * i),
                             LightenColor(colour, MarqueeEndLightening - MarqueeLighteningStep * i),
                             W - MarqueeEdgeInset, y, MarqueeEdgeInset, MarqueeBlockSpan, canvas, false);
            }
        }
        if (look.scrolling == LookSegmented) {
            // The client area's left edge counts as column 3 while the bar is worked out; the frame
            // covers the columns left of it anyway.
            for (int y = H; y >= barTop + SegmentWidth; y -= SegmentPitch)
                canvas.fill({ BarStart, y - SegmentGap, W, y }, White);
        }
    }
    paintDefaultFrame(canvas, W, H);
}

void paintMetalLook(Canvas &canvas, int W, int H, int p, const ProgressBarLook &look)
{
    const ColorRef colour = look.color;
    const int e = barEnd(p, PercentScale, W - 4);
    const int h = roundToInt((H - 3) / 2.0);
    DrawGradient(White, Silver, 2, 2, W - 3, h, canvas, false);
    DrawGradient(Silver, Silver, 2, h, W - 3, h, canvas, false);
    DrawGradient(LightenColor(colour, MetalUpperLightening), BlendColor(colour, Black, MetalUpperWeight), 2,
                 2, e, h, canvas, false);
    DrawGradient(BlendColor(colour, Black, MetalLowerWeight), colour, 2, h, e, h, canvas, false);
    paintDefaultFrame(canvas, W, H);
}

void paintLook(Canvas &canvas, int W, int H, int p, const ProgressBarLook &look)
{
    const ColorRef colour = look.color;
    const Rect R { 0, 0, W, H };
    switch (look.scrolling) {
    case LookFlat:
        canvas.frame(R, LightenColor(colour, FlatFrameLightening));
        canvas.fill({ 1, 1, barEnd(p, PercentScale, W), H - 1 }, LightenColor(colour, FlatBarLightening));
        break;
    case LookEtched:
        canvas.drawEdge(R, Canvas::Edge::Etched);
        DrawGradient(LightenColor(colour, EtchedStartLightening), LightenColor(colour, EtchedEndLightening),
                     EtchedInset, EtchedInset, barEnd(p, PercentScale, W - 2 * EtchedInset), H - 3, canvas,
                     true);
        break;
    case LookGlass: {
        const int e = barEnd(p, InsetFullScalePercent, W);
        canvas.frame(R, LightenColor(colour, GlassFrameLightening));
        DrawGradient(colour, LightenColor(colour, GlassTroughLightening), 2, 2, W - 2, H - 5, canvas, false);
        DrawGradient(LightenColor(colour, GlassBarLightening), colour, 3, 3, e, H - 6, canvas, false);
        DrawLine(e, 2, e, H - 2, canvas, LightenColor(colour, GlassEndMarkLightening));
        break;
    }
    case LookDark: {
        canvas.frame(R, BlendColor(colour, Black, DarkFrameWeight));
        const ColorRef k = LightenColor(BlendColor(colour, Black, DarkBarWeight), DarkBarLightening);
        DrawGradient(Black, k, 2, 2, barEnd(p, PercentScale, W - DarkInset), H - 2, canvas, true);
        break;
    }
    case LookHatched: {
        canvas.drawEdge(R, Canvas::Edge::Bump);
        const Rect bar { 2, 2, barEnd(p, InsetFullScalePercent, W), H - 2 };
        const ColorRef background = LightenColor(colour, HatchBackgroundLightening);
        if (look.brushStyle >= 0 && look.brushStyle < HatchStyleCount)
            canvas.hatchFill(bar, static_cast<Canvas::Hatch>(look.brushStyle), colour, background);
        else
            canvas.fill(bar, background); // no such pattern: the bar still shows, unhatched
        break;
    }
    case LookPattern:
        canvas.drawEdge(R, Canvas::Edge::ThinSunken);
        if (!look.image.isNull())
            canvas.patternFill(Rect::fromSize(2, 2, barEnd(p, InsetFullScalePercent, W), H - 4), look.image);
        break;
    case LookMetal:
        paintMetalLook(canvas, W, H, p, look);
        break;
    default:
        paintDefaultLook(canvas, W, H, p, look);
        break;
    }
}

void paintText(Canvas &canvas, int W, int p, const ProgressBarLook &look, QSize client)
{
    const QString text = progressText(look);
    if (text.isEmpty())
        return;
    const Rect textRect = progressTextRect(text, client, look.font);
    const ColorRef normal = look.scrolling == LookDark ? Silver : Black;
    if (look.scrolling != LookDark && look.scrolling != LookMetal) {
        canvas.drawText(textRect, text, Canvas::SingleLine, normal, look.font);
        return;
    }
    // The part of the text over the bar is drawn again in a colour that stands out against it.
    const double e = p / PercentScale * W;
    if (e <= textRect.right)
        canvas.drawText(textRect, text, Canvas::SingleLine, normal, look.font);
    if (e >= textRect.left) {
        const ColorRef over
            = look.scrolling == LookDark ? LightenColor(look.color, DarkSplitTextLightening) : White;
        canvas.drawText({ textRect.left, textRect.top, roundToInt(e), textRect.bottom }, text,
                        Canvas::SingleLine, over, look.font);
    }
}

} // namespace

void paintProgressBar(Canvas &canvas, QSize client, const ProgressBarLook &look)
{
    const int W = client.width();
    const int H = client.height();
    const int p = std::min(look.percentage, FullPercentage);
    canvas.fill({ 0, 0, W, H }, look.scrolling == LookDark ? Black : White);
    paintLook(canvas, W, H, p, look);
    if (look.showText)
        paintText(canvas, W, p, look, client);
}

QString progressText(const ProgressBarLook &look)
{
    if (look.scrolling == LookMarquee)
        return {};
    return QString::number(std::min(look.percentage, FullPercentage)) + QStringLiteral(" %");
}

Rect progressTextRect(const QString &text, QSize client, const QFont &font)
{
    const Rect measured = Canvas::measureText({}, text, Canvas::SingleLine, font);
    const int w = measured.width();
    const int h = measured.height();
    const int left = roundToInt(client.width() / 2.0 - w / 2.0);
    const int top = roundToInt(client.height() / 2.0 - h / 2.0);
    return Rect::fromSize(left, top, w, h);
}

ColorRef BlendColor(ColorRef first, ColorRef second, int weight)
{
    const ColorRef a = TranslateColor(first);
    const ColorRef b = TranslateColor(second);
    auto blend = [weight](int fromFirst, int fromSecond) {
        return clampChannel(static_cast<double>(fromSecond) * (channelMax - weight) / channelMax
                            + static_cast<double>(fromFirst) * weight / channelMax);
    };
    return rgb(blend(redOf(a), redOf(b)), blend(greenOf(a), greenOf(b)), blend(blueOf(a), blueOf(b)));
}

void DrawLine(int X, int Y, int Width, int Height, Canvas &cHdc, ColorRef Color)
{
    cHdc.line(X, Y, Width, Height, TranslateColor(Color));
}

void DrawGradient(ColorRef lEndColor, ColorRef lStartcolor, int X, int Y, int X2, int Y2, Canvas &hdc,
                  bool bH)
{
    const ColorRef from = TranslateColor(lEndColor);
    const ColorRef to = TranslateColor(lStartcolor);
    const int n = bH ? X2 : Y2;
    auto drawLine = [&](int i, ColorRef colour) {
        if (bH)
            hdc.line(X + i, Y, X + i, Y2, colour);
        else
            hdc.line(X, Y + i, X2, Y + i, colour);
    };
    if (n == 0) {
        drawLine(0, from);
        return;
    }
    // The step is kept in single precision, as the colours always were.
    auto stepOf = [n](int a, int b) {
        return static_cast<float>(static_cast<double>(b - a) / n);
    };
    const float stepR = stepOf(redOf(from), redOf(to));
    const float stepG = stepOf(greenOf(from), greenOf(to));
    const float stepB = stepOf(blueOf(from), blueOf(to));
    // Lines outside the surface change nothing; skipping them keeps absurd counts cheap.
    const int origin = bH ? X : Y;
    const int extent = bH ? hdc.width() : hdc.height();
    const int first = std::max(0, -origin);
    const int last = static_cast<int>(std::min<qint64>(n, qint64(extent) - 1 - origin));
    for (int i = first; i <= last; ++i) {
        const ColorRef colour = rgb(clampChannel(redOf(from) + static_cast<double>(stepR) * i),
                                    clampChannel(greenOf(from) + static_cast<double>(stepG) * i),
                                    clampChannel(blueOf(from) + static_cast<double>(stepB) * i));
        drawLine(i, colour);
    }
}

} // namespace kivaro
