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
#include "sendprogress.h"
#include "sentlog.h"
#include "sentrecord.h"
#include "stdoutput.h"

namespace zk::cli {

namespace {

// The longest the second receiver listens for one send, were the send never to end; it is
// stopped soon after the sound has drained.
constexpr int kCheckListenSeconds = 120;

// One send as it went out: its number among the attempts and, with --check-with, what the
// second receiver heard.
struct SendAttempt {
    int number = 1;
    std::optional<AirCheckResult> check;
};

// The array listing as the window's memo shows it.
void PrintListing(const PanelState& panel) {
    std::string listing;
    for (const std::string& line : panel.memoMasIsh.lines) {
        listing += line;
        listing += '\n';
    }
    Print(listing);
}

// Gives the operator time to key the transmitter by hand.
void CountDown(int seconds) {
    for (int left = seconds; left > 0; --left) {
        SayError("key the transmitter: sending in " + std::to_string(left) + " s");
        std::this_thread::sleep_for(std::chrono::seconds(1));
    }
}

// Sends the signal just written; with --check-with listens beside each send and sends again, up
// to --retries more times, until it is heard as sent. `sent` is told of every attempt as soon as
// it has gone out. `speaker` keys the transmitter around each send (KeyedPlayer): the listener
// is already running when the key goes down and hears the lead and the tail. `device` is the
// sound device under `speaker`, which tells the progress.
std::vector<SendAttempt> SendUntilHeard(const PanelState& panel, const SendOptions& send,
                                        Player& speaker, AlsaPlayer& device,
                                        const std::function<void(const SendAttempt&)>& sent) {
    const Sound sound = WrittenSignal();
    std::vector<SendAttempt> attempts;
    for (int number = 1; number <= 1 + send.retries; ++number) {
        SendAttempt attempt{number, std::nullopt};
        std::optional<AirCheck> check;
        if (!send.checkWith.empty()) {
            check.emplace(send.checkWith, panel, kCheckListenSeconds);
        }
        {
            SendProgressLine progress(device);
            speaker.Play(sound);
        }
        if (check) {
            attempt.check = check->Finish();
        }
        attempts.push_back(attempt);
        sent(attempt);
        if (!attempt.check || attempt.check->verdict == AirVerdict::AsSent) {
            break;
        }
    }
    return attempts;
}

// The command line's entry: the shared record (sentrecord.h), and with --check-with the
// attempt's number and what the second receiver heard.
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
    if (attempt.check) {
        entry["attempt"] = attempt.number;
        entry["check"] = AirCheckJson(send.checkWith, *attempt.check);
    }
    return entry;
}

// The entry of a send that has gone out, and the check's line; a log that cannot be written is
// a warning, since the signal is on the air all the same.
void RecordSend(const NamedSettings& settings, const CommonOptions& common, const SendOptions& send,
                const PttSetting& ptt, const SendAttempt& attempt) {
    std::string reason;
    try {
        reason = AppendToSentLog(LogEntry(settings, common, send, ptt, attempt));
    } catch (const std::exception& error) {
        reason = error.what();
    }
    if (!reason.empty()) {
        SayWarning("the programming log was not written: " + reason);
    }
    if (attempt.check) {
        SayError("check " + std::to_string(attempt.number) + " on " + send.checkWith + ": " +
                 attempt.check->line);
    }
}

}  // namespace

int RunProgramming(CommonOptions& common, const SendOptions& send) {
    NamedSettings settings = LoadNamedSettings(common);
    PanelState& panel = settings.panel;
    const std::vector<std::string> warnings = SettingWarnings(panel);
    for (const std::string& warning : warnings) {
        SayWarning(warning);
    }
    if (common.strict && !warnings.empty()) {
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
    std::vector<SendAttempt> attempts;
    if (send.play) {
        CountDown(send.delaySeconds);
        attempts = SendUntilHeard(panel, send, speaker, device, [&](const SendAttempt& attempt) {
            RecordSend(settings, common, send, keying.setting, attempt);
        });
        SayError("sent, check word " + CheckWordHex());
    }
    const bool checked = !attempts.empty() && attempts.back().check.has_value();
    if (common.json) {
        nlohmann::ordered_json report = RunReport(panel, true, warnings);
        if (checked) {
            report["checks"] = nlohmann::ordered_json::array();
            for (const SendAttempt& attempt : attempts) {
                report["checks"].push_back(AirCheckJson(send.checkWith, *attempt.check));
            }
        }
        Print(JsonText(report));
    }
    if (checked && attempts.back().check->verdict != AirVerdict::AsSent) {
        SayError("not heard as sent after " + std::to_string(attempts.size()) + " send(s)");
        return kExitFault;
    }
    return kExitDone;
}

}  // namespace zk::cli
