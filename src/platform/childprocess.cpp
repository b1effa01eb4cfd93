#include "platform/childprocess.h"

#include <QProcess>

#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

namespace kivaro {

void dieWithProgram(QProcess &process, ProcessGroup group)
{
    const pid_t parentPid = ::getpid();
    const bool ownGroup = group == ProcessGroup::Own;
    process.setChildProcessModifier([parentPid, ownGroup] {
        if (ownGroup)
            ::setpgid(0, 0);
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parentPid)
            ::_exit(1); // the program died before the child got going
    });
}

void killProcessGroup(QProcess &process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    // Not yet reaped, so its number still leads its group and no other process can have it.
    const auto pid = static_cast<pid_t>(process.processId());
    if (pid > 0)
        ::kill(-pid, SIGKILL);
    process.kill();
}

} // namespace kivaro
