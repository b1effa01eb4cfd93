#include "platform/textdecoding.h"

#include <QStringDecoder>

namespace kivaro {

QString decodeText(QByteArrayView bytes, bool cutShort)
{
    // A decoder that keeps state holds an unfinished last character back instead of calling it an
    // error.
    QStringDecoder utf8(QStringDecoder::Utf8,
                        cutShort ? QStringDecoder::Flag::Default : QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return QString::fromLatin1(bytes);
    return text;
}

QString oneLineText(QString text)
{
    for (QChar &c : text) {
        const char16_t u = c.unicode();
        const bool control = u < 0x20 || (u >= 0x7f && u <= 0x9f);
        const bool direction = (u >= 0x202a && u <= 0x202e) || (u >= 0x2066 && u <= 0x2069);
        const bool separator = u == 0x2028 || u == 0x2029;
        if (control || direction || separator)
            c = u' ';
    }
    return text;
}

} // namespace kivaro
