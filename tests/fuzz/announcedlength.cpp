// The value of a response's Content-Length as the file downloader reads it, and the percentage it
// then reports against it.

#include "fuzzcheck.h"
#include "startup/filedownloader.h"

#include <algorithm>
#include <limits>

using namespace kivaro;

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, size_t size)
{
    const QString text = QString::fromLatin1(fuzzInput(data, size));
    qint64 length = -1;
    if (!FileDownloader::readAnnouncedLength(text, &length))
        return 0;
    FUZZ_CHECK(length >= std::numeric_limits<qint32>::min() && length <= std::numeric_limits<qint32>::max());

    // Plain digits read as the number they write.
    const bool plain = !text.isEmpty()
        && std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    if (plain)
        FUZZ_CHECK(text.toLongLong() == length);

    // Every count the download can reach gives a whole percentage, at most a little past 100 for a
    // server that sends more than it announced.
    if (length > 0) {
        for (const qint64 received : { qint64(0), length / 2, length - 1, length, length + 1 }) {
            bool number = false;
            const qint64 percent = FileDownloader::progressText(received, length).toLongLong(&number);
            FUZZ_CHECK(number && percent >= 0 && percent <= 200);
            FUZZ_CHECK(received != length || percent == 100);
        }
    }
    return 0;
}
