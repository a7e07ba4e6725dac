// zk77q3 log: the programming log, as a list, as JSON Lines, or one entry as a profile.
#include <CLI/CLI.hpp>

#include <filesystem>
#include <optional>

#include "commands.h"
#include "loglist.h"
#include "messages.h"
#include "profile.h"
#include "profileoutput.h"
#include "repeatername.h"
#include "report.h"
#include "sentlog.h"
#include "stdoutput.h"

namespace zk::cli {

namespace {

struct LogOptions {
    std::string last;                 // --last N: only the last N entries
    std::string profile;              // --profile K: entry K as a profile
    std::optional<std::string> name;  // --name TEXT: only that repeater's entries
    std::string output;               // -o FILE: the profile into an owner-only file
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

bool HasName(const nlohmann::ordered_json& entry, const std::optional<std::string>& name) {
    return !name || (entry.is_object() && entry.contains(kNameKey) && entry[kNameKey].is_string() &&
                     SameRepeaterName(entry[kNameKey].get<std::string>(), *name));
}

// Entry K as a profile, the name included, so that --config sends it to the same repeater
// under the same name. K counts in the whole log, as the list numbers entries with or without
// --name; with --name, entry K must be that repeater's, so that a number taken from another
// list never sends one repeater's settings as another's.
int PrintEntryProfile(const std::vector<nlohmann::ordered_json>& entries,
                      const LogOptions& options) {
    const int count = static_cast<int>(entries.size());
    const int k = WholeNumberIn("--profile", options.profile, 1, std::max(count, 1));
    if (k > count) {
        throw UsageError("--profile: the log holds no entries");
    }
    const nlohmann::ordered_json& entry = entries[k - 1];
    const std::string subject = "log entry " + std::to_string(k);
    if (!HasName(entry, options.name)) {
        throw UsageError("--profile: " + subject + " is not the entry of a repeater named " +
                         Quoted(*options.name));
    }
    const std::optional<std::string> name = EntryName(entry);
    if (name) {
        const std::string nameSubject = subject + ": " + kNameKey;
        if (!entry[kNameKey].is_string()) {
            throw UsageError(nameSubject + ": " + Quoted(*name) + " is not a text");
        }
        CheckRepeaterName(nameSubject, *name);
    }
    PrintOrWriteProfile(options.output,
                        ProfileText(ResolveSettings(EntrySettings(entry, subject)), name));
    return kExitDone;
}

// Said on standard error, so that a list or JSON read by a program stays empty: nothing sent
// yet is no fault.
void SayNothingToShow(const LogOptions& options, bool logHasEntries) {
    if (logHasEntries) {
        SayError("no entries of a repeater named " + Quoted(*options.name) +
                 " (names match whatever their case)");
        return;
    }
    // The path whole, as every message about the log gives it: a path cut short names no file.
    const std::filesystem::path path = SentLogPath();
    const std::string shown = "\"" + path.string() + "\"";
    std::error_code error;
    if (path.empty()) {
        SayError("no programming log: neither XDG_STATE_HOME nor HOME is set");
    } else if (std::filesystem::exists(path, error)) {
        SayError("the programming log " + shown + " holds no entries");
    } else {
        SayError("no programming log yet: play writes " + shown + " at its first send");
    }
}

int RunLog(const CommonOptions& common, const LogOptions& options) {
    if (options.name) {
        CheckRepeaterName("--name", *options.name);
    }
    if (!options.output.empty() && options.profile.empty()) {
        throw UsageError("--output: only with --profile (the list holds no settings to send)");
    }
    const std::vector<nlohmann::ordered_json> entries = ReadSentLog();
    if (!options.profile.empty()) {
        return PrintEntryProfile(entries, options);
    }
    // The entries shown, by their numbers in the whole log; --last counts among them.
    std::vector<int> shown;
    for (int k = 1; k <= static_cast<int>(entries.size()); ++k) {
        if (HasName(entries[k - 1], options.name)) {
            shown.push_back(k);
        }
    }
    std::size_t first = 0;
    if (!options.last.empty()) {
        const auto last =
            static_cast<std::size_t>(WholeNumberIn("--last", options.last, 1, 1000000));
        first = shown.size() > last ? shown.size() - last : 0;
    }
    if (shown.empty()) {
        SayNothingToShow(options, !entries.empty());
        return kExitDone;
    }
    std::vector<ListedEntry> listed;
    for (std::size_t i = first; i < shown.size(); ++i) {
        listed.push_back({shown[i], &entries[shown[i] - 1]});
    }
    if (!common.json) {
        Print(LogListText(listed));
        return kExitDone;
    }
    std::string json;
    for (const ListedEntry& e : listed) {
        json += e.entry->is_discarded() ? "null\n" : JsonText(*e.entry, -1);
    }
    Print(json);
    return kExitDone;
}

}  // namespace

void AddLogCommand(CLI::App& app, CommonOptions& common) {
    CLI::App& log = AddCommand(
        app, "log",
        "Shows the programming log: every signal that play sent, one line each (entry number, "
        "time in UTC, check word, attempt, what the second receiver of --check-with heard: "
        "heard as sent, heard different, broken check word, not heard or not checked; the "
        "repeater's name in quotes when it was given, working folder, and a fault that cut "
        "the send short). An empty log, or none, is said on standard error. The log is "
        "$XDG_STATE_HOME/zk77q3/sent.jsonl "
        "(~/.local/state/zk77q3/sent.jsonl), JSON Lines, reachable by its owner only: a log or "
        "folder of another user, a symbolic link or anything but a regular file is refused, and "
        "one that others can reach is made private, with a warning.",
        "zk77q3 log --profile 3 --output again.toml");
    auto options = std::make_shared<LogOptions>();
    AddJsonOption(log, common, "each entry as the log holds it: one JSON object a line");
    log.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    log.add_option("--last", options->last, "only the last N entries")->type_name("N");
    log.add_option("--profile", options->profile,
                   "print entry K (numbered from 1, as the list shows) as a profile, to send the "
                   "same settings again with --config")
        ->type_name("K");
    AddProfileOutputOption(log, options->output);
    log.add_option_function<std::string>(
           "--name", [options](const std::string& text) { options->name = text; },
           "only the entries of the repeater of that name (in any case); entries keep their "
           "numbers in the whole log, --last counts among them, and --profile K must be one of "
           "them")
        ->type_name("TEXT");
    SetRun(log, common, [options](CommonOptions& c) { return RunLog(c, *options); });
}

}  // namespace zk::cli
