// One send as the programming log keeps it, whoever sent it (the command line or the window):
// the settings in the one JSON schema of every output, the array and the sound exactly as they
// went out, and where and how they went.
#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "panelstate.h"
#include "settings.h"

namespace zk {

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

// SHA-256 in hex of "_qq.wav" as the last write made it, computed from the bytes written (never
// read back: another program could have replaced the file since).
std::string WaveFileSha256();

// The working folder's full path, or empty when it cannot be told.
std::string WorkingFolder();

// The panel's values as the generate action reads them, copied into plain memory.
PanelState CopyPanelValues(ControlPanel& panel);

// What a log entry says about one send besides the array and the sound.
struct SentRecord {
    std::optional<std::string> name;  // the repeater's, when the settings have one
    std::string source;  // who sent: empty for the command line, whose entries never said
    std::string device;  // the ALSA device played on
    std::string ptt;     // the PTT as the operator wrote it; empty when nobody keyed
    PanelState settings;
};

// The entry of a send that has gone out: "time", "name" (when there is one), "source" (when
// there is one), "folder", "device", "ptt" (when keyed), "settings", "array", "check_word",
// "wav_sha256", the array and the sound taken from the globals as the send left them.
nlohmann::ordered_json SentLogEntry(const SentRecord& record);

}  // namespace zk
