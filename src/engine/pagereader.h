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

// Whether a piece holds a byte below 0x20 (CR, LF, NUL and the like). Pieces that go into a request
// line or into the player's arguments must not: a page could add header lines or odd arguments.
bool hasControlBytes(QByteArrayView piece);

// A search page's first video: the piece cut with the result marker and its terminator, as the
// window's labels hold them. None when the marker does not occur, or when the piece holds a control
// byte, since it becomes part of the next request line.
std::optional<QString> cutFirstVideo(QByteArrayView page, const QString &marker, const QString &terminator);

// A title is kept up to this many characters. Real titles are a small fraction of it; a page could
// otherwise hand the main window megabytes to lay out as one label.
constexpr qsizetype MaxTitleLength = 1024;

struct VideoPage
{
    QString parameters; // the player's parameter string
    // Without the site's prefix, references decoded, at most MaxTitleLength characters; none
    // without <title>.
    std::optional<QString> title;
};

// A video page: the player parameters cut with the player marker and its terminator, and the title.
// None when the marker does not occur or the parameters hold a control byte, since they become the
// player's argument.
std::optional<VideoPage> cutVideoPage(QByteArrayView page, const QString &marker, const QString &terminator);

} // namespace kivaro
