// Number formatting shared by the listings, the check-word trace and the waveform table.
#pragma once

#include <cstdint>
#include <string>

namespace zk {

// The low four bits of a value as one upper-case hex character.
char HexDigit(unsigned value);

// A byte as two upper-case hex characters, high nibble first.
std::string ByteToHex(std::uint8_t value);

// A 16-bit value as four upper-case hex characters, most significant nibble first.
std::string WordToHex(std::uint16_t value);

// A signed integer in decimal, right-aligned with spaces in a field of `width`; a longer number is
// written whole.
std::string IntToPadded(long long value, int width);

// IntToPadded appended to `out`, without a string of its own (the waveform table writes 8192).
void AppendIntPadded(std::string& out, long long value, int width);

}  // namespace zk
