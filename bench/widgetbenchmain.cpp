// The main() of the benchmarks that paint drawn controls beside Qt's own widgets: an application
// object on the off-screen platform, then Google Benchmark's usual run.

#include <QApplication>

#include <benchmark/benchmark.h>

int main(int argc, char **argv)
{
    // Everything is painted off-screen; no display is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
