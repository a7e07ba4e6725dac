// The two files an output action leaves in the working folder: "_qq.wav", the signal the radio
// sends, and "9_fmsig.h", a C table of part of the waveform for the repeater's firmware.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "chartsink.h"

namespace zk {

inline constexpr const char* kWaveFileName = "_qq.wav";
inline constexpr const char* kWaveTableFileName = "9_fmsig.h";

inline constexpr long kWaveFileBytes = 97580;
inline constexpr long kWaveTableBytes = 42020;
inline constexpr int kWaveTableFirstSample = 15936;  // 64 samples before the end of the lead-in
inline constexpr int kWaveTableRows = 512;

// The 44 bytes that open "_qq.wav": RIFF, format chunk (PCM, mono, 16 bits, 16000 per second),
// data chunk header.
std::array<std::uint8_t, 44> WaveHeader();

// The text of "9_fmsig.h" from SampleBuffer as it stands (see WriteWaveTable).
std::string WaveTableText();

// Creates "_qq.wav" (locked against other writers, then truncated), writes the header, has the
// signal synthesized (feeding `chart`), writes the samples in one write, writes "9_fmsig.h", and
// closes the file. Throws FileCreateError when the file cannot be created or locked, or when a
// named pipe, socket or terminal stands in its place; InOutError when a write or the closing
// fails, after cutting the file to zero length so that no half-written file looks like a real
// one.
void WriteWaveFile(ChartSink& chart);

// Writes "9_fmsig.h" from SampleBuffer entries 15936..24127: 512 rows of 16 values, each sample
// divided by 256 toward zero, CR LF line breaks, no break after the closing "};". Every file
// operation is checked; the first failure cuts the file to zero length and raises InOutError
// with the code of the failed call. A named pipe, socket or terminal in its place is refused.
void WriteWaveTable();

}  // namespace zk
