#include "programming.h"

#include <chrono>
#include <filesystem>
#include <thread>

#include "audioplayer.h"
#include "checks.h"
#include "errors.h"
#include "messages.h"
#include "output.h"
#include "profile.h"
#include "report.h"
#include "sendprogress.h"
#include "sentlog.h"
#include "stdoutput.h"

namespace zk::cli {

namespace {

// Runs once both files are written: prints the array listing (unless JSON is asked for), gives
// the operator time to key the transmitter, then plays the sound when asked.
class ListingThenPlay : public Player {
  public:
    ListingThenPlay(PanelState& panel, const CommonOptions& common, const SendOptions& send,
                    AlsaPlayer& speaker)
        : panel_(panel), common_(common), send_(send), speaker_(speaker) {}

    void Play(const Sound& sound) override {
        if (!common_.json) {
            std::string listing;
            for (const std::string& line : panel_.memoMasIsh.lines) {
                listing += line;
                listing += '\n';
            }
            Print(listing);
        }
        if (!send_.play) {
            return;
        }
        for (int left = send_.delaySeconds; left > 0; --left) {
            SayError("key the transmitter: sending in " + std::to_string(left) + " s");
            std::this_thread::sleep_for(std::chrono::seconds(1));
        }
        SendProgressLine progress(speaker_);
        speaker_.Play(sound);
    }

  private:
    PanelState& panel_;
    const CommonOptions& common_;
    const SendOptions& send_;
    AlsaPlayer& speaker_;
};

std::string WorkingFolder() {
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::current_path(error);
    return error ? std::string() : folder.string();
}

nlohmann::ordered_json LogEntry(const PanelState& panel, const CommonOptions& common) {
    return {
        {"time", UtcTimestamp()},
        {"folder", WorkingFolder()},
        {"device", common.device},
        {"settings", SettingsJson(panel)},
        {"array", ArrayHex()},
        {"check_word", CheckWordHex()},
        {"wav_sha256", WaveFileSha256()},
    };
}

}  // namespace

int RunProgramming(CommonOptions& common, const SendOptions& send) {
    PanelState panel = LoadSettings(common);
    const std::vector<std::string> warnings = SettingWarnings(panel);
    for (const std::string& warning : warnings) {
        SayWarning(warning);
    }
    if (common.strict && !warnings.empty()) {
        throw UsageError("refused by --strict (" + std::to_string(warnings.size()) +
                         " warnings above): nothing written, nothing sent");
    }
    AlsaPlayer speaker(common.device);
    ListingThenPlay finish(panel, common, send, speaker);
    NoChart chart;
    RunOutput(panel, chart, finish);
    if (send.play) {
        std::string reason;
        try {
            reason = AppendToSentLog(LogEntry(panel, common));
        } catch (const std::exception& error) {  // the signal has gone out all the same
            reason = error.what();
        }
        if (!reason.empty()) {
            SayWarning("the programming log was not written: " + reason);
        }
        SayError("sent, check word " + CheckWordHex());
    }
    if (common.json) {
        Print(JsonText(RunReport(panel, true, warnings)));
    }
    return kExitDone;
}

}  // namespace zk::cli
