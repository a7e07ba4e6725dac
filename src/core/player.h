// Sound output: plays a WAV file on the default device and returns when playback has ended.
#pragma once

#include <string>

namespace zk {

class Player {
  public:
    virtual ~Player() = default;
    // `fileName` is resolved against the working directory. Throws PlaybackError ("Cannot play
    // file "<full path>". <reason>") when the sound cannot be played.
    virtual void Play(const std::string& fileName) = 0;
};

}  // namespace zk
