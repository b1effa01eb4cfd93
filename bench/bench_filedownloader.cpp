// Downloads one large file over loopback with FileDownloader and, in the same run and from the same
// server, with curl, and sets the two throughputs side by side. The server runs on a thread of its
// own so that serving does not eat into the downloader's turn on the event loop; curl, a separate
// process, has the same advantage. Also reports how far the process's resident memory rose above
// its level before the download: it must not grow with the size of the file.

#include "scriptedhttpserver.h"
#include "startup/filedownloader.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <benchmark/benchmark.h>

namespace {

using kivaro::test::ScriptedHttpServer;

constexpr qint64 MiB = 1024 * 1024;
constexpr double NsPerSecond = 1e9;

// A field of /proc/self/status in KiB (VmRSS, VmHWM); -1 when it cannot be read.
qint64 statusKiB(const QByteArray &field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> lines = status.readAll().split('\n');
    for (const QByteArray &line : lines) {
        if (line.startsWith(QByteArray(field + ':')))
            return line.mid(field.size() + 1).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

// Lowers the recorded peak to the present resident size, so that VmHWM afterwards tells the peak
// of what came since.
bool resetPeak()
{
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    return clearRefs.open(QIODevice::WriteOnly) && clearRefs.write("5") == 1;
}

// The scripted server, living and listening on a thread of its own.
class ServerThread
{
public:
    ServerThread(qint64 length, int replies)
        : m_server(new ScriptedHttpServer)
    {
        m_server->addReply(ScriptedHttpServer::patternReply(length), replies);
        m_server->moveToThread(&m_thread);
        m_thread.start();
        QMetaObject::invokeMethod(
            m_server, [this] { m_listening = m_server->listen(); }, Qt::BlockingQueuedConnection);
    }
    ~ServerThread()
    {
        QMetaObject::invokeMethod(
            m_server, [this] { delete m_server; }, Qt::BlockingQueuedConnection);
        m_thread.quit();
        m_thread.wait();
    }
    ServerThread(const ServerThread &) = delete;
    ServerThread &operator=(const ServerThread &) = delete;

    bool listening() const { return m_listening; }
    QString url() const { return m_server->url(QStringLiteral("/NewVers.exe")); }

private:
    QThread m_thread;
    ScriptedHttpServer *m_server;
    bool m_listening = false;
};

void BM_DownloadBesideCurl(benchmark::State &state)
{
    const qint64 length = state.range(0) * MiB;
    const QString curl = QStandardPaths::findExecutable(QStringLiteral("curl"));
    QTemporaryDir dir;
    if (curl.isEmpty() || !dir.isValid()) {
        state.SkipWithError("needs curl and a temporary folder");
        return;
    }
    // One reply for curl and one for the downloader per iteration, one for a warm-up, and not one more.
    ServerThread server(length, static_cast<int>(2 * state.max_iterations + 1));
    if (!server.listening()) {
        state.SkipWithError("cannot listen on 127.0.0.1");
        return;
    }
    const QString curlFile = dir.filePath(QStringLiteral("curl.bin"));
    const QString ownFile = dir.filePath(QStringLiteral("kivaro.bin"));

    kivaro::FileDownloader downloader;
    // The first download also sets up what the process keeps for every later one (network
    // plumbing, allocator pools); that is not memory that grows with the file.
    if (!downloader.DownloadFile(server.url(), ownFile)) {
        state.SkipWithError("the downloader failed");
        return;
    }
    QFile::remove(ownFile);
    double curlSeconds = 0;
    double ownSeconds = 0;
    qint64 peakGrowthKiB = 0;
    bool peakKnown = true;
    for (auto _ : state) {
        QProcess process;
        process.start(curl,
                      { QStringLiteral("--silent"), QStringLiteral("--show-error"),
                        QStringLiteral("--output"), curlFile, QStringLiteral("--write-out"),
                        QStringLiteral("%{time_total}"), server.url() });
        if (!process.waitForFinished(-1) || process.exitCode() != 0 || QFileInfo(curlFile).size() != length) {
            state.SkipWithError("curl failed");
            return;
        }
        curlSeconds += process.readAllStandardOutput().trimmed().toDouble();
        QFile::remove(curlFile);

        peakKnown = resetPeak() && peakKnown;
        const qint64 before = statusKiB("VmRSS");
        QElapsedTimer clock;
        clock.start();
        const bool complete = downloader.DownloadFile(server.url(), ownFile);
        const double seconds = static_cast<double>(clock.nsecsElapsed()) / NsPerSecond;
        peakGrowthKiB = std::max(peakGrowthKiB, statusKiB("VmHWM") - before);
        if (!complete || QFileInfo(ownFile).size() != length) {
            state.SkipWithError("the downloader failed");
            return;
        }
        QFile::remove(ownFile);
        ownSeconds += seconds;
        state.SetIterationTime(seconds);
    }

    const double bytes = static_cast<double>(length) * static_cast<double>(state.iterations());
    state.SetBytesProcessed(static_cast<int64_t>(bytes));
    state.counters["curl_MiB/s"] = bytes / static_cast<double>(MiB) / curlSeconds;
    state.counters["kivaro_MiB/s"] = bytes / static_cast<double>(MiB) / ownSeconds;
    state.counters["ratio"] = curlSeconds / ownSeconds;
    state.counters["peak_rss_growth_KiB"] = peakKnown ? static_cast<double>(peakGrowthKiB) : -1.0;
}

} // namespace

BENCHMARK(BM_DownloadBesideCurl)
    ->Arg(8)
    ->Arg(64)
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    // The downloader lets events run while it waits, which needs an application object.
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
