#include "keyedplayer.h"

namespace zk {

void KeyedPlayer::Play(const Sound& sound) {
    Transmit(ptt_, timing_, [this, &sound](std::stop_token stop) { speaker_.Play(sound, stop); });
}

}  // namespace zk
