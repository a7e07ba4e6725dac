// A stretch of received sound written as a WAV file (16-bit mono) through libsndfile, for a
// later look with `zk77q3 verify` or to go with a report. The file is written under a hidden
// temporary name beside its target and renamed into place, so a reader never finds it torn.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace zk {

// Throws FileCreateError naming the file and the system's or libsndfile's reason; nothing is
// left at `path` then, and a file already there stays as it was.
void WriteWaveRecording(const std::string& path, std::span<const std::int16_t> samples,
                        int sampleRate);

}  // namespace zk
