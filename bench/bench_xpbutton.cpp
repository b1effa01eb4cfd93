// How long one paint of the XP-style button takes for each look, beside Qt's own QPushButton
// rendered into an image of the same size in the same run.
//
//   bench_xpbutton [--benchmark_filter=...]

#include "controls/xpbutton/xpbuttonpainter.h"

#include <QImage>
#include <QPainter>
#include <QPushButton>

#include <benchmark/benchmark.h>

namespace {

constexpr int PictureSize = 16;

QFont captionFont()
{
    QFont font { QStringLiteral("Arial") };
    font.setPointSizeF(8.25);
    return font;
}

// A 16 x 16 picture: a red disc with a green square on the grey mask colour.
QImage picture()
{
    QImage image(PictureSize, PictureSize, QImage::Format_RGB32);
    image.fill(qRgb(192, 192, 192));
    QPainter painter(&image);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(200, 30, 30));
    painter.drawEllipse(1, 1, 14, 14);
    painter.setBrush(QColor(30, 160, 30));
    painter.drawRect(5, 5, 6, 6);
    return image;
}

// Arguments: look, width, height, picture, the host's default button. One paint of the caption "Play" at
// rest, as the widget's paint event asks for it: the face, frame, caption and picture composed into the
// button's image.
void PaintXPButton(benchmark::State &state)
{
    const int W = static_cast<int>(state.range(1));
    const int H = static_cast<int>(state.range(2));
    kivaro::XPButtonLook look;
    look.ButtonType = static_cast<int>(state.range(0));
    look.Caption = QStringLiteral("&Play");
    look.Font = captionFont();
    if (state.range(3) != 0)
        look.PictureNormal.image = picture();
    look.isDefault = state.range(4) != 0;
    look.background = QImage(W, H, QImage::Format_RGB32);
    look.background.fill(qRgb(90, 140, 90));
    const kivaro::XPButtonPalette palette = kivaro::SetColors(look);
    kivaro::XPButtonLayout layout;
    const QSize size = kivaro::MeasurePicture(look.PictureNormal);
    layout.picW = size.width();
    layout.picH = size.height();
    layout.focusRect = kivaro::xpButtonFocusRect(look.ButtonType, W, H);
    kivaro::LayoutCaption(look, W, H, layout);
    QImage surface(W, H, QImage::Format_RGB32);
    kivaro::Canvas canvas(surface);
    for (auto _ : state) {
        kivaro::paintXPButton(canvas, look, palette, layout, 0);
        benchmark::DoNotOptimize(surface.constBits());
    }
}

// Arguments: width, height, picture.
void QPushButtonRender(benchmark::State &state)
{
    const QSize size(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    QPushButton button(QStringLiteral("&Play"));
    button.setFont(captionFont());
    if (state.range(2) != 0) {
        button.setIcon(QIcon(QPixmap::fromImage(picture())));
        button.setIconSize(QSize(PictureSize, PictureSize));
    }
    button.resize(size);
    QImage screen(size, QImage::Format_RGB32);
    for (auto _ : state) {
        button.render(&screen);
        benchmark::DoNotOptimize(screen.constBits());
    }
}

} // namespace

BENCHMARK(PaintXPButton)
    ->ArgNames({ "look", "w", "h", "pic", "default" })
    ->ArgsProduct({ benchmark::CreateDenseRange(1, 14, 1), { 75 }, { 23 }, { 0, 1 }, { 0 } })
    ->ArgsProduct({ benchmark::CreateDenseRange(1, 14, 1), { 200 }, { 40 }, { 0, 1 }, { 0 } })
    ->Args({ 2, 75, 23, 1, 1 })
    ->Args({ 3, 75, 23, 1, 1 })
    ->Args({ 14, 75, 23, 1, 1 })
    ->Args({ 14, 200, 40, 1, 1 })
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(QPushButtonRender)
    ->ArgNames({ "w", "h", "pic" })
    ->Args({ 75, 23, 0 })
    ->Args({ 75, 23, 1 })
    ->Args({ 200, 40, 0 })
    ->Args({ 200, 40, 1 })
    ->Unit(benchmark::kMicrosecond);
