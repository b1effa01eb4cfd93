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

void PageBuffer::append(const QByteArray &bytes)
{
    m_bytes.append(bytes);
}

void PageBuffer::clear()
{
    m_bytes.clear();
}

} // namespace kivaro
