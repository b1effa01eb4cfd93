#include "platform/events.h"

#include <QCoreApplication>
#include <QEventLoop>

namespace kivaro {

void letEventsRun(EventWait wait)
{
    if (wait == EventWait::Block)
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    else
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

} // namespace kivaro
