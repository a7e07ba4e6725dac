// The decoder's findings in the command line's words: one sentence each, with the fix where there
// is one. The monitor window says the same in its own translations.
#pragma once

#include <string>

#include "packet.h"

namespace zk {

std::string FindingWords(const receive::Finding& finding);

}  // namespace zk
