#pragma once

#include "platform/systemcolors.h"

// Colours, offsets and numbering of the XP-style button's looks, in one place.
namespace kivaro::xpbutton {

// --- Numbering ----------------------------------------------------------------------------------

// ButtonType: the fourteen looks. Any other value draws the face (and the picture) only.
enum Look : int {
    LookFramedBevel = 1, // raised double bevel inside a dark frame, corners cut
    LookClassic = 2, // classic raised button, default-button frame
    LookGlossy = 3, // glossy gradient, dark blue rounded frame, orange/blue glow
    LookRounded = 4, // light face in a dark rounded frame; layered sunken look when pressed
    LookEtched = 5, // etched flat button, caption stays put when pressed
    LookSoftBevel = 6, // 3-D bevel with a lightened light edge
    LookThinRaised = 7, // permanently raised thin edge
    LookToolbar = 8, // flat, thin edge on hover
    LookAccent = 9, // flat, accent-framed pale fill on hover, blended picture at rest
    LookFaceOnly = 10,
    LookTransparent = 11, // the captured parent background
    LookHoverBevel = 12, // flat, classic bevel on hover
    LookEllipse = 13,
    LookGradient = 14, // white-to-grey gradient, bold caption as default button
};
constexpr int FirstLook = LookFramedBevel;
constexpr int LastLook = LookGradient;

// The paint states the widget asks for.
constexpr int StateUp = 0;
constexpr int StateDown = 2;

// DrawPicture's picture states.
constexpr int PictureUp = 0;
constexpr int PictureDown = 1;
constexpr int PictureDisabled = 2;

// DrawCaption's styles.
enum CaptionStyle : int {
    CaptionRest = 0, // up, not hovered: text
    CaptionHover = 1, // up, hovered: hoverText
    CaptionPressed = 2, // down: moved by (+1, +1)
    CaptionEngraved = 3, // most disabled looks: highlight copy under a shadow caption
    CaptionShadowOnly = 4, // disabled types 5, 6 and 9
    CaptionGlossyDisabled = 5, // disabled type 3
    CaptionGradientDisabled = 6, // disabled type 14
    CaptionGradientPressed = 7, // down type 14
};

// ColorScheme: where the palette comes from. 0, 1 and any other value: the system colours.
constexpr int SchemeOwnColours = 2;
constexpr int SchemeFixedGrey = 3;
constexpr int SchemeParent = 4;

// PicturePosition: where the picture sits beside the caption.
constexpr int PictureLeft = 0;
constexpr int PictureRight = 1;
constexpr int PictureAbove = 2;
constexpr int PictureBelow = 3;
constexpr int PictureCentred = 4; // behind the caption, which is drawn again over it

// A picture beside the caption keeps 4 pixels from it, one above or below it 2. The caption is
// centred in the room the picture leaves, reckoned with 4 pixels of gap either way.
constexpr int PictureSideGap = 4;
constexpr int PictureEndGap = 2;

// SpecialEffect: the relief behind caption and picture.
constexpr int EffectNone = 0;
constexpr int EffectRaised = 1;
constexpr int EffectSunken = 2;
constexpr int EffectShadow = 3; // and above: the dark copy only

// --- Palette ------------------------------------------------------------------------------------

// ColorScheme 2 and 4 derive the edges from the face.
constexpr int ShadowOffset = -64;
constexpr int LightOffset = 31;
constexpr int HighlightOffset = 47;
constexpr int DarkShadowOffset = -192;
constexpr int AccentOffset = -128; // scheme 2 only; the others take the system highlight
constexpr int AccentPaleLightening = 176;
// Every scheme: the raised face of types 3, 4 and 14 (blue scaled for type 3).
constexpr int FaceLiftOffset = 48;

// ColorScheme 3: a fixed grey palette with a navy accent.
constexpr ColorRef GreyFace = rgb(192, 192, 192);
constexpr ColorRef GreyText = rgb(0, 0, 0);
constexpr ColorRef GreyShadow = rgb(128, 128, 128);
constexpr ColorRef GreyLight = rgb(223, 223, 223);
constexpr ColorRef GreyHighlight = rgb(255, 255, 255);
constexpr ColorRef GreyDarkShadow = rgb(0, 0, 0);
constexpr ColorRef GreyAccent = rgb(0, 0, 128);
constexpr ColorRef GreyAccentPale = rgb(173, 173, 209);

// Proportional shifts scale the blue channel by blue / 192, so bluish faces keep their tint.
constexpr int ProportionalBlueScale = 192;

// --- Caption and picture relief -----------------------------------------------------------------

// The light and dark copies behind caption and picture are the base colour shifted by this much.
constexpr int ReliefOffset = 40;

// --- Type 3: glossy -----------------------------------------------------------------------------

constexpr int GlossySpan = 25; // the gradient darkens by 25 towards the far edge
constexpr ColorRef GlossyFrame = rgb(0, 60, 115);
constexpr ColorRef GlossyCorner = rgb(16, 77, 123); // softens the rounded corners

// The glow sets: Frame(1,2,W-2,H-4), bottom line, top line, second line, the two inner sides.
struct GlossyEdges
{
    ColorRef frame, bottom, top, second, sides;
};
constexpr GlossyEdges GlossyHoverEdges { rgb(255, 178, 49), rgb(231, 150, 0), rgb(255, 243, 206),
                                         rgb(255, 219, 140), rgb(255, 203, 107) };
constexpr GlossyEdges GlossyFocusEdges { rgb(140, 174, 231), rgb(107, 130, 239), rgb(206, 231, 255),
                                         rgb(189, 215, 247), rgb(181, 209, 240) };

// The plain rest edges: proportional shifts of faceLift, darker at the bottom and right, lighter
// at the top, so the face looks bulged.
constexpr int GlossyRestBottom = -48;
constexpr int GlossyRestAboveBottom = -32;
constexpr int GlossyRestRight = -36;
constexpr int GlossyRestInnerRight = -24;
constexpr int GlossyRestTop = 16;
constexpr int GlossyRestSecond = 10;
constexpr int GlossyRestLeft = -5;
constexpr int GlossyRestInnerLeft = -10;

// Pressed: the gradient starts from a darker base and runs upward; the edges invert the bulge.
constexpr int GlossyDownBase = -32;
constexpr int GlossyDownBottom = 16;
constexpr int GlossyDownAboveBottom = 10;
constexpr int GlossyDownRight = 5;
constexpr int GlossyDownTop = -32;
constexpr int GlossyDownSecond = -24;
constexpr int GlossyDownLeft = -32;
constexpr int GlossyDownInnerLeft = -22;

// Disabled: flat and washed out.
constexpr int GlossyDisabledFace = -24;
constexpr int GlossyDisabledFrame = -84;
constexpr int GlossyDisabledCorner = -72;
constexpr int GlossyDisabledText = -104;

// --- Type 4: rounded ----------------------------------------------------------------------------

// Pressed: three frames, each deeper than the shadow by these, give the layered sunken look.
constexpr int RoundedDownFace = -16;
constexpr int RoundedDownOuter = -64;
constexpr int RoundedDownInner = -32;

// --- Type 5: etched -----------------------------------------------------------------------------

constexpr int EtchedFaceOffset = 12;
constexpr int EtchedFrameOffset = -26; // the dark frame; its corners lighten by the same amount
constexpr int EtchedDownFaceOffset = 16;
constexpr ColorRef EtchedFocus = rgb(153, 153, 204); // the lilac box around the caption

// --- Type 6: soft bevel -------------------------------------------------------------------------

constexpr int SoftLightOffset = 8;

// --- Type 9: accent -----------------------------------------------------------------------------

constexpr int AccentDownPaleOffset = -32; // scheme 2: the pressed fill
constexpr int AccentDownLightening = 128; // other schemes: the pressed fill
constexpr int AccentDisabledPictureOffset = 13; // a silhouette just lighter than the shadow

// --- Type 13: ellipse ---------------------------------------------------------------------------

constexpr int EllipseDownFaceOffset = -32;

// --- Type 14: gradient --------------------------------------------------------------------------

constexpr int GradientSpan = 58;
constexpr int GradientFrameOffset = -50; // outer frame below the shadow; also the pressed caption copy
constexpr int GradientInnerFrameOffset = -9;
constexpr int GradientDownFrameOffset = -48;

} // namespace kivaro::xpbutton
