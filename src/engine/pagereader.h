#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

namespace kivaro {

// Cuts a piece out of a page: the text after the first occurrence of `start`, up to the earliest of
// the first `end` after it, the next occurrence of `start`, or the end of the page. The piece may be
// empty; there is none when `start` does not occur at all. Matching is exact and case-sensitive.
// An absent `end` is one that cannot occur in the page.
std::optional<QByteArrayView> cutPiece(QByteArrayView page, QByteArrayView start,
                                       std::optional<QByteArrayView> end);

// A marker as the page's single-byte text holds it; none when the marker has a character beyond
// one byte, since such a marker cannot occur in the page.
std::optional<QByteArray> singleByteText(const QString &text);

// A title as the page means it: character references such as "&amp;", "&#233;" or "&#x263A;" become
// the characters they stand for. Anything that is not a complete reference stays as it is.
QString decodeCharacterReferences(const QString &text);

} // namespace kivaro
