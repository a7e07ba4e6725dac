// The programming log: one JSON line for every signal sent, so that an operator can tell later
// what a repeater was given and send the same again. Access codes are secrets: the log and its
// folder are the user's own and reachable by that user only (logfiles.h).
#pragma once

#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "wording.h"

namespace zk {

// $XDG_STATE_HOME/zk77q3/sent.jsonl, or ~/.local/state/zk77q3/sent.jsonl when XDG_STATE_HOME is
// unset or not an absolute path. Empty when neither it nor HOME is set.
std::filesystem::path SentLogPath();

// Appends `entry` as a line of its own, under the log's lock, whole or not at all: a write that
// fails part-way is cut back off. Returns the reason when the log cannot be written (naming the
// file or folder and what failed, in English and in Russian), empty on success; never throws.
Wording AppendToSentLog(const nlohmann::ordered_json& entry);

// The log's entries in order, a discarded value for each line that is not a readable entry
// (logentries.h); none when the log does not exist. Throws a Fault naming the file or folder
// when it cannot be read.
std::vector<nlohmann::ordered_json> ReadSentLog();

// Now, in ISO 8601 UTC to the second: "2026-12-07T11:30:00Z".
std::string UtcTimestamp();

}  // namespace zk
