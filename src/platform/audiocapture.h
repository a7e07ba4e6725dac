// Live sound from an ALSA capture device, as signed 16-bit mono samples at the rate asked for
// (ALSA's plug layer converts from whatever the card does), handed out as floats at +-1.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "errors.h"

namespace zk {

// A capture that cannot start or fails mid-way: "Cannot capture from ALSA device "<name>".
// <ALSA's text>".
class CaptureError : public Fault {
  public:
    CaptureError(const std::string& device, const std::string& reason);
};

class AlsaCapture {
  public:
    // Opens `device` for capture; throws CaptureError with ALSA's reason.
    AlsaCapture(const std::string& device, unsigned rate);
    ~AlsaCapture();
    AlsaCapture(const AlsaCapture&) = delete;
    AlsaCapture& operator=(const AlsaCapture&) = delete;

    unsigned Rate() const { return rate_; }

    // Waits for up to `frames` samples and returns them in `samples`. An overrun is recovered
    // from; a failure that cannot be recovered throws CaptureError, never a silent stop.
    void Read(long frames, std::vector<float>& samples);

  private:
    struct Pcm;
    std::unique_ptr<Pcm> pcm_;
    std::string device_;
    unsigned rate_;
    std::vector<short> raw_;
};

}  // namespace zk
