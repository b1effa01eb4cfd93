#include "cursorpainter.h"

#include "palette.h"
#include "skinlayout.h"

#include <QPainter>

namespace kivaro {

namespace {

// The hand's outline is traced on half-pixel coordinates so its one-pixel line falls on whole
// pixels; the fingertip's top line is row 0, centred on column 5, the hot spot.
constexpr double FingerLeft = 2.5;
constexpr double FingerRight = 8.5;
constexpr double TipCentreY = 2.5;
constexpr double OutlineWidth = 1.0;

// Appends a knuckle of a folded finger: a round bump from the current point to (toX, baseY).
void knuckle(QPainterPath &path, double toX, double baseY, double topY)
{
    const QPointF from = path.currentPosition();
    const double midX = (from.x() + toX) / 2;
    path.cubicTo(from.x(), topY + 0.6, midX - 1.2, topY, midX, topY);
    path.cubicTo(midX + 1.2, topY, toX, topY + 0.6, toX, baseY);
}

} // namespace

QPainterPath CursorPainter::handOutline()
{
    QPainterPath path;
    path.moveTo(FingerLeft, 15);
    path.lineTo(FingerLeft, TipCentreY);
    // A short flat top makes the hot spot's pixel a solid part of the outline.
    path.cubicTo(FingerLeft, 1.1, 3.5, 0.5, 4.5, 0.5);
    path.lineTo(6.5, 0.5);
    path.cubicTo(7.5, 0.5, FingerRight, 1.1, FingerRight, TipCentreY);
    path.lineTo(FingerRight, 11);
    knuckle(path, 12.5, 11.5, 8.5);
    knuckle(path, 16.5, 12.5, 9.5);
    knuckle(path, 20.5, 14, 11);
    path.lineTo(20.5, 21);
    path.cubicTo(20.5, 24, 19.5, 25.5, 18.5, 26.5);
    path.lineTo(18.5, 30.5);
    path.lineTo(8.5, 30.5);
    path.lineTo(8.5, 27);
    path.cubicTo(7, 25.5, 3.5, 21.5, 1.2, 18.2);
    path.cubicTo(0.2, 16.8, 0.4, 15, 1.4, 14.8);
    path.cubicTo(2.0, 14.7, 2.3, 15.0, FingerLeft, 15.4);
    path.closeSubpath();
    return path;
}

QImage CursorPainter::pointingHand()
{
    QImage image(skinlayout::Cursor, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor outline = QColor::fromRgb(palette::CursorOutline);
    painter.setPen(QPen(outline, OutlineWidth, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    painter.setBrush(QColor::fromRgb(palette::CursorFill));
    painter.drawPath(handOutline());

    // Creases between the folded fingers and the cuff at the wrist.
    painter.setPen(QPen(outline, OutlineWidth));
    painter.drawLine(QPointF(12.5, 11.5), QPointF(12.5, 14.5));
    painter.drawLine(QPointF(16.5, 12.5), QPointF(16.5, 15.5));
    painter.drawLine(QPointF(8.5, 27.5), QPointF(18.5, 27.5));
    painter.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

} // namespace kivaro
