#pragma once

#include "platform/canvas.h"
#include "platform/colormath.h"
#include "platform/rect.h"
#include "platform/systemcolors.h"

#include <QFont>
#include <QImage>
#include <QSize>
#include <QString>

namespace kivaro {

// Everything that decides how a progress bar looks, besides its size.
struct ProgressBarLook
{
    int percentage = 0; // what Value holds; drawn as at most 100
    int orientation = 0;
    int scrolling = 0;
    int brushStyle = 0;
    ColorRef color = 0;
    QImage image;
    bool showText = false;
    QFont font;
};

// Paints a progress bar whose client area is client.width() x client.height() pixels: the
// background, the look chosen by look.scrolling, and the percentage text when it is shown.
// UserControl1 paints itself through this, and so can anything else that wants the same pixels.
void paintProgressBar(Canvas &canvas, QSize client, const ProgressBarLook &look);

// The percentage text ("42 %"); empty for the marquee look.
QString progressText(const ProgressBarLook &look);
// Where that text goes: centred in the client area, as measured with the look's font.
Rect progressTextRect(const QString &text, QSize client, const QFont &font);

// Each channel becomes round(second x (255 - weight) / 255 + first x weight / 255): weight 255
// gives first, weight 0 gives second.
ColorRef BlendColor(ColorRef first, ColorRef second, int weight);
// A one-pixel line from (X, Y) to (Width, Height), the end point left out. Despite their names,
// Width and Height are the end point.
void DrawLine(int X, int Y, int Width, int Height, Canvas &cHdc, ColorRef Color);
// n + 1 one-pixel lines whose colour steps evenly from lEndColor to lStartcolor, n = X2 when bH,
// else Y2. With bH they are columns X + i from row Y to row Y2; otherwise rows Y + i from column
// X to column X2. With n = 0 only the first line is drawn.
void DrawGradient(ColorRef lEndColor, ColorRef lStartcolor, int X, int Y, int X2, int Y2, Canvas &hdc,
                  bool bH);

} // namespace kivaro
