// What mpv sends on its IPC socket: lines of JSON, in reads cut anywhere, each value checked for its
// type and range before it counts.

#include "fuzzcheck.h"
#include "platform/mpvipc.h"

#include <algorithm>

using namespace kivaro;

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, size_t size)
{
    const QByteArrayView input = fuzzInput(data, size);
    MpvIpc ipc;
    // Two reads, cut where the first byte says, as a socket may cut them.
    const qsizetype cut = input.isEmpty() ? 0 : std::min<qsizetype>(qsizetype(data[0]) * 97, input.size());
    const bool first = ipc.receive(input.first(cut));
    const bool second = ipc.receive(input.sliced(cut));
    FUZZ_CHECK(first || !second); // once refused, refused for good
    FUZZ_CHECK(ipc.volume() >= 0.0 && ipc.volume() <= MpvIpc::MaxVolume);
    FUZZ_CHECK(ipc.lengthUs() >= -1 && ipc.lengthUs() <= qint64(MpvIpc::MaxSeconds) * 1000000);
    FUZZ_CHECK(ipc.positionUs() >= 0);
    // Nothing was asked, so nothing is an answer.
    FUZZ_CHECK(!ipc.isAnswering());
    return 0;
}
