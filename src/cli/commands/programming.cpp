#include "programming.h"

#include <chrono>
#include <functional>
#include <optional>
#include <thread>
#include <vector>

#include "aircheck.h"
#include "audioplayer.h"
#include "checks.h"
#include "configoption.h"
#include "deviceadvice.h"
#include "errors.h"
#include "keyedplayer.h"
#include "keying.h"
#include "messages.h"
#include "output.h"
#include "repeatername.h"
#include "report.h"
#include "sendfaults.h"
#include "sendprogress.h"
#include "sentlog.h"
#include "sentrecord.h"
#include "stdoutput.h"
#include "terminationhold.h"

namespace zk::cli {

namespace {

// The longest the second receiver listens for one send, were the send never to end; it is
// stopped soon after the sound has drained.
constexpr int kCheckListenSeconds = 120;

// One send as it went out: its number among the attempts, how it ended and, with --check-with,
// what the second receiver heard.
struct SendAttempt {
    int number = 1;
    SendEnd end;
    std::optional<AirCheckResult> check;
};

// The array listing as the window's memo shows it.
void PrintListing(const PanelState& panel) {
    std::string listing;
    for (const std::string& line : panel.memoMasIsh.lines) {
        listing += line;
        listing += '\n';
    }
    PrintNow(listing);
}

// Gives the operator time to key the transmitter by hand.
void CountDown(int seconds) {
    for (int left = seconds; left > 0; --left) {
        SayError("key the transmitter: sending in " + std::to_string(left) + " s");
        std::this_thread::sleep_for(std::chrono::seconds(1));
    }
}

// Plays one send and says how it ended. A fault before the sound began goes on as it is:
// nothing was sent.
SendEnd SendOnce(Player& speaker, AlsaPlayer& device, const Sound& sound) {
    SendProgressLine progress(device);
    try {
        speaker.Play(sound);
        return {};
    } catch (const std::exception& error) {
        const std::optional<SendEnd> end = EndOfBrokenSend(error);
        if (!end) {
            throw;
        }
        if (const auto* interrupted = dynamic_cast<const SoundInterruptedError*>(&error)) {
            SayError(InterruptedSoundMessage(*interrupted));
        }
        return *end;
    }
}

// The command line's entry: the shared record (sentrecord.h), what broke the send if anything
// did, and with --check-with the attempt's number and what the second receiver heard.
nlohmann::ordered_json LogEntry(const NamedSettings& settings, const CommonOptions& common,
                                const SendOptions& send, const PttSetting& ptt,
                                const SendAttempt& attempt) {
    SentRecord record;
    record.name = settings.name;
    record.device = common.device;
    if (ptt.method != PttMethod::None) {
        record.ptt = ptt.text;
    }
    record.settings = settings.panel;
    nlohmann::ordered_json entry = SentLogEntry(record);
    if (!attempt.end.fault.empty()) {
        entry["fault"] = attempt.end.fault;
    }
    if (attempt.check) {
        entry["attempt"] = attempt.number;
        entry["check"] = AirCheckJson(send.checkWith, *attempt.check);
    }
    return entry;
}

// Writes the entry of a send whose sound went out; returns why it could not be written, or
// nothing.
std::optional<std::string> LogSend(const NamedSettings& settings, const CommonOptions& common,
                                   const SendOptions& send, const PttSetting& ptt,
                                   const SendAttempt& attempt) {
    std::string reason;
    try {
        reason = AppendToSentLog(LogEntry(settings, common, send, ptt, attempt)).english;
    } catch (const std::exception& error) {
        reason = error.what();
    }
    return reason.empty() ? std::nullopt : std::optional<std::string>(reason);
}

// Whether another send may mend this one: its sound broke, or the air did not carry it as sent.
// Never after a request to end the run, nor after the transmit limit (the next send would be
// cut alike).
bool WantsAnotherSend(const SendAttempt& attempt) {
    if (attempt.end.signalNumber != 0) {
        return false;
    }
    switch (attempt.end.cause) {
        case SendBreak::None:
            return attempt.check && attempt.check->verdict != AirVerdict::AsSent;
        case SendBreak::Sound:
            return true;
        default:
            return false;
    }
}

// Sends the signal just written; with --check-with listens beside each send and sends again, up
// to --retries more times, until it is heard as sent. Every send whose sound went out is logged
// as soon as it has gone out, with what broke it. `speaker` keys the transmitter around each
// send (KeyedPlayer): the listener is already running when the key goes down and hears the lead
// and the tail. `device` is the sound device under `speaker`, which tells the progress. A request
// to end the process in the middle of a send ends the run with one line, once the send is
// logged; a transmit limit that cut a send is its fault.
std::vector<SendAttempt> SendUntilHeard(const NamedSettings& settings, const CommonOptions& common,
                                        const SendOptions& send, const Keying& keying,
                                        Player& speaker, AlsaPlayer& device) {
    const Sound sound = WrittenSignal();
    const std::string signal = "the signal (check word " + CheckWordHex() + ")";
    const bool keyed = keying.setting.method != PttMethod::None;
    std::vector<SendAttempt> attempts;
    for (int number = 1; number <= 1 + send.retries; ++number) {
        SendAttempt attempt{number, {}, std::nullopt};
        std::optional<AirCheck> check;
        if (!send.checkWith.empty()) {
            check.emplace(send.checkWith, settings.panel, kCheckListenSeconds);
        }
        // From here a request to end the run waits until this send is logged and told.
        const TerminationHold hold;
        attempt.end = SendOnce(speaker, device, sound);
        if (check && attempt.end.signalNumber == 0) {
            attempt.check = check->Finish();
        }
        check.reset();  // no listener outlives the send, nor the run that a signal ends
        if (const int held = TerminationHold::Held(); held != 0 && attempt.end.signalNumber == 0) {
            if (attempt.end.cause == SendBreak::None) {
                attempt.end = EndOfInterruptedCheck(held);
            } else {
                attempt.end.signalNumber = held;
            }
        }
        std::optional<std::string> unlogged;
        if (attempt.end.onAir != SoundOnAir::Nothing) {
            unlogged = LogSend(settings, common, send, keying.setting, attempt);
        }
        attempts.push_back(attempt);
        if (attempt.end.signalNumber != 0) {
            const std::string logNote =
                unlogged ? "the send was NOT logged: " + *unlogged : "the send was logged";
            SayError(InterruptionLine(attempt.end, signal, keyed, logNote));
            break;  // the hold ends the process as the signal asks
        }
        if (unlogged) {
            SayWarning("the programming log was not written: " + *unlogged);
        }
        if (attempt.check) {
            SayError("check " + std::to_string(attempt.number) + " on " + send.checkWith + ": " +
                     attempt.check->line);
        }
        if (!WantsAnotherSend(attempt)) {
            break;
        }
    }
    return attempts;
}

}  // namespace

int RunProgramming(CommonOptions& common, const SendOptions& send) {
    NamedSettings settings = LoadNamedSettings(common);
    PanelState& panel = settings.panel;
    const std::vector<std::string> warnings = SettingWarnings(panel);
    const auto sayWarnings = [&warnings] {
        for (const std::string& warning : warnings) {
            SayWarning(warning);
        }
    };
    if (common.strict && !warnings.empty()) {
        sayWarnings();
        throw UsageError("refused by --strict (" + std::to_string(warnings.size()) +
                         " warnings above): nothing written, nothing sent");
    }
    // The PTT is reached before anything is written: one that cannot be keyed ends the run
    // before the countdown, with nothing sent. generate keys nothing.
    const Keying keying =
        send.play ? KeyingForRun(common, settings.keying, kDefaultPttLimit) : Keying{};
    Transmitter ptt(keying.setting);
    AlsaPlayer device(common.device, kDevicesAdvice);
    KeyedPlayer speaker(device, ptt, keying.timing);
    NoChart chart;
    WriteOutputFiles(panel, chart);
    if (!common.json) {
        PrintListing(panel);
    }
    // After the 64-line listing, so that on a terminal they are what the operator sees last
    // before the sound goes out.
    sayWarnings();
    std::vector<SendAttempt> attempts;
    if (send.play) {
        CountDown(send.delaySeconds);
        attempts = SendUntilHeard(settings, common, send, keying, speaker, device);
        const SendEnd& last = attempts.back().end;
        if (last.cause == SendBreak::TransmitLimit || last.cause == SendBreak::Release) {
            SayError(last.fault);
        }
        if (last.cause != SendBreak::None && last.cause != SendBreak::Sound) {
            return kExitFault;  // a signal ends the process before this, unless it was ignored
        }
        if (last.cause == SendBreak::None) {
            SayError("sent, check word " + CheckWordHex());
        }
    }
    const bool checked = !attempts.empty() && attempts.back().check.has_value();
    if (common.json) {
        nlohmann::ordered_json report = RunReport(panel, true, warnings);
        if (checked) {
            report["checks"] = nlohmann::ordered_json::array();
            for (const SendAttempt& attempt : attempts) {
                if (attempt.check) {
                    report["checks"].push_back(AirCheckJson(send.checkWith, *attempt.check));
                }
            }
        }
        Print(JsonText(report));
    }
    if (checked && attempts.back().check->verdict != AirVerdict::AsSent) {
        SayError("not heard as sent after " + std::to_string(attempts.size()) + " send(s)");
        return kExitFault;
    }
    const bool brokenAtLast = !attempts.empty() && attempts.back().end.cause != SendBreak::None;
    return brokenAtLast ? kExitFault : kExitDone;
}

}  // namespace zk::cli
