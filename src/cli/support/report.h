// What a run produced, for --json: the settings, the array, the check word and the files, written
// with nlohmann-json (every string escaped by the library). The parts that the programming log
// shares are in sentrecord.h.
#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "panelstate.h"
#include "sentrecord.h"
#include "settings.h"

namespace zk::cli {

// SHA-256 in hex of "9_fmsig.h" as the last write made it, computed from the text written.
std::string WaveTableSha256();

// {"settings", "array", "check_word", "files" (null when nothing was written), "warnings"}.
nlohmann::ordered_json RunReport(const PanelState& panel, bool filesWritten,
                                 const std::vector<std::string>& warnings);

// The object as one text: indented, invalid UTF-8 (from a file name) replaced, never thrown.
std::string JsonText(const nlohmann::ordered_json& value, int indent = 2);

}  // namespace zk::cli
