#pragma once

#include <QImage>
#include <QPainterPath>

namespace kivaro {

// The pointing hand shown over the title link: 32 x 32 on a transparent ground, the tip of the
// index finger at the hot spot (5, 0).
class CursorPainter
{
public:
    static QImage pointingHand();

private:
    static QPainterPath handOutline();
};

} // namespace kivaro
