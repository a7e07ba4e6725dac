// What an operator wants to know before sending: settings that are valid yet leave the repeater
// easy to open or impossible to tell apart. Warnings only: they never change a byte.
#pragma once

#include <string>
#include <vector>

#include "panelstate.h"

namespace zk::cli {

// One line each, in the order of the codes; empty when there is nothing to say. The codes must
// be valid (as ResolveSettings leaves them). A line names the codes by their keys and never
// shows a code: warnings go to standard error and into --json reports, logs and terminals that
// others may read, while the operator already knows which codes were given.
std::vector<std::string> SettingWarnings(const PanelState& panel);

}  // namespace zk::cli
