// How the command line shows what the receiving side heard: the packet as text for a person and
// as JSON for a program, and how it compares with what was meant. Shared by `verify`
// (recordings) and `listen` (live capture). Whatever the text shows, the JSON carries too.
#pragma once

#include <nlohmann/json.hpp>

#include <optional>
#include <string>
#include <vector>

#include "expectation.h"
#include "packet.h"
#include "packetverdict.h"
#include "receivedsettings.h"

namespace zk::cli {

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
