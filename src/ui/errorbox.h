// The common error handler: every button action runs under it. A fault ends the action where it
// happened and is shown in a modal box; whatever the action changed before keeps its new state,
// and the tool goes on running.
#pragma once

#include <QString>
#include <functional>
#include <string>

class QWidget;

namespace zk::ui {

// The box's caption: the executable's name up to its first ".", lower case after the first
// character ("Zk77q3-programmer").
QString ErrorBoxTitle();

// Shows `message` (UTF-8) in a modal box with the stop icon and one OK button, with the closing
// full stop added by the box's rule, and returns when the box is closed.
void ShowErrorBox(QWidget* parent, const std::string& message);

// Runs `action`; a fault (zk::Fault, any standard exception) reaches the box instead of ending
// the process, in its Russian wording when it carries one (zk::RussianWording). Returns false
// when the action failed.
bool RunUnderErrorBox(QWidget* parent, const std::function<void()>& action);

}  // namespace zk::ui
