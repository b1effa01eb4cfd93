// Page reading: the cuts the engine makes when a page has arrived, on pages far larger than the
// site's (a 1 MB search page whose first result comes late, a 300 KB video page).

#include "engine/pagereader.h"
#include "pages.h"
#include "platform/textdecoding.h"

#include <benchmark/benchmark.h>

using namespace kivaro;

namespace {

const QByteArray ResultMarker = "a href=\"/watch?v=";
const QByteArray PlayerMarker = "var fo = new SWFObject(\"/player2.swf?video_id=";

// Markup before the results, as long as needed: the marker must be searched for across it.
QByteArray padded(const QByteArray &page, qsizetype size, qsizetype insertAt)
{
    QByteArray filler;
    const QByteArray row = "<div class=\"ad\"><a href=\"/ads/click?id=12345\" class=\"adLink\">Sponsored link</a></div>\n";
    while (page.size() + filler.size() < size)
        filler += row;
    QByteArray result = page;
    result.insert(insertAt, filler.left(size - page.size()));
    return result;
}

void searchPage(benchmark::State &state)
{
    demo::Catalogue catalogue;
    const QByteArray base = demo::searchPage(QStringLiteral("red band"), catalogue.search(QStringLiteral("red band")));
    const QByteArray page = padded(base, 1 << 20, base.indexOf("<div id=\"mainContent\">"));
    for (auto _ : state) {
        const auto id = cutPiece(page, ResultMarker, QByteArrayView("\""));
        benchmark::DoNotOptimize(decodeText(*id));
    }
    state.SetBytesProcessed(state.iterations() * page.size());
    state.counters["page_bytes"] = double(page.size());
}

void videoPage(benchmark::State &state)
{
    demo::Catalogue catalogue;
    const QByteArray base = demo::videoPage(catalogue.tracks().constFirst());
    const QByteArray page = padded(base, 300 * 1024, base.indexOf("<div id=\"watch-this-vid\">"));
    for (auto _ : state) {
        const auto parameters = cutPiece(page, PlayerMarker, QByteArrayView("\""));
        benchmark::DoNotOptimize(decodeText(*parameters));
        const auto title = cutPiece(page, "<title>", QByteArrayView("</title>"));
        benchmark::DoNotOptimize(
            decodeCharacterReferences(decodeText(*title).remove(QLatin1String("YouTube - "))));
    }
    state.SetBytesProcessed(state.iterations() * page.size());
    state.counters["page_bytes"] = double(page.size());
}

} // namespace

BENCHMARK(searchPage)->Unit(benchmark::kMicrosecond);
BENCHMARK(videoPage)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
