// Sound output: plays samples held in memory and returns when playback has ended.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace zk {

// A sound to play: interleaved signed 16-bit frames at `rate` samples per second. `fileName` is
// the full path of the file these very samples were written to; playback faults name it.
struct Sound {
    std::string fileName;
    unsigned channels = 1;
    unsigned rate = 16000;
    std::span<const std::int16_t> samples;
};

class Player {
  public:
    virtual ~Player() = default;
    // Throws PlaybackError ("Cannot play file "<full path>". <reason>") when the sound cannot be
    // played; the reason names the device.
    virtual void Play(const Sound& sound) = 0;
};

}  // namespace zk
