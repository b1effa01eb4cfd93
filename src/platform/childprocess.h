#pragma once

class QProcess;

namespace kivaro {

enum class ProcessGroup {
    Inherit, // the program's own, as usual
    Own, // a new one led by the child, so that killProcessGroup() reaches what the child starts
};

// Has a process that is about to start die with the program, also when the program is killed or
// crashes (PR_SET_PDEATHSIG). A child whose program died before it got going ends at once.
void dieWithProgram(QProcess &process, ProcessGroup group = ProcessGroup::Inherit);

// Kills a running process started with ProcessGroup::Own and every process in its group (SIGKILL),
// then the process itself as QProcess::kill() does. A process that is not running is left alone:
// its number may already be another's.
void killProcessGroup(QProcess &process);

} // namespace kivaro
