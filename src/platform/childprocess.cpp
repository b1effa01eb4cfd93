#include "platform/childprocess.h"

#include <QProcess>

#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

namespace kivaro {

void dieWithProgram(QProcess &process)
{
    const pid_t parentPid = ::getpid();
    process.setChildProcessModifier([parentPid] {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parentPid)
            ::_exit(1); // the program died before the child got going
    });
}

} // namespace kivaro
