// The settings heard in a packet in the words the programmer uses for them: as the options of
// `zk77q3 generate` that would send them again, as labelled lines for the operator, and as the
// settings object that every JSON output shares (sentrecord.h). All of it is driven by kSettings.
#pragma once

#include <nlohmann/json.hpp>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "_2GL.h"
#include "decodedsettings.h"
#include "settings.h"

namespace zk {

using Array = std::array<std::uint8_t, kTransferSize>;

// A setting's value as an option takes it: "7204", "on", "0:30:0", "sql-high"; "?" for a code
// field that holds no code or a squelch mode that is none.
std::string DecodedText(const DecodedSettings& settings, const Setting& setting);

// {"--user-open", "7204", "--user-close", "*", ...}, every setting in kSettings' order.
std::vector<std::string> SettingsAsOptions(const DecodedSettings& settings);

// The same as one line for a shell: values the shell would expand ('*', '#') are quoted.
std::string SettingsAsCommandLine(const DecodedSettings& settings);

// One labelled line per setting ("user open code: 7204", "beep level: 3 dB"), then a
// "problem: ..." line for each problem and a "note: ..." line for each note.
std::vector<std::string> SettingsAsLines(const DecodedSettings& settings);

// The settings object of the one schema (numbers as numbers).
nlohmann::ordered_json DecodedSettingsJson(const DecodedSettings& settings);

}  // namespace zk
