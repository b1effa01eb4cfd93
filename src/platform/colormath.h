#pragma once

#include "platform/systemcolors.h"

namespace kivaro {

// Each channel c becomes amount + c x (255 - amount) / 255 (fraction dropped), at most 255:
// amount 0 keeps the colour, amount 255 gives white. A system-colour code is translated first.
// Both drawn controls lighten their colours this way.
ColorRef LightenColor(ColorRef colour, int amount);

} // namespace kivaro
