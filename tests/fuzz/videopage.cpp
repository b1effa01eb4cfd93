// The video page as the site sends it: the player parameters and the title, with its character
// references.

#include "engine/pagereader.h"
#include "platform/textdecoding.h"
#include "fuzzcheck.h"

using namespace kivaro;

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, size_t size)
{
    const QByteArrayView page = fuzzInput(data, size);
    const QString marker = QStringLiteral("var fo = new SWFObject(\"/player2.swf?video_id=");

    const std::optional<VideoPage> video = cutVideoPage(page, marker, QStringLiteral("\""));
    if (video) {
        // The parameters become the player's argument: one line, up to the closing quote.
        for (const QChar c : video->parameters)
            FUZZ_CHECK(c.unicode() >= 0x20 && c != QLatin1Char('"'));
        FUZZ_CHECK(video->title.has_value() == page.contains("<title>"));
        if (video->title) {
            FUZZ_CHECK(video->title->size() <= MaxTitleLength);
            FUZZ_CHECK(video->title->isEmpty() || !video->title->back().isHighSurrogate());
        }
    }

    // Decoding references only ever shortens a text, and leaves one without "&" alone.
    const QString text = decodeText(page);
    const QString decoded = decodeCharacterReferences(text);
    FUZZ_CHECK(decoded.size() <= text.size());
    if (!text.contains(QLatin1Char('&')))
        FUZZ_CHECK(decoded == text);
    return 0;
}
