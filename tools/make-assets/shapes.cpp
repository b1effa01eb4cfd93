#include "shapes.h"

#include <QtMath>

namespace kivaro::shapes {

namespace {

// Arcs are built from short straight pieces: fine enough that no corner shows at any size drawn
// here, and plain arithmetic, so every build rasterises them alike.
constexpr int StepsPerSegment = 32;

QPointF onCircle(QPointF centre, double radius, double degrees)
{
    const double radians = qDegreesToRadians(degrees);
    // Screen y grows downwards, so a growing angle turns clockwise.
    return centre + QPointF(radius * std::cos(radians), radius * std::sin(radians));
}

} // namespace

QPainterPath ringSegment(QPointF centre, double innerRadius, double outerRadius, int index, int count,
                         double gapDegrees)
{
    const double span = 360.0 / count;
    const double start = -90.0 + index * span + gapDegrees / 2;
    const double end = start + span - gapDegrees;
    QPainterPath path;
    path.moveTo(onCircle(centre, outerRadius, start));
    for (int step = 1; step <= StepsPerSegment; ++step)
        path.lineTo(onCircle(centre, outerRadius, start + (end - start) * step / StepsPerSegment));
    for (int step = StepsPerSegment; step >= 0; --step)
        path.lineTo(onCircle(centre, innerRadius, start + (end - start) * step / StepsPerSegment));
    path.closeSubpath();
    return path;
}

QPainterPath playTriangle(QPointF centre, double radius)
{
    // Centred by its box the triangle looks pushed to the left; these proportions put its centre
    // of area close to the circle's centre.
    constexpr double Back = 0.40;
    constexpr double Tip = 0.56;
    constexpr double HalfHeight = 0.50;
    QPainterPath path;
    path.moveTo(centre + QPointF(-Back * radius, -HalfHeight * radius));
    path.lineTo(centre + QPointF(Tip * radius, 0));
    path.lineTo(centre + QPointF(-Back * radius, HalfHeight * radius));
    path.closeSubpath();
    return path;
}

} // namespace kivaro::shapes
