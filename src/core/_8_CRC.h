// The check word the repeater verifies: CRC-16/IBM-3740 (polynomial 0x1021, start 0xFFFF, most
// significant bit first, no reflection, no final XOR) over bytes 0..60 of the transfer array.
#pragma once

#include <array>
#include <cstdint>

#include "textlines.h"

namespace zk {

// One byte through the bit loop of the check word.
std::uint16_t CrcAddByte(std::uint16_t crc, std::uint8_t byte);

// The check word of bytes 0..60 of any 64-byte array as it stands (markers untouched): what the
// repeater computes over an array it received, to compare with bytes 61 and 62.
std::uint16_t CheckWordOf(const std::array<std::uint8_t, 64>& bytes);

// Zeroes marker bytes 46 and 47, sums bytes 0..60 and returns the check word; `trace` (Memo2) is
// cleared and gets one line per byte: the index right-aligned in two, two spaces, the running
// value in four hex digits. Bytes 61 and 62 are the caller's to write.
std::uint16_t ComputeTransferCrc(TextLines& trace);

}  // namespace zk
