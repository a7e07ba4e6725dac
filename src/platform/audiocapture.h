// Live sound from an ALSA capture device, as signed 16-bit mono samples at the rate asked for
// (ALSA's plug layer converts from whatever the card does), handed out as floats at +-1.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "errors.h"

namespace zk {

// A capture that cannot start or fails mid-way: "Cannot capture from ALSA device "<name>".
// <ALSA's text>", with the monitor's Russian wording beside it.
class CaptureError : public Fault {
  public:
    CaptureError(const std::string& device, const std::string& reason);  // ALSA's own text
    CaptureError(const std::string& device, const Wording& reason);
};

class AlsaCapture {
  public:
    // The longest one Read waits for sound before it returns empty-handed.
    static constexpr int kWaitMilliseconds = 150;
    // Restarts after an overrun or a suspend, one after another with no sound between them, that
    // are taken as a device that has gone.
    static constexpr int kRestartsWithoutSound = 5;

    // Opens `device` for capture at `rate`; throws CaptureError with ALSA's reason when the
    // device cannot be opened (followed by "; <openAdvice>" when that is given), or refuses
    // 16-bit mono sound at exactly that rate.
    AlsaCapture(const std::string& device, unsigned rate, const std::string& openAdvice = "");
    ~AlsaCapture();
    AlsaCapture(const AlsaCapture&) = delete;
    AlsaCapture& operator=(const AlsaCapture&) = delete;

    unsigned Rate() const { return rate_; }

    // Returns in `samples` the sound the device holds, up to `frames` samples, waiting at most
    // about kWaitMilliseconds for some to arrive. It returns with nothing when the device stays
    // quiet that long (a stalled or suspended source) or a signal arrives, so the caller can look
    // at its clock and its stop flag between calls and never hangs in here. An overrun or a
    // suspend is recovered from; a failure that cannot be recovered, or kRestartsWithoutSound
    // recoveries in a row that bring no sound, throw CaptureError with ALSA's reason: a device
    // that has gone (its server killed, its card pulled) is reported, never waited on for ever.
    void Read(long frames, std::vector<float>& samples);

  private:
    struct Pcm;
    std::unique_ptr<Pcm> pcm_;
    std::string device_;
    unsigned rate_;
    std::vector<short> raw_;
    int restartsWithoutSound_ = 0;
};

}  // namespace zk
