// The programming log: one JSON line for every signal sent, so that an operator can tell later
// what a repeater was given and send the same again. Access codes are secrets: the log and its
// folder are created readable by the owner only.
#pragma once

#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace zk::cli {

// $XDG_STATE_HOME/zk77q3/sent.jsonl, or ~/.local/state/zk77q3/sent.jsonl when XDG_STATE_HOME is
// unset or not an absolute path. Empty when neither it nor HOME is set.
std::filesystem::path SentLogPath();

// Appends `entry` as one line in one write (runs that finish together do not interleave).
// Returns the reason when the log cannot be written, empty on success; never throws.
std::string AppendToSentLog(const nlohmann::ordered_json& entry);

// The log's lines; none when the log does not exist. Throws a Fault when it cannot be read.
std::vector<std::string> ReadSentLog();

// Now, in ISO 8601 UTC to the second: "2026-12-07T11:30:00Z".
std::string UtcTimestamp();

}  // namespace zk::cli
