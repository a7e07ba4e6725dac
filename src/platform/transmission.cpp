#include "transmission.h"

#include <signal.h>
#include <string.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "terminationrelease.h"

namespace zk {
namespace {

using std::chrono::milliseconds;

// What cut a transmission: nothing yet, the limit, or a signal's number.
constexpr int kNotCut = 0;
constexpr int kCutByLimit = -1;

// Waits `length`, or less when `stop` is requested.
void WaitUnlessStopped(milliseconds length, std::stop_token stop) {
    std::mutex mutex;
    std::condition_variable_any wake;
    std::unique_lock<std::mutex> lock(mutex);
    wake.wait_for(lock, stop, length, [] { return false; });
}

std::string Duration(milliseconds length) {
    return length.count() % 1000 == 0 ? std::to_string(length.count() / 1000) + " s"
                                      : std::to_string(length.count()) + " ms";
}

// Releases the transmitter and requests the playback's stop, once, from whichever thread comes
// first: the watchdog, the signal releaser.
class Cut {
  public:
    explicit Cut(Transmitter& ptt) : ptt_(ptt) {}

    void Now(int cause) noexcept {
        ptt_.ReleaseQuietly();
        int expected = kNotCut;
        cause_.compare_exchange_strong(expected, cause);
        stop_.request_stop();
    }

    std::stop_token Token() const { return stop_.get_token(); }
    bool Happened() const { return cause_.load() != kNotCut; }

    [[noreturn]] void Report(const TransmitTiming& timing) const {
        const int cause = cause_.load();
        if (cause == kCutByLimit) {
            throw TransmissionCutError(ptt_.Setting().text, "released after the transmit limit of " +
                                                             Duration(timing.limit) +
                                                             "; the sound was cut");
        }
        const char* name = sigabbrev_np(cause);
        throw TransmissionCutError(
            ptt_.Setting().text, std::string("released: the program was asked to end (SIG") +
                                  (name != nullptr ? name : std::to_string(cause).c_str()) + ")");
    }

  private:
    Transmitter& ptt_;
    std::stop_source stop_;
    std::atomic<int> cause_{kNotCut};
};

// Cuts the transmission when the limit passes, unless ended first.
class Watchdog {
  public:
    Watchdog(milliseconds limit, Cut& cut)
        : thread_([limit, &cut](std::stop_token ended) {
              WaitUnlessStopped(limit, ended);
              if (!ended.stop_requested()) {
                  cut.Now(kCutByLimit);
              }
          }) {}

  private:
    std::jthread thread_;  // asked to stop and joined when the watchdog ends
};

// Releases on the way out of Transmit, whatever the way.
class KeyDown {
  public:
    explicit KeyDown(Transmitter& ptt) : ptt_(ptt) { ptt_.Key(); }
    ~KeyDown() { ptt_.ReleaseQuietly(); }
    KeyDown(const KeyDown&) = delete;
    KeyDown& operator=(const KeyDown&) = delete;

  private:
    Transmitter& ptt_;
};

}  // namespace

void Transmit(Transmitter& ptt, const TransmitTiming& timing, const Playback& playback) {
    if (ptt.Setting().method == PttMethod::None) {
        playback(std::stop_token());
        return;
    }
    Cut cut(ptt);
    // Caught before keying, so that no moment exists where a signal ends the process keyed.
    const TerminationRelease onTermination([&cut](int signalNumber) { cut.Now(signalNumber); });
    // Counting from before the key: the limit covers the keying command as well.
    const Watchdog watchdog(timing.limit, cut);
    if (cut.Happened()) {
        cut.Report(timing);
    }
    {
        const KeyDown key(ptt);
        try {
            WaitUnlessStopped(timing.lead, cut.Token());
            if (!cut.Happened()) {
                playback(cut.Token());
            }
            WaitUnlessStopped(timing.tail, cut.Token());
        } catch (...) {
            // The playback's failure may only be the stop that the cut requested.
            if (cut.Happened()) {
                cut.Report(timing);
            }
            throw;
        }
        if (cut.Happened()) {
            cut.Report(timing);
        }
        ptt.Release();  // reported when it fails; KeyDown only tries again
    }
}

}  // namespace zk
