// Sound output through alsa-lib.
#pragma once

#include <functional>
#include <stop_token>
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

    // `openAdvice`, when given, follows ALSA's text when the device cannot be opened ("...: No
    // such file or directory; <openAdvice>"): where the caller can tell the operator how to find
    // the right name. The window gives none and keeps its texts.
    explicit AlsaPlayer(std::string device = "default", std::string openAdvice = "")
        : device_(std::move(device)), openAdvice_(std::move(openAdvice)) {}
    void Play(const Sound& sound) override;
    // The same, ending early when `stop` is requested (the transmitter was released under the
    // sound): the device is closed with what it still holds dropped, within about
    // kStopCheckMilliseconds plus the device's latency, and PlaybackError says the sound was
    // stopped.
    void Play(const Sound& sound, std::stop_token stop);

    // The longest stretch of sound handed to the device between two looks at the stop request.
    static constexpr unsigned kStopCheckMilliseconds = 50;

    // Called after every stretch handed to the device (ahead of the air by at most the device's
    // buffer), and once more with the whole length when the last frame has been played.
    void OnProgress(Progress progress) { progress_ = std::move(progress); }

  private:
    std::string device_;
    std::string openAdvice_;
    Progress progress_;
};

}  // namespace zk
