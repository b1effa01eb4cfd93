#pragma once

#include "platform/systemcolors.h"

#include <QSize>

// Colours, metrics and settings of the drawn progress bar, in one place.
namespace kivaro::progressbar {

// The looks, chosen by Scrolling. Every value outside 3 to 9 draws like the default looks.
enum Look : int {
    LookSegmented = 0, // default look: blocks with white gaps
    LookContinuous = 1, // default look without gaps
    LookMarquee = 2, // three fading blocks ahead of the bar's end, no percentage text
    LookFlat = 3,
    LookEtched = 4,
    LookGlass = 5,
    LookDark = 6,
    LookHatched = 7,
    LookPattern = 8,
    LookMetal = 9,
};
constexpr int LookCount = 10;

// Orientation: 0 fills left to right; every other value fills bottom to top.
constexpr int Horizontal = 0;

// BrushStyle: the hatch patterns of the hatched look, numbered like Canvas::Hatch.
constexpr int HatchStyleCount = 6;

// --- Defaults and storage ---------------------------------------------------------------------

constexpr int DefaultMin = 0;
constexpr int DefaultMax = 100;
constexpr int FullPercentage = 100;
constexpr int DefaultBrushStyleNew = 0; // a control placed afresh
constexpr int DefaultBrushStyleStored = 4; // a control loaded without the key: cross hatch
constexpr ColorRef DefaultColor = SystemColorFlag | Highlight;
// Text is drawn in the desktop's standard small font; Canvas renders Arial as Liberation Sans.
constexpr const char *DefaultFontFamily = "Arial";
constexpr double DefaultFontPointSize = 8.25;
// A control made in code gets this size until its owner gives it another.
constexpr QSize DefaultSize { 200, 20 };

// --- Colours ----------------------------------------------------------------------------------

constexpr ColorRef White = rgb(255, 255, 255);
constexpr ColorRef Black = rgb(0, 0, 0);
constexpr ColorRef Silver = 0x00C0C0C0;

// The frame of the default looks (and of the metal look): a dark outline, a shaded top and left
// inner line, light lines inside them, and corner pixels that round the corners off.
constexpr ColorRef FrameOutline = 0x00686868;
constexpr ColorRef FrameShade = 0x00BEBEBE;
constexpr ColorRef FrameLight = 0x00EFEFEF;
constexpr ColorRef CornerOuter = 0x00A6ABAC;
constexpr ColorRef CornerOuterAlt = 0x00A7ABAC;
constexpr ColorRef CornerEdge = 0x007D7E7F;
constexpr ColorRef CornerInner = 0x00777777;

// --- Default looks ----------------------------------------------------------------------------

// The bar is worked out with its left edge at column 3; its body starts one column further in.
constexpr int BarStart = 3;
constexpr int BodyStart = 4;
// The bar's end is found with p / 98, so that it reaches the right edge a little before 100 %.
constexpr double FullScalePercent = 98.0;
constexpr int SegmentWidth = 6; // LookSegmented only; the other default looks step by the gap alone
constexpr int SegmentGap = 2;
// A bar that would end at or before this column is drawn to StubEnd, so something always shows.
constexpr int StubLimit = 14;
constexpr int StubEnd = 12;
// A bar end within this many pixels of the right edge is pulled back by as much.
constexpr int EndPullBack = 4;
// Rows of the horizontal body: light-to-full gradient on top, full-to-light at the bottom.
constexpr int BodyTop = 3;
constexpr int BodyGradientRows = 6; // gradient count: seven rows
constexpr int BodyFillInset = 8; // the solid middle leaves this many rows at top and bottom
constexpr int BodyBottomGradient = 10; // the bottom gradient starts this many rows above the bottom
// Columns of the vertical body, mirrored the same way.
constexpr int BodyGradientColumns = 4; // gradient count: five columns
constexpr int BodyFillLeft = 9;
constexpr int BodyRightInset = 8;
constexpr int BodyLightening = 150;

// The marquee look's three blocks.
constexpr int MarqueeBlocks = 3;
constexpr int MarqueeSpacing = 12;
constexpr int MarqueeBlockSpan = 9; // gradient count: ten lines
constexpr double MarqueeLag = 45.0; // horizontal blocks trail by (100 - p) % of this many pixels
constexpr int MarqueeStartLightening = 220;
constexpr int MarqueeEndLightening = 200;
constexpr int MarqueeLighteningStep = 40;
constexpr int MarqueeTop = 3;
constexpr int MarqueeEdgeInset = 2;

// Separators of the segmented look: two white lines after each six-pixel block, the first block
// starting at column 4 (or ending at the bottom edge when vertical).
constexpr int FirstSeparator = BarStart + SegmentWidth;
constexpr int SegmentPitch = SegmentWidth + SegmentGap;

// --- Looks 3 to 9 -----------------------------------------------------------------------------

constexpr int FlatFrameLightening = 100;
constexpr int FlatBarLightening = 180;

constexpr int EtchedStartLightening = 140;
constexpr int EtchedEndLightening = 200;
constexpr int EtchedInset = 2;

// Glass (and hatched and pattern) measure the bar against 101 % so that at 100 % its end stays
// inside the edge.
constexpr double InsetFullScalePercent = 101.0;
constexpr int GlassFrameLightening = 10;
constexpr int GlassTroughLightening = 100;
constexpr int GlassBarLightening = 250;
constexpr int GlassEndMarkLightening = 25;

constexpr int DarkFrameWeight = 200;
constexpr int DarkBarWeight = 100;
constexpr int DarkBarLightening = 10;
constexpr int DarkInset = 5; // the bar runs over W - 5 columns
constexpr int DarkSplitTextLightening = 80;

constexpr int HatchBackgroundLightening = 140;

constexpr int MetalUpperLightening = 150;
constexpr int MetalUpperWeight = 180;
constexpr int MetalLowerWeight = 190;

} // namespace kivaro::progressbar
