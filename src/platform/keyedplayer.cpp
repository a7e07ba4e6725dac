#include "keyedplayer.h"

namespace zk {

void KeyedPlayer::Play(const Sound& sound) {
    // The device first: one that cannot be opened, or that refuses the sound, fails here with
    // the transmitter never keyed, and the first sample follows the lead without the device's
    // opening time (a sound server's stream takes a good part of a second) on the air.
    PreparedSound prepared = speaker_.Prepare(sound);
    Transmit(ptt_, timing_, [&prepared](std::stop_token stop) { prepared.Play(stop); });
}

}  // namespace zk
