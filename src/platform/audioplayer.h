// Sound output through alsa-lib.
#pragma once

#include <functional>
#include <memory>
#include <stop_token>
#include <string>

#include "errors.h"
#include "player.h"

namespace zk {

// The sound broke on its way out: the device ran dry (an underrun: the program was not given
// the processor in time) or was suspended part-way. The receiver heard a gap, so what went out
// is no whole signal; the play ends at once rather than send the rest of a broken message.
class SoundInterruptedError : public PlaybackError {
  public:
    SoundInterruptedError(const std::string& fullPath, const std::string& device,
                          double secondsIntoSound, std::string cause);
    // Where in the sound the gap fell, in seconds from its first sample.
    double SecondsIntoSound() const { return seconds_; }
    // "underrun" or "suspended".
    const std::string& Cause() const { return cause_; }

  private:
    double seconds_;
    std::string cause_;
};

// The play was stopped on request (the transmission was cut) before the end of the sound.
class PlaybackStoppedError : public PlaybackError {
  public:
    PlaybackStoppedError(const std::string& fullPath, const std::string& device,
                         double secondsPlayed);
    // About how much of the sound had gone out: nothing when it was stopped before the first
    // sample.
    double SecondsPlayed() const { return seconds_; }

  private:
    double seconds_;
};

class AlsaPlayer;

// A sound on a device that is open and prepared for it, nothing of it written yet: what can fail
// before the first sample (no such device, a format the device refuses) has failed already, so
// a transmitter keyed now is keyed for a sound that can start. Played once; the device is closed
// when it ends.
class PreparedSound {
  public:
    ~PreparedSound();
    PreparedSound(PreparedSound&&) noexcept;
    PreparedSound& operator=(PreparedSound&&) = delete;
    PreparedSound(const PreparedSound&) = delete;
    PreparedSound& operator=(const PreparedSound&) = delete;

    // Writes the sound and returns when the device has played its last frame (drained, never
    // dropped). Ends early when `stop` is requested (PlaybackStoppedError), at the first underrun
    // (SoundInterruptedError), and throws PlaybackError when a write fails for good.
    void Play(std::stop_token stop = {});

  private:
    friend class AlsaPlayer;
    struct Device;
    explicit PreparedSound(std::unique_ptr<Device> device);
    std::unique_ptr<Device> device_;
};

// Plays sounds on an ALSA PCM device ("default" unless told otherwise), synchronously on the
// calling thread: the samples as given, with their own channel count and rate (ALSA's plug layer
// converts where the device needs it). Play returns only when the device has played the last
// frame (drained, never dropped), and throws PlaybackError naming the sound's file, the device
// and ALSA's text when the sound cannot be played: no such device, a device that refuses the
// format, a write that fails for good, an underrun. alsa-lib's own diagnostic lines are kept off
// the standard error stream.
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
    // kStopCheckMilliseconds plus the device's latency, and PlaybackStoppedError says the sound
    // was stopped.
    void Play(const Sound& sound, std::stop_token stop);

    // Opens the device and prepares it for `sound`, writing nothing; throws PlaybackError when
    // the device cannot be opened or refuses the sound. `sound`'s samples must outlive the result.
    PreparedSound Prepare(const Sound& sound);

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
