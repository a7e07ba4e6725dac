// A stretch of received sound written as a WAV file (16-bit mono) through libsndfile, for a
// later look with `zk77q3 verify` or to go with a report. The sound of a programming message
// carries the repeater's access codes as plainly as the programmer's own _qq.wav, so the file is
// kept like it: owner-only when new, a symbolic link in its place refused, written whole under a
// temporary name and renamed into place so that a reader never finds it torn.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace zk {

// Throws a Fault "Cannot write file "<path>". <reason>" with the system's or libsndfile's reason;
// a file already at `path` then stays as it was.
void WriteWaveRecording(const std::string& path, std::span<const std::int16_t> samples,
                        int sampleRate);

}  // namespace zk
