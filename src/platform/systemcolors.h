#pragma once

#include <QRgb>
#include <QtGlobal>

namespace kivaro {

// A colour as the controls store and compare it: red + 256 x green + 65,536 x blue in the low 24
// bits. A value with the high bit set is not a colour but a system-colour code (see TranslateColor).
using ColorRef = quint32;

constexpr ColorRef SystemColorFlag = 0x80000000u;

constexpr ColorRef rgb(int red, int green, int blue)
{
    return static_cast<ColorRef>((red & 0xff) | ((green & 0xff) << 8) | ((blue & 0xff) << 16));
}
constexpr int redOf(ColorRef c)
{
    return static_cast<int>(c & 0xffu);
}
constexpr int greenOf(ColorRef c)
{
    return static_cast<int>((c >> 8) & 0xffu);
}
constexpr int blueOf(ColorRef c)
{
    return static_cast<int>((c >> 16) & 0xffu);
}

// Only the low 24 bits describe the colour; anything above them is ignored when it is drawn.
constexpr QRgb toQRgb(ColorRef c)
{
    return qRgb(redOf(c), greenOf(c), blueOf(c));
}
constexpr ColorRef fromQRgb(QRgb c)
{
    return rgb(qRed(c), qGreen(c), qBlue(c));
}

// Indexes into the system-colour table. Stored files and host programs pass these numbers around
// (with SystemColorFlag set), so they keep the desktop's classic numbering.
enum SystemColor : int {
    ScrollBar = 0,
    Background = 1,
    ActiveCaption = 2,
    InactiveCaption = 3,
    Menu = 4,
    Window = 5,
    WindowFrame = 6,
    MenuText = 7,
    WindowText = 8,
    CaptionText = 9,
    ActiveBorder = 10,
    InactiveBorder = 11,
    AppWorkspace = 12,
    Highlight = 13,
    HighlightText = 14,
    ButtonFace = 15,
    ButtonShadow = 16,
    GrayText = 17,
    ButtonText = 18,
    InactiveCaptionText = 19,
    ButtonHighlight = 20,
    DarkShadow3D = 21,
    Light3D = 22,
    InfoText = 23,
    InfoBackground = 24,
    HotLight = 26,
    GradientActiveCaption = 27,
    GradientInactiveCaption = 28,
    MenuHighlight = 29,
    MenuBar = 30,
};

// The RGB value of a system colour. The table is fixed rather than taken from the running desktop,
// so the drawn controls look the same on every machine and in every test. An index the table does
// not know gives black.
ColorRef sysColor(int index);

// A value with the high bit set is a system colour whose index is the value without that bit; the
// result is that colour's RGB value. Every other value is returned unchanged.
ColorRef TranslateColor(ColorRef colour);

} // namespace kivaro
