#pragma once

class QProcess;

namespace kivaro {

// Has a process that is about to start die with the program, also when the program is killed or
// crashes (PR_SET_PDEATHSIG). A child whose program died before it got going ends at once.
void dieWithProgram(QProcess &process);

} // namespace kivaro
