#include "platform/pagebuffer.h"

namespace kivaro {

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
