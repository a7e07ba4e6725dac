// The decoder's findings in the command line's words: one sentence each, with the fix where there
// is one; and what a received array holds that generate could not have sent. The monitor window
// says the same in its own translations.
#pragma once

#include <string>
#include <vector>

#include "decodedsettings.h"
#include "packet.h"

namespace zk {

std::string FindingWords(const receive::Finding& finding);

// "user close code: bytes 8..11 hold no code", "period seconds 75 is outside 0..60", ...
std::string SettingsFindingWords(const SettingsFinding& finding);
std::vector<std::string> SettingsFindingWords(const std::vector<SettingsFinding>& findings);

}  // namespace zk
