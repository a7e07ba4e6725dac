// The common error handler: every button action runs under it. A fault ends the action where it
// happened and is shown in a modal box; whatever the action changed before keeps its new state,
// and the tool goes on running.
#pragma once

#include <QString>
#include <exception>
#include <functional>
#include <string>

#include "wording.h"

class QWidget;

namespace zk::ui {

// The box's caption: the executable's name up to its first ".", lower case after the first
// character ("Zk77q3-programmer").
QString ErrorBoxTitle();

// Shows `message` (UTF-8) in a modal box with the stop icon and one OK button, with the closing
// full stop added by the box's rule, and returns when the box is closed.
void ShowErrorBox(QWidget* parent, const std::string& message);

// The words a window shows for a fault.
using FaultWords = std::string (*)(const std::exception& fault);

// Runs `action`; a fault (zk::Fault, any standard exception) reaches the box instead of ending
// the process, in the words `words` picks: by default the programmer window's, its Russian
// wording when it carries one (zk::RussianWording). Returns false when the action failed.
bool RunUnderErrorBox(QWidget* parent, const std::function<void()>& action,
                      FaultWords words = &WindowMessage);

}  // namespace zk::ui
