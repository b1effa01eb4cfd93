// How long one paint of the drawn progress bar takes for each look, beside Qt's own QProgressBar
// painted into an image of the same size in the same run.
//
//   bench_progressbar [--benchmark_filter=...]

#include "controls/progressbar/usercontrol1.h"

#include <QImage>
#include <QPainter>
#include <QProgressBar>

#include <benchmark/benchmark.h>

namespace {

constexpr int BenchValue = 63;
constexpr quint32 MainWindowBlue = 0x00A85E33;

QImage tile()
{
    QImage image(8, 8, QImage::Format_RGB32);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x)
            image.setPixel(x, y, (x / 4 + y / 4) % 2 ? qRgb(250, 170, 40) : qRgb(120, 60, 10));
    }
    return image;
}

// Arguments: look, width, height, text shown. One paint into the off-screen picture and its copy
// into an image, which is what reaching the screen costs.
void DrawProgressBar(benchmark::State &state)
{
    const QSize size(static_cast<int>(state.range(1)), static_cast<int>(state.range(2)));
    kivaro::UserControl1 control;
    control.resize(size);
    control.setHdc();
    control.setColor(MainWindowBlue);
    control.setImage(tile());
    control.setBrushStyle(4);
    control.setScrolling(static_cast<int>(state.range(0)));
    control.setShowText(state.range(3) != 0);
    control.setValue(BenchValue);
    QImage screen(size, QImage::Format_RGB32);
    for (auto _ : state) {
        control.DrawProgressBar();
        QPainter painter(&screen);
        control.pDraw(painter, 0, 0, size.width(), size.height(), 0, 0);
        benchmark::DoNotOptimize(screen.constBits());
    }
}

// Arguments: width, height, text shown.
void QProgressBarRender(benchmark::State &state)
{
    const QSize size(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    QProgressBar bar;
    bar.resize(size);
    bar.setRange(0, 100);
    bar.setValue(BenchValue);
    bar.setTextVisible(state.range(2) != 0);
    QImage screen(size, QImage::Format_RGB32);
    for (auto _ : state) {
        bar.render(&screen);
        benchmark::DoNotOptimize(screen.constBits());
    }
}

} // namespace

BENCHMARK(DrawProgressBar)
    ->ArgNames({ "look", "w", "h", "text" })
    ->ArgsProduct({ benchmark::CreateDenseRange(0, 9, 1), { 200 }, { 20 }, { 0, 1 } })
    ->ArgsProduct({ benchmark::CreateDenseRange(0, 9, 1), { 400 }, { 30 }, { 0, 1 } })
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(QProgressBarRender)
    ->ArgNames({ "w", "h", "text" })
    ->Args({ 200, 20, 0 })
    ->Args({ 200, 20, 1 })
    ->Args({ 400, 30, 0 })
    ->Args({ 400, 30, 1 })
    ->Unit(benchmark::kMicrosecond);
