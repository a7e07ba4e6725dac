// What an operator wants to know before sending: settings that are valid yet leave the repeater
// easy to open or impossible to tell apart. Warnings only: they never change a byte.
#pragma once

#include <string>
#include <vector>

#include "panelstate.h"

namespace zk::cli {

// One line each, in the order of the codes; empty when there is nothing to say. The codes must
// be valid (as ResolveSettings leaves them).
std::vector<std::string> SettingWarnings(const PanelState& panel);

}  // namespace zk::cli
