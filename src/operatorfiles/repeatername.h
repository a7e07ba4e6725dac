// The repeater's name: a label of the operator's own ("North hill"), kept in profiles and in
// every programming-log entry, so that the log can be read repeater by repeater and an entry
// sent again to the repeater it was meant for. It is not part of the message: the repeater
// never hears it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zk {

// The key in profiles and in log entries.
inline constexpr const char* kNameKey = "name";

// Long enough for a site and a call sign, short enough to stay on the log's line.
inline constexpr std::size_t kMaxNameCharacters = 64;

// Throws UsageError "<subject>: ..." unless `name` is 1..kMaxNameCharacters characters of
// well-formed UTF-8 without control characters (C0, DEL, C1): a line break or an escape sequence
// in a name would break the log's listing and the profile's line.
void CheckRepeaterName(const std::string& subject, std::string_view name);

// True when `a` and `b` name the same repeater: equal once both are in lower case, character by
// character ("North" and "north", "Север" and "СЕВЕР"), as an operator types a name from memory.
// A byte that is not well-formed UTF-8 matches only itself.
bool SameRepeaterName(std::string_view a, std::string_view b);

}  // namespace zk
