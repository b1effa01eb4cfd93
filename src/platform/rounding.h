#pragma once

#include <cmath>
#include <limits>

namespace kivaro {

// Whole numbers are rounded the way the controls always rounded them: to the nearest, and a half
// to the even neighbour (2.5 -> 2, 3.5 -> 4). Written out rather than left to the floating-point
// environment, whose rounding mode a library could have changed.
inline double roundHalfEven(double x)
{
    const double down = std::floor(x);
    const double fraction = x - down;
    if (fraction > 0.5)
        return down + 1.0;
    if (fraction < 0.5)
        return down;
    return std::fmod(down, 2.0) == 0.0 ? down : down + 1.0;
}

// roundHalfEven() into a 32-bit integer. Results beyond the 32-bit range stop at its ends and NaN
// becomes 0, so no input can make the conversion itself undefined.
inline int roundToInt(double x)
{
    if (std::isnan(x))
        return 0;
    const double r = roundHalfEven(x);
    if (r >= static_cast<double>(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (r <= static_cast<double>(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return static_cast<int>(r);
}

} // namespace kivaro
