#pragma once

#include <QByteArrayView>
#include <QString>

namespace kivaro {

// Text from bytes whose encoding nobody states (a page, the playlist file): UTF-8 where the bytes
// are valid UTF-8, which is what sites and this program write today, otherwise one character per
// byte (Latin-1), so text from single-byte days stays readable. Bytes cut short may end inside a
// character; with `cutShort` that unfinished character is left out instead of making the whole
// text Latin-1.
QString decodeText(QByteArrayView bytes, bool cutShort = false);

// Text from outside (a page's title, a program's answer) made fit to be shown, stored or written on
// one line: every control character (below 0x20, DEL, and the C1 characters 0x80 to 0x9F), every
// character that overrides the direction of text (U+202A to U+202E, U+2066 to U+2069) and the line
// and paragraph separators become spaces. A title can then neither add a line to the playlist file
// nor send a terminal escape sequences, nor show reversed. Everything else stays.
QString oneLineText(QString text);

} // namespace kivaro
