// Sound output through alsa-lib.
#pragma once

#include <functional>
#include <string>

#include "player.h"

namespace zk {

// Plays sounds on an ALSA PCM device ("default" unless told otherwise), synchronously on the
// calling thread: the samples as given, with their own channel count and rate (ALSA's plug layer
// converts where the device needs it). Play returns only when the device has played the last
// frame (drained, never dropped), and throws PlaybackError naming the sound's file, the device
// and ALSA's text when the sound cannot be played: no such device, a device that refuses the
// format, a write that fails for good. alsa-lib's own diagnostic lines are kept off the standard
// error stream.
class AlsaPlayer : public Player {
  public:
    // Seconds of the sound handed to the device so far, and the sound's whole length.
    using Progress = std::function<void(double sentSeconds, double totalSeconds)>;

    explicit AlsaPlayer(std::string device = "default") : device_(std::move(device)) {}
    void Play(const Sound& sound) override;

    // Called every kProgressStepSeconds while the sound is handed to the device (ahead of the
    // air by at most the device's buffer), and once more with the whole length when the last
    // frame has been played. Without it the sound goes to the device in one write.
    void OnProgress(Progress progress) { progress_ = std::move(progress); }

  private:
    std::string device_;
    Progress progress_;
};

}  // namespace zk
