#pragma once

#include <QByteArray>

namespace kivaro {

// The engine's page buffer: the raw response of the current fetch, status line, headers and body,
// exactly as received. The bytes are kept as they are; the page reader cuts its pieces out of them.
class PageBuffer
{
public:
    void append(const QByteArray &bytes);
    void clear();

    const QByteArray &bytes() const { return m_bytes; }

private:
    QByteArray m_bytes;
};

} // namespace kivaro
