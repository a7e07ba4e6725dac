// The 64-byte transfer array's framing: its header, the markers the check word clears, the check
// word itself and the bytes no setting is written to. Where each setting lies is its row in
// kSettings (settingstable.h).
#pragma once

#include <array>
#include <cstdint>

namespace zk {

// The fixed first bytes of every array.
inline constexpr std::array<std::uint8_t, 4> kTransferHeader{0x7F, 0x04, 0x01, 0x01};

}  // namespace zk

namespace zk::layout {

inline constexpr int kHeader = 0;  // 4 bytes: 7F 04 01 01
inline constexpr int kHeaderBytes = 4;
inline constexpr int kMarker46 = 46;       // EE at start-up, zeroed by the check word
inline constexpr int kMarker47 = 47;       // FF at start-up, zeroed by the check word
inline constexpr int kCheckWordHigh = 61;  // the check word covers bytes 0..60
inline constexpr int kCheckWordLow = 62;
inline constexpr int kCheckedBytes = 61;
// Bytes no setting is written to: they stay as they were (zero from start-up).
inline constexpr int kUnusedAfterMaxRecord = 26;   // 2 bytes: 26, 27
inline constexpr int kUnusedBeforeCheckWord = 48;  // 48..60
inline constexpr int kUnusedBeforeCheckWordLast = 60;
inline constexpr int kAfterCheckWord = 63;  // outside the check word

}  // namespace zk::layout
