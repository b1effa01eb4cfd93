#pragma once

#include <QByteArray>
#include <QString>

namespace kivaro {

// The engine's page buffer: the raw response of the current fetch, status line, headers and body,
// exactly as received. The bytes are kept as they are; text() reads them as single-byte (Latin-1)
// text, one character per byte, which is all the page reader needs since its markers are ASCII.
class PageBuffer
{
public:
    void setText(const QString &text);
    QString text() const;
    void append(const QByteArray &bytes);
    void clear();

    const QByteArray &bytes() const { return m_bytes; }

private:
    QByteArray m_bytes;
};

} // namespace kivaro
