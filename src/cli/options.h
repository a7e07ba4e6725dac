// The command line of zk77q3: which action to run and the repeater's settings, read into the same
// control panel the window would fill. Pure: nothing is printed or written here.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "panelstate.h"

namespace zk::cli {

enum class Action { Generate, Play, Help, Version };

struct Command {
    Action action = Action::Help;
    PanelState panel;  // start values, changed by the options given
};

// Bad input: the message names the option and what it accepts.
class UsageError : public std::runtime_error {
  public:
    explicit UsageError(const std::string& message) : std::runtime_error(message) {}
};

// Parses the arguments after the program name. Options take their value as the next argument or
// after "="; a later option overrides an earlier one.
Command ParseCommandLine(const std::vector<std::string>& args);

// Checks the five access codes as generate will; throws UsageError naming the first rejected
// option and the window's message for it.
void CheckAccessCodes(PanelState& panel);

std::string UsageText();

}  // namespace zk::cli
