#include "testsound.h"

#include "_5FormFM.h"
#include "audioplayer.h"
#include "deviceadvice.h"
#include "errors.h"
#include "keyedplayer.h"
#include "messages.h"
#include "sendfaults.h"
#include "terminationhold.h"

namespace zk::cli {

void PlayTestSound(const std::string& device, const std::string& what,
                   const std::vector<std::int16_t>& samples, const Keying& keying,
                   const std::string& announcement) {
    Sound sound;
    sound.fileName = what;
    sound.rate = kSampleRate;
    sound.samples = samples;
    // The PTT is reached, and its keying type known, before the operator is told that it plays.
    Transmitter ptt(keying.setting);
    AlsaPlayer speaker(device, kDevicesAdvice);
    SayError(announcement);
    // A request to end the run waits for the line that says how far the sound got.
    const TerminationHold hold;
    try {
        KeyedPlayer(speaker, ptt, keying.timing).Play(sound);
    } catch (const TransmissionCutError& error) {
        if (error.SignalNumber() == 0) {
            throw;
        }
        SayError(InterruptionLine(EndOfCutTransmission(error), what,
                                  keying.setting.method != PttMethod::None, std::nullopt));
    } catch (const PlaybackError& error) {
        // The player's message names a file; this sound has none.
        const std::string prefix = "Cannot play file \"" + what + "\". ";
        const std::string message = error.what();
        throw Fault("Cannot play " + what + ". " +
                    (message.starts_with(prefix) ? message.substr(prefix.size()) : message));
    }
}

}  // namespace zk::cli
