// How a broken send is told: the log entry's fault and the one line after a request to end the
// run, for every way a send can end part-way.
#include "sendfaults.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <string>

namespace zk {
namespace {

const std::string kSignal = "the signal (check word 6BD6)";

TEST(SendFaults, TheFaultAndTheLineSayHowFarTheSendGot) {
    const struct {
        SendEnd end;
        bool keyed;
        std::string fault;
        std::string line;
    } cases[] = {
        {EndOfCutTransmission(
             TransmissionCutError(Verbatim("cut"), SIGINT, SoundOnAir::Part, 1.24, true)),
         true, "cut by SIGINT 1.2 s into the signal",
         "interrupted by SIGINT 1.2 s into the signal (check word 6BD6): only part of it went "
         "out; the transmitter was released; the send was logged"},
        {EndOfCutTransmission(
             TransmissionCutError(Verbatim("cut"), SIGTERM, SoundOnAir::Whole, std::nullopt, true)),
         true, "SIGTERM in the PTT tail, after the whole signal",
         "interrupted by SIGTERM after the signal (check word 6BD6) went out whole; the "
         "transmitter was released; the send was logged"},
        {EndOfCutTransmission(TransmissionCutError(Verbatim("cut"), SIGINT, SoundOnAir::Nothing,
                                                   std::nullopt, true)),
         false, "cut by SIGINT during the signal",
         "interrupted by SIGINT before the signal (check word 6BD6) began: nothing was sent; no "
         "transmitter was keyed; nothing was logged"},
        // A release that failed is the news above all: the radio may be on the air.
        {EndOfCutTransmission(
             TransmissionCutError(Verbatim("cut"), SIGHUP, SoundOnAir::Part, std::nullopt, false)),
         true, "cut by SIGHUP during the signal; the transmitter's release failed",
         "interrupted by SIGHUP during the signal (check word 6BD6): only part of it went out; "
         "THE TRANSMITTER MAY STILL BE KEYED: check the radio; the send was logged"},
        {EndOfCutTransmission(TransmissionCutError(
             Verbatim("PTT \"rts:/dev/ttyS0\" released after the transmit limit of 1 s; the sound "
                      "was cut"),
             0, SoundOnAir::Part, 0.5, true)),
         true, "PTT \"rts:/dev/ttyS0\" released after the transmit limit of 1 s; the sound was cut",
         ""},  // the limit's own message is the run's fault; no line of a signal
        {EndOfInterruptedCheck(SIGINT), true,
         "SIGINT while the check listened, after the whole signal",
         "interrupted by SIGINT after the signal (check word 6BD6) went out whole; the "
         "transmitter was released; the send was logged"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault);
        EXPECT_EQ(c.end.fault, c.fault);
        if (!c.line.empty()) {
            EXPECT_EQ(InterruptionLine(c.end, kSignal, c.keyed, "the send was logged"), c.line);
        }
    }
    // Whether a cut was the limit's or a signal's decides whether the run ends after it.
    EXPECT_EQ(
        EndOfCutTransmission(TransmissionCutError(Verbatim(""), 0, SoundOnAir::Part, {}, true))
            .cause,
        SendBreak::TransmitLimit);
    EXPECT_EQ(
        EndOfCutTransmission(TransmissionCutError(Verbatim(""), SIGINT, SoundOnAir::Part, {}, true))
            .cause,
        SendBreak::Signal);
}

// An underrun: where it broke, in hundredths, and the advice; a test sound gets no log note.
TEST(SendFaults, AnUnderrunSaysWhereTheSignalBroke) {
    const SoundInterruptedError underrun("/work/_qq.wav", "default", 1.234, "underrun");
    EXPECT_EQ(InterruptedSoundMessage(underrun),
              "the sound was interrupted 1.23 s into the signal (underrun): the repeater got a "
              "broken message; send again");
    const SendEnd end = EndOfInterruptedSound(underrun);
    EXPECT_EQ(end.cause, SendBreak::Sound);
    EXPECT_EQ(end.onAir, SoundOnAir::Part);
    EXPECT_EQ(end.fault, "the sound was interrupted 1.23 s into the signal (underrun)");
    EXPECT_STREQ(underrun.what(),
                 "Cannot play file \"/work/_qq.wav\". ALSA device \"default\": the sound was "
                 "interrupted 1.23 s in (underrun)");
    // The window tells the operator the same as the command line, in Russian, with the device.
    EXPECT_EQ(underrun.Russian(),
              "Звук прервался через 1,23 с от начала сигнала (опустошение буфера, устройство ALSA "
              "\"default\"): репитер принял искажённое сообщение; выдайте сигнал ещё раз");
    EXPECT_NE(SoundInterruptedError("_qq.wav", "default", 0.5, "suspended")
                  .Russian()
                  .find("(устройство приостановлено,"),
              std::string::npos);
    SendEnd cut = EndOfCutTransmission(
        TransmissionCutError(Verbatim("cut"), SIGTERM, SoundOnAir::Part, 3.0, true));
    EXPECT_EQ(InterruptionLine(cut, "the level tone", true, std::nullopt),
              "interrupted by SIGTERM 3.0 s into the level tone: only part of it went out; the "
              "transmitter was released");
}

}  // namespace
}  // namespace zk
