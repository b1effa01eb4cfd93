#pragma once

class QFile;
class QProcess;

namespace kivaro {

// Has a process that is about to start die with the program, also when the program is killed or
// crashes (PR_SET_PDEATHSIG). A child whose program died before it got going ends at once.
void dieWithProgram(QProcess &process);

// Starts the program in an open file as a process of its own, with no arguments and no shell, and
// does not wait for it: it is no child of ours and outlives the program. The file that runs is the
// one open here, not whatever its name points to by then, so the name may go the moment this
// returns (a script's interpreter reads it through the open file too). True once the program runs.
bool startDetached(QFile &program);

} // namespace kivaro
