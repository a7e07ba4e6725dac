// The command line's frame: the options every subcommand shares, and the parser that reads the
// arguments into them. Option parsing is CLI11's; what this adds is the tool's own conventions:
// an option is never taken as another option's value, -h/--help and -V/--version work anywhere,
// and every fault of the input is a UsageError with the tool's own message (exit status 2).
//
// A subcommand lives in a file of its own and registers itself with one call, declared and
// listed in the table of commands (commands/commands.h) that the parser is made with:
//
//     void AddToneCommand(CLI::App& app, CommonOptions& common) {
//         CLI::App& tone = AddCommand(app, "tone", "what it does", "zk77q3 tone --seconds 5");
//         AddDeviceOption(tone, common);
//         SetRun(tone, common, [](CommonOptions& c) { ...; return 0; });
//     }
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "settings.h"

namespace CLI {
class App;
}

namespace zk::cli {

inline constexpr int kExitDone = 0;
inline constexpr int kExitFault = 1;     // a file, device or playback fault
inline constexpr int kExitBadInput = 2;  // nothing written, nothing sent

struct CommonOptions {
    GivenSettings given;   // the settings given on the command line, by key
    GivenSettings keying;  // --ptt and its timing given on the command line, by key (keying.h)
    std::string config;    // --config FILE: a profile ("-" standard input), read before `given`
    std::string device = "default";   // --device: the ALSA device
    std::optional<std::string> name;  // --name: the repeater's name, over the profile's
    std::string directory;            // -C DIR: the working folder
    bool json = false;                // --json: one JSON object on standard output
    bool strict = false;              // --strict: warnings refuse the run
    std::string command;              // the chosen subcommand's name
    // Set by the chosen subcommand; runs after parsing, in the working folder.
    std::function<int(CommonOptions&)> run;
};

// A subcommand of `app` with its own --help, ending with one example and the exit statuses
// (the usual ones unless `exitStatus` tells otherwise).
CLI::App& AddCommand(CLI::App& app, const std::string& name, const std::string& description,
                     const std::string& example, const std::string& exitStatus = "");
// The eighteen settings and --config FILE.
void AddSettingsOptions(CLI::App& command, CommonOptions& common);
void AddDeviceOption(CLI::App& command, CommonOptions& common);
// --name TEXT, for the commands that keep the repeater's name: play (the log), profile.
void AddNameOption(CLI::App& command, CommonOptions& common);
void AddJsonOption(CLI::App& command, CommonOptions& common,
                   const std::string& description =
                       "one JSON object on standard output: "
                       "settings, array, check word, files, "
                       "warnings");
void AddStrictOption(CLI::App& command, CommonOptions& common);
// `writesFiles`: the command writes _qq.wav and 9_fmsig.h (else -C only places --config).
void AddDirectoryOption(CLI::App& command, CommonOptions& common, bool writesFiles = true);
// -C with the command's own account of what it finds in DIR.
void AddDirectoryOptionTelling(CLI::App& command, CommonOptions& common,
                               const std::string& whatIsThere);
// What the subcommand does once the arguments are read.
void SetRun(CLI::App& command, CommonOptions& common, std::function<int(CommonOptions&)> run);

// A subcommand: its name, and the call that adds it with its options.
struct CommandEntry {
    const char* name;
    void (*add)(CLI::App&, CommonOptions&);
};
// Every subcommand, in the order --help lists them.
using Commands = std::span<const CommandEntry>;

enum class Outcome { Run, Help, Version };

struct Parsed {
    Outcome outcome = Outcome::Run;
    std::string help;  // the help text asked for
};

class CommandLine {
  public:
    explicit CommandLine(Commands commands);
    ~CommandLine();
    // Reads the arguments after the program name. Throws UsageError.
    Parsed Parse(const std::vector<std::string>& args);
    CommonOptions& options() { return common_; }

  private:
    void Register(const std::vector<std::string>& args);

    Commands commands_;
    std::unique_ptr<CLI::App> app_;
    CommonOptions common_;
};

}  // namespace zk::cli
