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

// Writes "_qq.wav" and "9_fmsig.h" as a pair: the header, then the signal synthesized (feeding
// `chart`), the samples in one write, then the table, each under a temporary name beside its
// file; both are renamed into place at the end, with the requests to end the process held back
// meanwhile, so the folder holds the old pair or the new one, never a mix or a torn file. The
// folder is locked against another run doing the same, and an existing "_qq.wav" against other
// programs. A new file is owner-only (the signal encodes the access codes); an existing one keeps
// its mode. Throws FileCreateError when "_qq.wav" cannot be created or locked, is read-only, or
// when a symbolic link, folder, named pipe, socket or device stands in its place; InOutError when
// a write or the closing fails, or from the table as WriteWaveTable says; a Fault naming the file
// when the renaming fails. On any fault the old files stay as they were.
void WriteWaveFile(ChartSink& chart);

// Writes "9_fmsig.h" from SampleBuffer entries 15936..24127: 512 rows of 16 values, each sample
// divided by 256 toward zero, CR LF line breaks, no break after the closing "};". Every file
// operation is checked; the first failure raises InOutError with the code of the failed call. A
// read-only file, or a symbolic link, named pipe, socket or device in its place, is refused with
// "File access denied".
void WriteWaveTable();

}  // namespace zk
