#include "platform/childprocess.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
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

bool startDetached(QFile &program)
{
    const int fd = program.handle();
    if (fd < 0)
        return false;
    // Everything the child needs is made before fork(): after it, in a program with threads, only
    // calls that are safe in a signal handler may run.
    QByteArray name = QFile::encodeName(QFileInfo(program.fileName()).fileName());
    char *argv[] = { name.data(), nullptr };
    int report[2];
    // Closed by a successful exec, so reading it tells whether the program got going.
    if (::pipe2(report, O_CLOEXEC) != 0)
        return false;

    const pid_t child = ::fork();
    if (child < 0) {
        ::close(report[0]);
        ::close(report[1]);
        return false;
    }
    if (child == 0) {
        ::close(report[0]);
        // A session of its own, and a second fork so that the program is nobody's child but init's:
        // it outlives us and leaves no zombie behind.
        ::setsid();
        const pid_t grandchild = ::fork();
        if (grandchild != 0)
            ::_exit(grandchild < 0 ? 1 : 0);
        // What the program inherits as a fresh process would: default signal handling (this
        // program ignores SIGPIPE) and no blocked signals.
        struct sigaction standard
        {
        };
        standard.sa_handler = SIG_DFL;
        ::sigaction(SIGPIPE, &standard, nullptr);
        sigset_t none;
        ::sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        // A script's interpreter reads it through this descriptor (/dev/fd/N), so it stays open
        // across the exec.
        ::fcntl(fd, F_SETFD, 0);
        ::fexecve(fd, argv, environ);
        const int error = errno;
        [[maybe_unused]] const ssize_t written = ::write(report[1], &error, sizeof error);
        ::_exit(127);
    }
    ::close(report[1]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) { }
    int error = 0;
    ssize_t got;
    while ((got = ::read(report[0], &error, sizeof error)) < 0 && errno == EINTR) { }
    ::close(report[0]);
    // Nothing to read: the exec closed the pipe, the program runs.
    return got == 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace kivaro
