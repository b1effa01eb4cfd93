// The head of an HTTP response as the file downloader's transport reads it: line by line as the
// connection gives them, then the header block and the Content-Length value.

#include "platform/responsehead.h"

#include "fuzzcheck.h"

using namespace kivaro;

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, size_t size)
{
    const QByteArrayView input = fuzzInput(data, size);
    ResponseHead head;
    qsizetype at = 0;
    // Lines as a socket's readLine() hands them out: up to and including each LF.
    while (head.state() == ResponseHead::State::Reading) {
        const qsizetype lineFeed = input.indexOf('\n', at);
        if (lineFeed < 0) {
            if (!head.tooLongWith(input.size() - at))
                head.finishUnterminated(input.sliced(at).toByteArray());
            break;
        }
        head.addLine(input.sliced(at, lineFeed + 1 - at).toByteArray());
        at = lineFeed + 1;
    }

    const QString block = head.block();
    FUZZ_CHECK(block.size() <= ResponseHead::MaxBytes);
    if (head.state() == ResponseHead::State::TooLong)
        FUZZ_CHECK(block.isEmpty());
    if (head.state() == ResponseHead::State::Complete)
        FUZZ_CHECK(block.isEmpty() || block.endsWith(QLatin1String("\r\n")));
    // What the downloader asks of the head.
    const QString length = head.value(QStringLiteral("Content-Length"));
    FUZZ_CHECK(length.size() < ResponseHead::MaxBytes);
    return 0;
}
