#pragma once

#include <QPainterPath>
#include <QPointF>

namespace kivaro::shapes {

// One of count equal segments of a ring, numbered clockwise from twelve o'clock, with gapDegrees
// of empty ring between neighbours. The brand mark and the progress frames share this ring, so
// the busy animation reads as the logo filling up.
QPainterPath ringSegment(QPointF centre, double innerRadius, double outerRadius, int index, int count,
                         double gapDegrees);

// The play triangle of the brand mark, pointing right, centred optically in a circle of radius.
QPainterPath playTriangle(QPointF centre, double radius);

} // namespace kivaro::shapes
