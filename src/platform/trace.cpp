#include "platform/trace.h"

#include <QTextStream>

namespace kivaro {

void Trace::line(const QString &text) const
{
    if (!m_enabled)
        return;
    QTextStream err(stderr);
    err << "kivaro: " << text << Qt::endl;
}

} // namespace kivaro
