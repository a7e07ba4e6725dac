// Sounds for the radio link around programming, at the signal's 16000 samples per second: the
// lead-in tone held for as long as it takes to set the transmitter's microphone gain and
// deviation, and DTMF sequences to try the repeater's new access codes.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace zk {

inline constexpr int kDtmfToneSamples = 1600;   // 100 ms of tone a symbol
inline constexpr int kDtmfPauseSamples = 1600;  // then 100 ms of silence
// Each of the two tones; their sum peaks below the lead-in's amplitude.
inline constexpr int kDtmfAmplitude = 15000;

// The lead-in's samples, continued: CarrierSample(kLeadInAmplitude, i) for i = 0 ..
// 16000 * seconds - 1, so the level set with it is the level the programming signal begins with.
std::vector<std::int16_t> LevelTone(int seconds);

// The standard pair (row Hz, column Hz) of a DTMF symbol 0-9 A-D * #, or none.
std::optional<std::pair<int, int>> DtmfFrequencies(char symbol);

// Each symbol as 100 ms of its two tones, each tone R(kDtmfAmplitude * sin(2 pi f n / 16000))
// summed before rounding, n from 0 at the symbol's start, then 100 ms of silence. Every symbol
// must have DtmfFrequencies.
std::vector<std::int16_t> DtmfSignal(std::string_view symbols);

}  // namespace zk
