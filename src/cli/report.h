// What a run produced, for --json and the programming log: the settings, the array, the check
// word and the files, written with nlohmann-json (every string escaped by the library).
#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "panelstate.h"
#include "settings.h"

namespace zk::cli {

// The one settings schema of every JSON output (check, generate, play, the log, verify, listen):
// an object with every key of kSettings in its order; numbers as JSON numbers, everything else
// as the text a profile holds.
nlohmann::ordered_json SettingsJson(const PanelState& panel);
// One value of that object from its text (digits for a number setting).
nlohmann::ordered_json SettingValueJson(const Setting& setting, const std::string& text);

// The 64 bytes of the transfer array as it stands, in hex (128 digits, upper case).
std::string ArrayHex();
// Bytes 61 and 62, the check word, in hex ("6BD6").
std::string CheckWordHex();

// SHA-256 in hex of "_qq.wav" and "9_fmsig.h" as the last write made them, computed from the
// bytes written (never read back: another program could have replaced the file since).
std::string WaveFileSha256();
std::string WaveTableSha256();

// {"settings", "array", "check_word", "files" (null when nothing was written), "warnings"}.
nlohmann::ordered_json RunReport(const PanelState& panel, bool filesWritten,
                                 const std::vector<std::string>& warnings);

// The object as one text: indented, invalid UTF-8 (from a file name) replaced, never thrown.
std::string JsonText(const nlohmann::ordered_json& value, int indent = 2);

}  // namespace zk::cli
