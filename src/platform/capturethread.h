// Live capture on a thread of its own, so that a device that blocks (a sound server that stops
// answering, ALSA's file plugin on a pipe nobody writes) holds only that thread: the caller's
// signals, timeouts and window go on, and the caller can always walk away from the device.
#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace zk {

class CaptureThread {
  public:
    // Starts opening `device` for capture at `rate` (see AlsaCapture), on the thread; returns
    // at once.
    CaptureThread(std::string device, unsigned rate, std::string openAdvice = "");
    // Asks the thread to stop and waits a little for it; a thread still held by its device is
    // left to end with the process, owning all it uses.
    ~CaptureThread();
    CaptureThread(const CaptureThread&) = delete;
    CaptureThread& operator=(const CaptureThread&) = delete;

    unsigned Rate() const { return rate_; }

    // Waits up to `wait` for sound, and moves what has arrived into `samples` (floats at +-1);
    // returns whether the device is capturing by then. Throws the capture's CaptureError once
    // the device could not be opened or failed.
    bool Next(std::vector<float>& samples, std::chrono::milliseconds wait);

  private:
    struct Shared;
    std::shared_ptr<Shared> shared_;
    unsigned rate_;
};

}  // namespace zk
