// The over-the-air signal: one second of 1000 Hz lead-in, then the 512 bits of the transfer
// array, four carrier cycles a bit, phase 0 for a 1 and 180 degrees for a 0, most significant bit
// first. 16000 samples per second.
#pragma once

#include "chartsink.h"

namespace zk {

inline constexpr int kSampleRate = 16000;
inline constexpr int kCarrierHz = 1000;
inline constexpr int kLeadInSamples = 16000;
inline constexpr int kLeadInAmplitude = 31000;
inline constexpr int kDataAmplitude = 30000;
inline constexpr int kSamplesPerBit = 64;
inline constexpr int kSignalSamples = kLeadInSamples + 64 * 8 * kSamplesPerBit;  // 48768

// Sample `index` of the 1000 Hz carrier: R(amplitude * sin(2 pi 1000 index / 16000)), rounded
// with ties to even. The lead-in is CarrierSample(kLeadInAmplitude, i) for i = 0..15999.
long long CarrierSample(int amplitude, int index);

// Fills SampleBuffer entries 0..48767 from the transfer array, then feeds every sample to
// `chart` (cleared first, points in index order).
void SynthesizeSignal(ChartSink& chart);

}  // namespace zk
