#include "platform/systemcolors.h"

#include <array>

namespace kivaro {

namespace {

// The blue desktop scheme the XP-style controls were designed against.
constexpr std::array<ColorRef, 31> SystemColorTable = {
    rgb(212, 208, 200), // ScrollBar
    rgb(0, 78, 152), // Background
    rgb(0, 84, 227), // ActiveCaption
    rgb(122, 150, 223), // InactiveCaption
    rgb(255, 255, 255), // Menu
    rgb(255, 255, 255), // Window
    rgb(0, 0, 0), // WindowFrame
    rgb(0, 0, 0), // MenuText
    rgb(0, 0, 0), // WindowText
    rgb(255, 255, 255), // CaptionText
    rgb(212, 208, 200), // ActiveBorder
    rgb(212, 208, 200), // InactiveBorder
    rgb(128, 128, 128), // AppWorkspace
    rgb(49, 106, 197), // Highlight
    rgb(255, 255, 255), // HighlightText
    rgb(236, 233, 216), // ButtonFace
    rgb(172, 168, 153), // ButtonShadow
    rgb(172, 168, 153), // GrayText
    rgb(0, 0, 0), // ButtonText
    rgb(216, 228, 248), // InactiveCaptionText
    rgb(255, 255, 255), // ButtonHighlight
    rgb(113, 111, 100), // DarkShadow3D
    rgb(241, 239, 226), // Light3D
    rgb(0, 0, 0), // InfoText
    rgb(255, 255, 225), // InfoBackground
    rgb(181, 181, 181), // (unused index 25)
    rgb(0, 0, 128), // HotLight
    rgb(61, 149, 255), // GradientActiveCaption
    rgb(157, 185, 235), // GradientInactiveCaption
    rgb(49, 106, 197), // MenuHighlight
    rgb(236, 233, 216), // MenuBar
};

} // namespace

ColorRef sysColor(int index)
{
    if (index < 0 || index >= static_cast<int>(SystemColorTable.size()))
        return rgb(0, 0, 0);
    return SystemColorTable[static_cast<std::size_t>(index)];
}

ColorRef TranslateColor(ColorRef colour)
{
    if ((colour & SystemColorFlag) == 0)
        return colour;
    const ColorRef index = colour & ~SystemColorFlag;
    if (index >= SystemColorTable.size())
        return rgb(0, 0, 0);
    return SystemColorTable[index];
}

} // namespace kivaro
