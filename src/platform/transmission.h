// One transmission: key, give the radio time to come up, send the sound, let the last of it
// leave, release. Bounded in time, and released on every path.
#pragma once

#include <chrono>
#include <functional>
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

// The transmission was cut short and the transmitter released: by the transmit limit, or by a
// request to end the process that the program's own handler took over. What was sent is
// incomplete.
class TransmissionCutError : public PttError {
  public:
    TransmissionCutError(const std::string& specText, std::string_view why)
        : PttError(specText, why) {}
};

// What plays the sound: returns when the sound has drained, throws when it cannot play. It should
// end early once `stop` is requested (AlsaPlayer::Play(sound, stop) does).
using Playback = std::function<void(std::stop_token stop)>;

// Keys `ptt`, waits timing.lead, runs `playback`, waits timing.tail and releases. The key is
// released on every path: when playback throws (its exception goes on), when the limit passes
// (a watchdog thread releases at once and requests the stop; then TransmissionCutError), and on
// SIGINT, SIGTERM, SIGHUP, SIGQUIT (see TerminationRelease). Throws PttError, and plays nothing,
// when the PTT refuses to key, and PttError when the release at the end fails. With `none`
// the playback runs alone: no waits, no limit.
void Transmit(Transmitter& ptt, const TransmitTiming& timing, const Playback& playback);

}  // namespace zk
