// Where each setting lies in the 64-byte transfer array: the one table that the generate action
// writes by and the receiving side reads by. Multi-byte numbers are little-endian; the access
// codes' four-byte fields are in kCodeFields (startvalues.h).
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
inline constexpr int kMaxRecord = 24;    // 2 bytes: maximum recording length, minutes
inline constexpr int kPeriodTotal = 28;  // 4 bytes: call-sign period in seconds
inline constexpr int kPeriodSeconds = 32;
inline constexpr int kPeriodMinutes = 33;
inline constexpr int kPeriodHours = 34;
inline constexpr int kBeepLength = 35;   // 100 ms steps
inline constexpr int kBeepLevel = 36;    // dB
inline constexpr int kSquelchMode = 37;  // 0 audio level, 1 SQL input active low, 2 active high
inline constexpr int kSquelchThreshold = 38;
inline constexpr int kReleaseDelay = 39;  // flag: hang time on
inline constexpr int kDtmfAllowed = 40;   // flag: opening and closing by DTMF
inline constexpr int kAdcGain = 41;
inline constexpr int kDacAttenuation = 42;
inline constexpr int kRxFilter = 43;       // flag: receive correction filter
inline constexpr int kTxFilter = 44;       // flag: transmit correction filter
inline constexpr int kSleep = 45;          // flag: economy mode
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
