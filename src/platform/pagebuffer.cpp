#include "platform/pagebuffer.h"

namespace kivaro {

void PageBuffer::setText(const QString &text)
{
    m_bytes = text.toLatin1();
}

QString PageBuffer::text() const
{
    return QString::fromLatin1(m_bytes);
}

bool PageBuffer::append(const QByteArray &bytes)
{
    if (bytes.size() > MaxBytes - m_bytes.size())
        return false;
    m_bytes.append(bytes);
    return true;
}

void PageBuffer::clear()
{
    m_bytes.clear();
}

} // namespace kivaro
