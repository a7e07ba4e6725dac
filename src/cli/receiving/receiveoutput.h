// How the command line shows what the receiving side heard: the packet as text for a person and
// as JSON for a program, and how it compares with what was meant. Shared by `verify`
// (recordings) and `listen` (live capture). Whatever the text shows, the JSON carries too.
#pragma once

#include <nlohmann/json.hpp>

#include <optional>
#include <string>
#include <vector>

#include "packet.h"
#include "receivedsettings.h"

namespace zk::cli {

// What a packet is worth, best first. A packet with a right header and check word whose
// settings generate could not have sent is still decoded, but the repeater would take nonsense.
enum class PacketVerdict { Valid, SettingsBad, CrcBad, HeaderBad };

const char* PacketVerdictName(PacketVerdict verdict);
PacketVerdict VerdictOf(const receive::Packet& packet);

// What the operator meant to send. Settings given as options alone are compared one by one,
// only those; a profile, a recording written by generate or the programming log's last entry
// stand for a whole array, every byte of which must match.
struct Expectation {
    Array array{};                  // the array generate makes (or made) for it
    std::vector<std::string> keys;  // the settings compared, kSettings' keys; empty: all 64 bytes
    std::string from;               // "options", "config", "expect-wav", "expect-last"

    bool WholeArray() const { return keys.empty(); }
};

// "checked: user-open, beep-level" or "checked: the whole array (64 bytes)".
std::string CheckedText(const Expectation& expectation);
// {"from", "whole_array", "checked": [keys]} (every key for a whole array).
nlohmann::ordered_json ExpectationJson(const Expectation& expectation);

// What differs from the expectation: each setting by its label ("user open code: expected 1590,
// decoded 7204"); for a whole array also every differing byte that no named setting covers
// ("byte 46 (marker): expected 00, decoded EE"). Empty: as expected.
std::vector<std::string> Differences(const Expectation& expectation, const Array& decoded);

// A packet matches when it is valid, its settings are sound and nothing differs.
bool Matches(const receive::Packet& packet, const std::optional<Expectation>& expectation);

// The 128 upper-case hex digits of an array.
std::string ArrayHex(const Array& bytes);

// The packet's keys of a JSON report: verdict, array, header_ok, crc_ok, the measurements,
// settings (the shared schema), settings_problems, notes; with an expectation also
// matches_expectation and differences.
nlohmann::ordered_json PacketJson(const receive::Packet& packet,
                                  const std::optional<Expectation>& expectation);

// The text report of one packet: the 64-line listing as `generate` prints it, the header's and
// the check word's verdict, the settings as options and as labelled lines, the margin; then
// against the expectation, if given, what was checked and "as expected" or each difference.
std::string PacketText(const receive::Packet& packet,
                       const std::optional<Expectation>& expectation);

}  // namespace zk::cli
