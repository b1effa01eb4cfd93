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

} // namespace kivaro
