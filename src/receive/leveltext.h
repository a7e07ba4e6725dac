// A peak level as the operator reads it. Digital silence has no level in decibels (minus
// infinity); numbers stand it in as kSilenceDbfs, words call it what it is.
#pragma once

#include <string>

namespace zk::receive {

// The level of a stretch whose every sample is zero, where a number is needed (JSON, sorting).
inline constexpr double kSilenceDbfs = -200.0;

bool IsSilence(double peakDbfs);

// "-23.4 dBFS", or "silent".
std::string PeakLevelText(double peakDbfs);

}  // namespace zk::receive
