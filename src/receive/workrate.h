// The receiving side resamples every recording to one working rate; the detector and the
// decoder only ever see that rate. 8000 Hz holds the signal (its energy lies in 750..1250 Hz)
// with room for the voice band, and halves the work of 16000 Hz.
#pragma once

#include "_2GL.h"
#include "_5FormFM.h"

namespace zk::receive {

inline constexpr int kWorkRate = 8000;
inline constexpr int kWorkPerCycle = kWorkRate / kCarrierHz;  // 8 samples a carrier cycle
inline constexpr double kNominalBitSamples =
    double{kSamplesPerBit} * kWorkRate / kSampleRate;  // 32
inline constexpr int kPacketBits = kTransferSize * 8;  // 512
inline constexpr double kLeadInSecondsSent = double{kLeadInSamples} / kSampleRate;

// Sound cards run up to about half a percent off; the packet may be that much longer or
// shorter, and its carrier that much off 1000 Hz.
inline constexpr double kMaxClockOffset = 0.006;
// A single-sideband path, or a radio tuned a little off, moves every audio frequency by the same
// amount: the carrier moves, the bit clock does not.
inline constexpr double kMaxAudioShiftHz = 25.0;
// Both together: how far from 1000 Hz a carrier is still taken for the programmer's.
inline constexpr double kMaxCarrierOffsetHz = kMaxAudioShiftHz + kCarrierHz * kMaxClockOffset;

// Half-width of the window around a bit edge over which the edge's error is measured: a quarter
// bit and an eighth of a carrier cycle more. The mixer leaves the carrier's double frequency in
// the baseband (a ripple of period kWorkPerCycle / 2); over 4.5 of its periods the ripple at the
// window's two ends cancels, and the measure falls straight with the edge's error instead of
// bending with the ripple into two resting places half a sample apart.
inline constexpr double kEdgeHalfWidthSamples = kNominalBitSamples / 4 + kWorkPerCycle / 8.0;

// Eb/N0 this decoder needs to get 99 of 100 packets through white noise (measured by
// bench/receive).
inline constexpr double kRequiredEbN0Db = 9.5;

}  // namespace zk::receive
