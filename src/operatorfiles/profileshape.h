// The limits a profile must keep before the TOML reader sees it. toml++ builds nested tables and
// arrays by recursion, and frees them the same way: a profile of 40000 dotted key segments or
// brackets overflows the stack and kills the process, whatever the command. A real profile is
// flat (its keys are the long option names), so the limits below are generous for it and keep
// a hostile one far from the stack's end.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "wording.h"

namespace zk {

// A profile's largest size: a complete one is under 1 KiB.
inline constexpr std::size_t kMaxProfileBytes = std::size_t{1} << 20;
// How deep keys may nest: dotted key segments, table header segments, arrays and inline tables,
// counted together along one path.
inline constexpr int kMaxProfileNesting = 16;

// "profile "<name>" is larger than 1 MiB: refused", the message of a profile over the size.
Wording TooLargeMessage(const std::string& fileName);

// Throws UsageError for a text over kMaxProfileBytes, and "FILE:LINE: keys nest deeper than 16
// levels: refused" at the first place that goes deeper than kMaxProfileNesting. Strings and
// comments are skipped; anything else the TOML reader reports itself.
void CheckProfileShape(std::string_view text, const std::string& fileName);

}  // namespace zk
