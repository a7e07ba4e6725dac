// Sound output through alsa-lib: the WAV file goes to the "default" PCM device.
#pragma once

#include <string>

#include "player.h"

namespace zk {

// Plays a sound file on ALSA's "default" PCM, synchronously on the calling thread. The file is
// read with libsndfile (any format it knows), converted to signed 16-bit samples and played with
// the file's own channel count and sample rate. Play returns only when the device has played the
// last frame, and throws PlaybackError with the full path and the library's text when the sound
// cannot be played: no device, a device that refuses the format, a file that cannot be read or
// is no sound file, a write that fails for good. alsa-lib's own diagnostic lines are kept off
// the standard error stream.
class AlsaPlayer : public Player {
  public:
    void Play(const std::string& fileName) override;
};

}  // namespace zk
