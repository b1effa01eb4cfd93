#include "platform/colormath.h"

#include <algorithm>

namespace kivaro {

namespace {
constexpr int ChannelMax = 255;
} // namespace

ColorRef LightenColor(ColorRef colour, int amount)
{
    const ColorRef c = TranslateColor(colour);
    auto lighten = [amount](int channel) {
        return std::clamp(amount + channel * (ChannelMax - amount) / ChannelMax, 0, ChannelMax);
    };
    return rgb(lighten(redOf(c)), lighten(greenOf(c)), lighten(blueOf(c)));
}

} // namespace kivaro
