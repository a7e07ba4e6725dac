// The station's own configuration: what stays the same from one repeater to the next, so that
// the operator sets it once. $XDG_CONFIG_HOME/zk77q3/config.toml (~/.config/zk77q3/config.toml
// without it), flat TOML like a profile, holding the transmitter's keying:
//
//     ptt = "rigctld:localhost:4532"
//     ptt-lead = 300
#pragma once

#include <filesystem>

#include "settings.h"

namespace zk {

// The file's path; empty when neither XDG_CONFIG_HOME (an absolute path) nor HOME is set.
std::filesystem::path StationConfigPath();

// The keying values the file holds (keying.h), each checked, or none when there is no file.
// Throws UsageError naming the file for a file that exists and cannot be read, and
// "FILE:LINE: ..." for an unknown key or a bad value, under the profiles' limits.
GivenSettings ReadStationConfig();

}  // namespace zk
