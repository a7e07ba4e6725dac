// The window's run from start to close, as the programmer's entry performs it.
#pragma once

#include <QStringList>

namespace zk {
class Player;
}

namespace zk::ui {

// Creates the window with its start values, runs its FormCreate with `arguments` (program name
// first, Qt's own options already taken out), shows it with the programmer page in front and
// processes events until it is closed. The QApplication must exist; the process-wide transfer
// array and sample buffer hold their start values from static initialisation. Returns the
// process's exit status: 0.
int RunProgrammer(Player& player, const QStringList& arguments);

}  // namespace zk::ui
