#include "transmission.h"

#include <signal.h>
#include <string.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "audioplayer.h"
#include "quoting.h"
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

Wording Duration(milliseconds length) {
    if (length.count() % 1000 == 0) {
        const std::string seconds = std::to_string(length.count() / 1000);
        return {seconds + " s", seconds + " с"};
    }
    const std::string count = std::to_string(length.count());
    return {count + " ms", count + " мс"};
}

std::string SignalName(int signalNumber) {
    const char* name = sigabbrev_np(signalNumber);
    return name != nullptr ? std::string("SIG") + name : "signal " + std::to_string(signalNumber);
}

// Releases the transmitter and requests the playback's stop, once, from whichever thread comes
// first: the watchdog, the signal releaser.
class Cut {
  public:
    explicit Cut(Transmitter& ptt) : ptt_(ptt) {}

    void Now(int cause) noexcept {
        {
            // Held until the release has been tried, so that a report waits for its outcome.
            const std::lock_guard<std::mutex> lock(mutex_);
            // The cause first: a playback that ends while the release is on its way was cut.
            int expected = kNotCut;
            cause_.compare_exchange_strong(expected, cause);
            // The sound stops at once, whatever the release takes (a link that stopped
            // answering costs its timeout): no more of it goes to a radio about to drop.
            stop_.request_stop();
            Wording failure = ptt_.ReleaseQuietly();
            if (!failure.english.empty()) {
                releaseFailure_ = std::move(failure);
            }
        }
    }

    std::stop_token Token() const { return stop_.get_token(); }
    bool Happened() const { return cause_.load() != kNotCut; }

    [[noreturn]] void Report(const TransmitTiming& timing, SoundOnAir onAir,
                             std::optional<double> secondsPlayed) const {
        const int cause = cause_.load();
        const bool keys = ptt_.Setting().method != PttMethod::None;
        const std::lock_guard<std::mutex> lock(mutex_);
        // The release's own message names the PTT again: said once here.
        const std::string named = "PTT " + Quoted(ptt_.Setting().text) + " ";
        const auto unnamed = [&named](const std::string& text) {
            return text.starts_with(named) ? text.substr(named.size()) : text;
        };
        const Wording failure{unnamed(releaseFailure_.english), unnamed(releaseFailure_.russian)};
        const bool released = !ptt_.Keyed();
        Wording message;
        if (keys) {
            message = Verbatim("PTT " + Quoted(ptt_.Setting().text)) +
                      (released ? Wording{" released", ": передача выключена"}
                                : Wording{" could not be released (",
                                          ": выключить передачу не удалось ("} +
                                      failure + Verbatim(")"));
        }
        if (cause == kCutByLimit) {
            message += Wording{" after the transmit limit of ",
                               " по истечении предела времени передачи "} +
                       Duration(timing.limit);
            if (onAir != SoundOnAir::Whole) {
                message += Wording{"; the sound was cut", "; звук оборван"};
            }
        } else {
            message +=
                Verbatim(keys ? ": " : "") +
                Wording{"the program was asked to end (", "программу попросили завершиться ("} +
                Verbatim(SignalName(cause) + ")");
        }
        if (!released) {
            message += kMayStillBeKeyed;
        }
        throw TransmissionCutError(message, cause == kCutByLimit ? 0 : cause, onAir, secondsPlayed,
                                   released);
    }

  private:
    Transmitter& ptt_;
    std::stop_source stop_;
    std::atomic<int> cause_{kNotCut};
    mutable std::mutex mutex_;
    Wording releaseFailure_;
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

// Releases on the way out of Transmit, whatever the way, unless a cut has tried already: its
// try and its outcome stand, and a link that stopped answering is not waited on twice.
class KeyDown {
  public:
    KeyDown(Transmitter& ptt, const Cut& cut) : ptt_(ptt), cut_(cut) { ptt_.Key(); }
    ~KeyDown() {
        if (!cut_.Happened()) {
            ptt_.ReleaseQuietly();
        }
    }
    KeyDown(const KeyDown&) = delete;
    KeyDown& operator=(const KeyDown&) = delete;

  private:
    Transmitter& ptt_;
    const Cut& cut_;
};

}  // namespace

void Transmit(Transmitter& ptt, const TransmitTiming& timing, const Playback& playback) {
    const bool keys = ptt.Setting().method != PttMethod::None;
    Cut cut(ptt);
    // Caught before keying, so that no moment exists where a signal ends the process keyed.
    const TerminationRelease onTermination([&cut](int signalNumber) { cut.Now(signalNumber); });
    // Counting from before the key: the limit covers the keying command as well. Without a PTT
    // nothing stays on the air, and the sound is as long as it is.
    std::optional<Watchdog> watchdog;
    if (keys) {
        watchdog.emplace(timing.limit, cut);
    }
    if (cut.Happened()) {
        cut.Report(timing, SoundOnAir::Nothing, std::nullopt);
    }
    std::optional<KeyDown> key;
    if (keys) {
        key.emplace(ptt, cut);
    }
    SoundOnAir onAir = SoundOnAir::Nothing;
    try {
        if (keys) {
            WaitUnlessStopped(timing.lead, cut.Token());
        }
        if (!cut.Happened()) {
            onAir = SoundOnAir::Part;
            playback(cut.Token());
            // Drained: all of it went out, unless the key came up before the end.
            onAir = cut.Happened() ? SoundOnAir::Part : SoundOnAir::Whole;
        }
        if (keys) {
            WaitUnlessStopped(timing.tail, cut.Token());
        }
    } catch (const PlaybackStoppedError& stopped) {
        // The stop that the cut requested: it knows how far the sound got.
        if (cut.Happened()) {
            cut.Report(timing, stopped.SecondsPlayed() > 0 ? SoundOnAir::Part : SoundOnAir::Nothing,
                       stopped.SecondsPlayed());
        }
        throw;
    } catch (...) {
        // Any other failure may still be the playback's answer to the stop.
        if (cut.Happened()) {
            cut.Report(timing, onAir, std::nullopt);
        }
        throw;
    }
    if (cut.Happened()) {
        cut.Report(timing, onAir, std::nullopt);
    }
    if (keys) {
        try {
            ptt.Release();  // KeyDown only tries again
        } catch (const PttError& error) {
            throw ReleaseFailedError(WordingOf(error) + kMayStillBeKeyed);
        }
    }
}

}  // namespace zk
