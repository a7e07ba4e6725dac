// How the command line shows what the receiving side heard: the packet as text for a person and
// as JSON for a program. Shared by `verify` (recordings) and `listen` (live capture).
#pragma once

#include <nlohmann/json.hpp>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "_2GL.h"
#include "packet.h"

namespace zk::cli {

using Array = std::array<std::uint8_t, kTransferSize>;

// The 128 upper-case hex digits of an array.
std::string ArrayHex(const Array& bytes);

// The packet's keys of a JSON report: array, header_ok, crc_ok, start_s, ebn0_db, margin_db,
// settings ({"user-open": "7204", ...}) and the measurements.
nlohmann::json PacketJson(const receive::Packet& packet);

// Every setting whose decoded value differs from the expected one: "user open code: expected
// 1590, decoded 7204".
std::vector<std::string> SettingDifferences(const Array& expected, const Array& decoded);

// The text report of one packet: the 64-line listing as `generate` prints it, the check word's
// verdict, the settings as options and as labelled lines, the margin; then the differences from
// `expected`, if given.
std::string PacketText(const receive::Packet& packet, const std::optional<Array>& expected);

}  // namespace zk::cli
