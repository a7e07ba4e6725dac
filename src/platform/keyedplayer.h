// A player that keys the transmitter around every sound it plays: the command line and the
// windows send through this one piece, so they key, wait and release alike.
#pragma once

#include "audioplayer.h"
#include "player.h"
#include "transmission.h"
#include "transmitter.h"

namespace zk {

// Plays each sound on `speaker` inside one transmission of `ptt` (see Transmit): the device is
// opened and prepared first, so a sound that cannot start never keys the transmitter; then keyed
// before the first sample, held until the sound has drained and the tail has passed, released on
// every path. The playback stops when the transmission is cut, so a released transmitter never goes
// on receiving sound. With `none` the sound plays alone.
class KeyedPlayer : public Player {
  public:
    KeyedPlayer(AlsaPlayer& speaker, Transmitter& ptt, const TransmitTiming& timing)
        : speaker_(speaker), ptt_(ptt), timing_(timing) {}

    void Play(const Sound& sound) override;

  private:
    AlsaPlayer& speaker_;
    Transmitter& ptt_;
    TransmitTiming timing_;
};

}  // namespace zk
