#include "platform/pagebuffer.h"

namespace kivaro {

void PageBuffer::append(const QByteArray &bytes)
{
    m_bytes.append(bytes);
}

void PageBuffer::clear()
{
    m_bytes.clear();
}

} // namespace kivaro
