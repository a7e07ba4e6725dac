// What broke a send once its sound had begun, in the operator's words: the "fault" of the log
// entry, and the one line printed when the run is asked to end in the middle of a send.
#pragma once

#include <exception>
#include <optional>
#include <string>

#include "audioplayer.h"
#include "transmission.h"

namespace zk {

// What broke a send: nothing, its sound (an underrun), the transmit limit, a request to end the
// process, or the release after it (the sound went out whole; the radio may still be keyed).
enum class SendBreak { None, Sound, TransmitLimit, Signal, Release };

// How one send ended.
struct SendEnd {
    SendBreak cause = SendBreak::None;
    SoundOnAir onAir = SoundOnAir::Whole;
    // Where the sound broke off, in seconds from its first sample, when it did and that is known.
    std::optional<double> brokeAt;
    // For the log: what went wrong, empty for a send that went out whole and clean.
    std::string fault;
    // The request to end the process that cut the send or came while its check listened, 0 for
    // none: the run ends after this send.
    int signalNumber = 0;
    // False when the transmitter's release failed: it may still be keyed.
    bool released = true;
};

// The send's sound broke on its way out (an underrun): part of it went out, a broken message.
SendEnd EndOfInterruptedSound(const SoundInterruptedError& error);

// The transmission was cut by the transmit limit or by a request to end the process.
SendEnd EndOfCutTransmission(const TransmissionCutError& error);

// The request to end the process came after the whole sound, while its check listened.
SendEnd EndOfInterruptedCheck(int signalNumber);

// The whole sound went out, then the transmitter's release failed.
SendEnd EndOfFailedRelease(const ReleaseFailedError& error);

// How a send ended whose play threw `error`, for the three faults that can break a send once
// it has begun (an interrupted sound, a cut transmission, a failed release); none for any
// other fault, which comes before the sound and goes on as it is.
std::optional<SendEnd> EndOfBrokenSend(const std::exception& error);

// "the sound was interrupted 1.23 s into the signal (underrun): the repeater got a broken
// message; send again": the message of an interrupted send.
std::string InterruptedSoundMessage(const SoundInterruptedError& error);

// The one line after a request to end the process in the middle of a send: what of `what`
// ("the signal (check word 6BD6)", "the level tone") went out, whether a transmitter was keyed
// (`keyed`) and released, and, for a send that is logged, `logNote` ("the send was logged").
std::string InterruptionLine(const SendEnd& end, const std::string& what, bool keyed,
                             const std::optional<std::string>& logNote);

}  // namespace zk
