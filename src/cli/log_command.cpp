// zk77q3 log: the programming log, as a list, as JSON Lines, or one entry as a profile.
#include <CLI/CLI.hpp>

#include "commands.h"
#include "messages.h"
#include "profile.h"
#include "report.h"
#include "sentlog.h"
#include "stdoutput.h"

namespace zk::cli {

namespace {

struct LogOptions {
    std::string last;     // --last N: only the last N entries
    std::string profile;  // --profile K: entry K as a profile
};

// The settings of a log entry as they would be given in a profile; throws UsageError when the
// entry holds none.
GivenSettings EntrySettings(const nlohmann::ordered_json& entry, const std::string& subject) {
    if (!entry.is_object() || !entry.contains("settings") || !entry["settings"].is_object()) {
        throw UsageError(subject + ": the entry holds no settings");
    }
    GivenSettings given;
    for (const auto& [key, value] : entry["settings"].items()) {
        if (FindSetting(key) == nullptr) {
            throw UsageError(subject + ": unknown key " + Quoted(key));
        }
        const std::string text = value.is_string() ? value.get<std::string>() : value.dump();
        given[key] = GivenValue{text, subject + ": " + key};
    }
    return given;
}

std::string Field(const nlohmann::ordered_json& entry, const char* key) {
    if (entry.is_object() && entry.contains(key) && entry[key].is_string()) {
        return entry[key].get<std::string>();
    }
    return "?";
}

int RunLog(const CommonOptions& common, const LogOptions& options) {
    const std::vector<nlohmann::ordered_json> entries = ReadSentLog();
    const int count = static_cast<int>(entries.size());
    if (!options.profile.empty()) {
        const int k = WholeNumberIn("--profile", options.profile, 1, std::max(count, 1));
        if (k > count) {
            throw UsageError("--profile: the log holds no entries");
        }
        const std::string subject = "log entry " + std::to_string(k);
        Print(ProfileText(ResolveSettings(EntrySettings(entries[k - 1], subject))));
        return kExitDone;
    }
    int first = 1;
    if (!options.last.empty()) {
        first = std::max(1, count + 1 - WholeNumberIn("--last", options.last, 1, 1000000));
    }
    std::string out;
    for (int k = first; k <= count; ++k) {
        const nlohmann::ordered_json& entry = entries[k - 1];
        if (common.json) {
            out += entry.is_discarded() ? "null\n" : JsonText(entry, -1);
        } else if (entry.is_discarded()) {
            out += std::to_string(k) + "  (not a readable entry)\n";
        } else {
            out += std::to_string(k) + "  " + EscapeControls(Field(entry, "time")) + "  " +
                   EscapeControls(Field(entry, "check_word")) + "  " +
                   EscapeControls(Field(entry, "folder")) + "\n";
        }
    }
    Print(out);
    return kExitDone;
}

}  // namespace

void AddLogCommand(CLI::App& app, CommonOptions& common) {
    CLI::App& log = AddCommand(
        app, "log",
        "Shows the programming log: every signal that play sent, one line each (entry number, "
        "time in UTC, check word, working folder). The log is $XDG_STATE_HOME/zk77q3/sent.jsonl "
        "(~/.local/state/zk77q3/sent.jsonl), JSON Lines, reachable by its owner only: a log or "
        "folder of another user, a symbolic link or anything but a regular file is refused, and "
        "one that others can reach is made private, with a warning.",
        "zk77q3 log --profile 3 > again.toml");
    auto options = std::make_shared<LogOptions>();
    AddJsonOption(log, common, "each entry as the log holds it: one JSON object a line");
    log.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    log.add_option("--last", options->last, "only the last N entries")->type_name("N");
    log.add_option("--profile", options->profile,
                   "print entry K (numbered from 1, as the list shows) as a profile, to send the "
                   "same settings again with --config")
        ->type_name("K");
    SetRun(log, common, [options](CommonOptions& c) { return RunLog(c, *options); });
}

}  // namespace zk::cli
