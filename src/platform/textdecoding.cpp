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

} // namespace kivaro
