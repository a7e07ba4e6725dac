#include "testsound.h"

#include "_5FormFM.h"
#include "audioplayer.h"
#include "deviceadvice.h"
#include "errors.h"
#include "keyedplayer.h"

namespace zk::cli {

void PlayTestSound(const std::string& device, const std::string& what,
                   const std::vector<std::int16_t>& samples, const Keying& keying) {
    Sound sound;
    sound.fileName = what;
    sound.rate = kSampleRate;
    sound.samples = samples;
    Transmitter ptt(keying.setting);
    AlsaPlayer speaker(device, kDevicesAdvice);
    try {
        KeyedPlayer(speaker, ptt, keying.timing).Play(sound);
    } catch (const PlaybackError& error) {
        // The player's message names a file; this sound has none.
        const std::string prefix = "Cannot play file \"" + what + "\". ";
        const std::string message = error.what();
        throw Fault("Cannot play " + what + ". " +
                    (message.starts_with(prefix) ? message.substr(prefix.size()) : message));
    }
}

}  // namespace zk::cli
