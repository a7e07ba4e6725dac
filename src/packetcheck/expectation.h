// What the operator meant to send, and how a heard packet differs from it. Settings given one
// by one are compared one by one, only those; a profile, a recording written by generate or the
// programming log's last entry stand for a whole array, every byte of which must match.
#pragma once

#include <nlohmann/json.hpp>

#include <optional>
#include <string>
#include <vector>

#include "packet.h"
#include "panelstate.h"
#include "receivedsettings.h"
#include "settings.h"

namespace zk {

struct Expectation {
    Array array{};                  // the array generate makes (or made) for it
    std::vector<std::string> keys;  // the settings compared, kSettings' keys; empty: all 64 bytes
    std::string from;  // where it came from: "options", "config", "expect-wav", "expect-last"

    bool WholeArray() const { return keys.empty(); }
};

// The array that `generate` would send for `panel` (its access codes must be valid).
Array ArrayForSettings(PanelState panel);

// A whole profile file as the expectation (from "profile"): every byte of the array it makes.
// Throws UsageError naming the file, the line and the key, as the window's loading of it does.
Expectation ExpectationOfProfile(const std::string& path);

// What a byte outside the named settings is there for.
enum class ByteRole {
    Header,
    Marker,
    CheckWord,
    OutsideCheckWord,
    CodeField,
    SettingField,  // a byte of a setting other than a code, which may differ while it reads the
                   // same
    NeverWritten,
};

ByteRole ByteRoleOf(int byte);
// "header", "marker", "check word", "outside the check word", "code field", "setting field",
// "never written".
const char* ByteRoleName(ByteRole role);

// One thing heard otherwise than meant: a setting, its values as an option takes them; or, for
// a whole array, a byte that no setting covers, its values in hex.
struct Difference {
    const Setting* setting = nullptr;  // none: `byte` differs
    int byte = -1;
    std::string expected;
    std::string decoded;
};

// The settings that differ, in kSettings' order, then (for a whole array) every differing byte
// that no setting covers: the markers, the bytes never written, a one-symbol code's unused
// bytes, the check word, byte 63. Empty: as expected.
std::vector<Difference> Differences(const Expectation& expectation, const Array& decoded);

// "user open code: expected 1590, decoded 7204", "byte 46 (marker): expected 00, decoded EE".
std::string DifferenceText(const Difference& difference);
std::vector<std::string> DifferenceTexts(const Expectation& expectation, const Array& decoded);

// A packet matches when it is valid, its settings are sound and nothing differs.
bool Matches(const receive::Packet& packet, const std::optional<Expectation>& expectation);

// "checked: user-open, beep-level" or "checked: the whole array (64 bytes)".
std::string CheckedText(const Expectation& expectation);
// {"from", "whole_array", "checked": [keys]} (every key for a whole array).
nlohmann::ordered_json ExpectationJson(const Expectation& expectation);

}  // namespace zk
