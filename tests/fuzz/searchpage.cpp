// The search page as the site sends it, headers included: the first video's identifier.

#include "engine/pagereader.h"
#include "fuzzcheck.h"

using namespace kivaro;

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, size_t size)
{
    const QByteArrayView page = fuzzInput(data, size);
    const QByteArrayView marker("a href=\"/watch?v=");
    const QByteArrayView quote("\"");

    // The piece lies inside the page, right after the first marker, and holds neither its end text
    // nor a further marker.
    const std::optional<QByteArrayView> piece = cutPiece(page, marker, quote);
    FUZZ_CHECK(piece.has_value() == page.contains(marker));
    if (piece) {
        FUZZ_CHECK(piece->data() == page.data() + page.indexOf(marker) + marker.size());
        FUZZ_CHECK(piece->data() + piece->size() <= page.data() + page.size());
        FUZZ_CHECK(!piece->contains(quote) && !piece->contains(marker));
    }

    // What goes into the next request line never carries a control byte.
    const std::optional<QString> identifier
        = cutFirstVideo(page, QString::fromLatin1(marker), QString::fromLatin1(quote));
    FUZZ_CHECK(identifier.has_value() == (piece && !hasControlBytes(*piece)));
    if (identifier) {
        for (const QChar c : *identifier)
            FUZZ_CHECK(c.unicode() >= 0x20);
    }
    return 0;
}
