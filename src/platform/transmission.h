// One transmission: key, give the radio time to come up, send the sound, let the last of it
// leave, release. Bounded in time, and released on every path.
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <stop_token>

#include "transmitter.h"

namespace zk {

struct TransmitTiming {
    // Keyed this long before the first sample: the transmitter's relay and power amplifier, and
    // the repeater's squelch, take time to open; sound sent before that is lost.
    std::chrono::milliseconds lead{0};
    // Kept keyed this long after the sound has drained, so that its last bits (the check word)
    // are not cut by the release.
    std::chrono::milliseconds tail{0};
    // The longest the key may stay down, whatever happens: a hung sound device or a stuck
    // program must not keep the transmitter on the air.
    std::chrono::milliseconds limit{0};
};

// How much of the sound had gone out when a transmission was cut: none of it (cut in the lead),
// a part, or all of it (cut in the tail, after the sound had drained).
enum class SoundOnAir { Nothing, Part, Whole };

// The transmission was cut short and the transmitter released (or its release tried): by the
// transmit limit, or by a request to end the process (SIGINT, SIGTERM, SIGHUP, SIGQUIT) that the
// program's own handler took over.
class TransmissionCutError : public Fault {
  public:
    TransmissionCutError(const Wording& message, int signalNumber, SoundOnAir onAir,
                         std::optional<double> secondsPlayed, bool released)
        : Fault(message),
          signal_(signalNumber),
          onAir_(onAir),
          secondsPlayed_(secondsPlayed),
          released_(released) {}

    // The signal that cut it, 0 for the transmit limit.
    int SignalNumber() const { return signal_; }
    SoundOnAir OnAir() const { return onAir_; }
    // With a part on the air: about how many seconds of the sound went out, when known.
    std::optional<double> SecondsPlayed() const { return secondsPlayed_; }
    // Whether the transmitter was released (always, without a PTT to key); when not, the
    // release failed and the radio may still be on the air.
    bool Released() const { return released_; }

  private:
    int signal_;
    SoundOnAir onAir_;
    std::optional<double> secondsPlayed_;
    bool released_;
};

// The whole sound went out, then the transmitter's release failed: the send reached the air
// (and belongs in the log), and the radio may still be keyed.
class ReleaseFailedError : public Fault {
  public:
    explicit ReleaseFailedError(const Wording& message) : Fault(message) {}
};

// What plays the sound: returns when the sound has drained, throws when it cannot play. It should
// end early once `stop` is requested (PreparedSound::Play does, with PlaybackStoppedError).
using Playback = std::function<void(std::stop_token stop)>;

// Keys `ptt`, waits timing.lead, runs `playback`, waits timing.tail and releases. The key is
// released on every path: when playback throws (its exception goes on), when the limit passes
// (a watchdog thread releases at once and requests the stop; then TransmissionCutError), and on
// SIGINT, SIGTERM, SIGHUP, SIGQUIT (see TerminationRelease; then the playback is stopped, and
// TransmissionCutError is thrown if the process still runs, as it does under a TerminationHold).
// Throws PttError, and plays nothing, when the PTT refuses to key, and ReleaseFailedError when the
// release at the end fails. With `none` nothing is keyed and nothing waited for, and there is no
// limit, but a request to end the process still stops the sound.
void Transmit(Transmitter& ptt, const TransmitTiming& timing, const Playback& playback);

}  // namespace zk
