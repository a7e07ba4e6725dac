// The window's run from start to close, as the programmer's entry performs it.
#pragma once

#include <QStringList>

#include "sendroute.h"

namespace zk::ui {

// The programmer's process from its command line to its exit status. The first argument is taken
// as the process received it: QApplication then takes its own options (-reverse, -style,
// -platform, ...) out of argv, and one of them in front must not make "xq" the first argument;
// Qt still acts on them. Creates the application and runs the window with `route`.
int ProgrammerMain(int argc, char** argv, SendRoute& route);

// Creates the window with its start values, runs its FormCreate with `arguments` (program name
// first, the command line as the process received it), shows it with the programmer page in
// front and processes events until it is closed. The QApplication must exist; the process-wide
// transfer array and sample buffer hold their start values from static initialisation. Returns
// the process's exit status: 0.
int RunProgrammer(SendRoute& route, const QStringList& arguments);

}  // namespace zk::ui
