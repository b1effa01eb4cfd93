#include "engine/pagereader.h"

#include "platform/textdecoding.h"

#include <algorithm>

namespace kivaro {

namespace {

const QLatin1String TitleStart("<title>");
const QLatin1String TitleEnd("</title>");
const QLatin1String SitePrefix("YouTube - ");

// Cuts a piece with marker texts as the window holds them.
std::optional<QByteArrayView> cutWithMarkers(QByteArrayView page, const QString &start, const QString &end)
{
    const std::optional<QByteArray> startBytes = singleByteText(start);
    if (!startBytes)
        return std::nullopt;
    const std::optional<QByteArray> endBytes = singleByteText(end);
    std::optional<QByteArrayView> endView;
    if (endBytes)
        endView = QByteArrayView(*endBytes);
    return cutPiece(page, *startBytes, endView);
}

} // namespace

std::optional<QByteArrayView> cutPiece(QByteArrayView page, QByteArrayView start,
                                       std::optional<QByteArrayView> end)
{
    const qsizetype at = page.indexOf(start);
    if (at < 0)
        return std::nullopt;
    const QByteArrayView rest = page.sliced(at + start.size());
    // The end text is usually close by: find it first, then look for a further start text only
    // where it could still come earlier (also one that begins before the end text and overlaps it),
    // instead of across the whole rest of the page.
    qsizetype length = rest.size();
    qsizetype searchStartIn = rest.size();
    if (end) {
        const qsizetype endAt = rest.indexOf(*end);
        if (endAt >= 0) {
            length = endAt;
            searchStartIn = std::min(rest.size(), endAt + start.size() - 1);
        }
    }
    const qsizetype nextStart = rest.first(searchStartIn).indexOf(start);
    if (nextStart >= 0 && nextStart < length)
        length = nextStart;
    return rest.first(length);
}

std::optional<QByteArray> singleByteText(const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() > 0xff)
            return std::nullopt;
    }
    return text.toLatin1();
}

namespace {

// The longest reference worth looking at: "&#x10FFFF;" has ten characters.
constexpr qsizetype MaxReferenceLength = 10;

std::optional<char32_t> referencedCharacter(QStringView name)
{
    if (name.startsWith(u'#')) {
        const bool hex = name.size() > 1 && (name.at(1) == u'x' || name.at(1) == u'X');
        const QStringView digits = name.mid(hex ? 2 : 1);
        if (digits.isEmpty())
            return std::nullopt;
        bool ok = false;
        const uint code = digits.toUInt(&ok, hex ? 16 : 10);
        const bool surrogate = code >= 0xd800 && code <= 0xdfff;
        if (!ok || code == 0 || code > 0x10ffff || surrogate)
            return std::nullopt;
        return char32_t(code);
    }
    static constexpr struct
    {
        char16_t name[6];
        char32_t character;
    } Named[] = {{u"amp", U'&'}, {u"lt", U'<'}, {u"gt", U'>'}, {u"quot", U'"'}, {u"apos", U'\''}, {u"nbsp", 0xa0}};
    for (const auto &entry : Named) {
        if (name == QStringView(entry.name))
            return entry.character;
    }
    return std::nullopt;
}

} // namespace

QString decodeCharacterReferences(const QString &text)
{
    if (!text.contains(QLatin1Char('&')))
        return text;
    QString out;
    out.reserve(text.size());
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar c = text.at(i);
        if (c == u'&') {
            // Only the next few characters can close a reference. Looking further would make a
            // title of many "&" cost the square of its length.
            const QStringView after = QStringView(text).sliced(i + 1, std::min(MaxReferenceLength, text.size() - i - 1));
            const qsizetype semicolon = after.indexOf(u';');
            if (semicolon > 0) {
                if (const auto character = referencedCharacter(after.first(semicolon))) {
                    const char32_t code = *character;
                    out += QString::fromUcs4(&code, 1);
                    i += semicolon + 2;
                    continue;
                }
            }
        }
        out += c;
        ++i;
    }
    return out;
}

bool hasControlBytes(QByteArrayView piece)
{
    return std::any_of(piece.begin(), piece.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

std::optional<QString> cutFirstVideo(QByteArrayView page, const QString &marker, const QString &terminator)
{
    const std::optional<QByteArrayView> piece = cutWithMarkers(page, marker, terminator);
    if (!piece || hasControlBytes(*piece))
        return std::nullopt;
    return decodeText(*piece);
}

std::optional<VideoPage> cutVideoPage(QByteArrayView page, const QString &marker, const QString &terminator)
{
    const std::optional<QByteArrayView> parameters = cutWithMarkers(page, marker, terminator);
    if (!parameters || hasControlBytes(*parameters))
        return std::nullopt;
    VideoPage video { decodeText(*parameters), std::nullopt };
    if (const auto piece = cutPiece(page, TitleStart, QByteArrayView(TitleEnd))) {
        QString title = decodeCharacterReferences(decodeText(*piece).remove(SitePrefix));
        if (title.size() > MaxTitleLength) {
            title.truncate(MaxTitleLength);
            if (title.back().isHighSurrogate())
                title.chop(1); // no half of a character at the end
        }
        video.title = title;
    }
    return video;
}

} // namespace kivaro
