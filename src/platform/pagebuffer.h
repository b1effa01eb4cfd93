#pragma once

#include <QByteArray>

namespace kivaro {

// The engine's page buffer: the raw response of the current fetch, status line, headers and body,
// exactly as received. The bytes are kept as they are; the page reader cuts its pieces out of them.
//
// The buffer holds at most MaxBytes. The site's pages are well under 1 MiB; a response eight times
// the largest of them is no page but a server that does not stop, and reading it on would let that
// server take the memory. Eight MiB still leaves room for pages far larger than any seen, and the
// page reader scans that much in milliseconds.
class PageBuffer
{
public:
    static constexpr qsizetype MaxBytes = 8 * 1024 * 1024;

    // Appends the bytes. Returns false, and keeps nothing of them, when they would take the buffer
    // past MaxBytes.
    [[nodiscard]] bool append(const QByteArray &bytes);
    void clear();

    const QByteArray &bytes() const { return m_bytes; }

private:
    QByteArray m_bytes;
};

} // namespace kivaro
