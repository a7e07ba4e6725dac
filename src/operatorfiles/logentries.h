// Reading the programming log's lines back as entries, whatever the file holds. A line cut short
// (a full disk, a crash), a line that is not JSON, nesting deep enough to exhaust the stack of a
// recursive reader or printer, and a line far longer than any entry are each one unreadable
// entry; every whole entry around them is still read.
#pragma once

#include <cstddef>
#include <nlohmann/json.hpp>
#include <string_view>
#include <vector>

namespace zk {

// An entry is one to two KiB of settings, array and hashes; a line longer than this is not one,
// and is skipped as it is read rather than held in memory.
inline constexpr std::size_t kMaxEntryBytes = 64 * 1024;

// Entries nest three levels; arrays and objects nested deeper than this are not an entry.
inline constexpr int kMaxEntryNesting = 64;

// The entry that `line` holds, or a discarded value when it is not JSON or nests deeper than
// kMaxEntryNesting.
nlohmann::ordered_json ParseLogEntry(std::string_view line);

// Appends an entry (ParseLogEntry) for every line of `fd` up to its end, a discarded value for a
// line longer than kMaxEntryBytes; empty lines are left out. False with errno set when reading
// fails.
bool ReadLogEntries(int fd, std::vector<nlohmann::ordered_json>& entries);

}  // namespace zk
