// Access codes as the command line takes them: lower-case a-d read as the capitals of the
// repeater's keypad, and refusals worded in English (and in Russian for a profile the window
// loads). The window's own edits keep their own rules and texts; both use the same check in the
// core.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "accesscode.h"
#include "wording.h"

namespace zk {

// `text` with a b c d written as A B C D; every other character as given.
std::string CapitalCodeLetters(std::string_view text);

// Why a code is refused, after "--user-open: "12": ". `symbols`: the code's length once
// trimmed, as CheckAccessCode leaves it.
Wording CodeFaultText(CodeFault fault, std::size_t symbols);

}  // namespace zk
