#include "commandline.h"

#include <CLI/CLI.hpp>

#include <algorithm>

#include "messages.h"
#include "nearestname.h"
#include "valueoption.h"

#ifndef ZK_VERSION
#define ZK_VERSION "unknown"
#endif

namespace zk::cli {

namespace {

// What a person types as an option: "--name", "--", or "-" and a letter. "-" alone (standard
// input) and "-5" or "-0:0:0" (a value with a sign, rejected by the value's own check) are values.
bool LooksLikeOption(std::string_view arg) {
    if (arg.starts_with("--")) {
        return true;
    }
    return arg.size() >= 2 && arg[0] == '-' &&
           ((arg[1] >= 'A' && arg[1] <= 'Z') || (arg[1] >= 'a' && arg[1] <= 'z'));
}

bool IsHelp(std::string_view arg) {
    return arg == "-h" || arg == "--help";
}
bool IsVersion(std::string_view arg) {
    return arg == "-V" || arg == "--version";
}

std::vector<CLI::App*> AllCommands(CLI::App& app) {
    return app.get_subcommands([](CLI::App*) { return true; });
}

CLI::App* FindCommand(CLI::App& app, std::string_view name) {
    for (CLI::App* command : AllCommands(app)) {
        if (command->get_name() == name) {
            return command;
        }
    }
    return nullptr;
}

std::vector<std::string> CommandNames(Commands commands) {
    std::vector<std::string> names;
    for (const CommandEntry& entry : commands) {
        names.emplace_back(entry.name);
    }
    return names;
}

std::string CommandList(Commands commands) {
    const std::vector<std::string> names = CommandNames(commands);
    std::string list;
    for (std::size_t i = 0; i < names.size(); ++i) {
        list += names[i];
        list += i + 2 < names.size() ? ", " : i + 2 == names.size() ? " or " : "";
    }
    return list;
}

bool IsDirectoryOption(std::string_view arg) {
    return arg == "-C" || arg == "--directory";
}
bool IsDirectoryOptionWithValue(std::string_view arg) {
    return (arg.starts_with("-C") && arg.size() > 2) || arg.starts_with("--directory=");
}

// "zk77q3 -C DIR generate", as with git or make: a working folder given in front of the command
// is handed to the command, which is where the option belongs. Only -C options may stand in
// front; anything else there is left for the parser to report.
std::vector<std::string> DirectoryAfterCommand(const std::vector<std::string>& args,
                                               Commands commands) {
    std::vector<std::string> directory;
    std::size_t i = 0;
    for (; i < args.size(); ++i) {
        if (IsDirectoryOption(args[i]) && i + 1 < args.size()) {
            directory.push_back(args[i]);
            directory.push_back(args[++i]);
        } else if (IsDirectoryOptionWithValue(args[i])) {
            directory.push_back(args[i]);
        } else {
            break;
        }
    }
    const std::vector<std::string> names = CommandNames(commands);
    if (directory.empty() || i == args.size() ||
        std::find(names.begin(), names.end(), args[i]) == names.end()) {
        return args;
    }
    std::vector<std::string> moved{args[i]};
    moved.insert(moved.end(), directory.begin(), directory.end());
    moved.insert(moved.end(), args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
    return moved;
}

bool TakesValue(const CLI::Option& option) {
    return option.get_expected_min() != 0 && option.get_type_size_min() != 0;
}

// Throws "NAME: a value is missing" for the first option that expects a value and is followed by
// nothing or by another option, or has nothing after its "=", and "NAME: a switch, it takes no
// value" for a switch given one after "=". CLI11 would take the next argument whatever it is, so
// that "--user-open --period 1:0:0" made "--period" a code.
void CheckValuesPresent(CLI::App& app, const std::vector<std::string>& args) {
    CLI::App* scope = &app;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--") {
            return;
        }
        if (scope == &app) {
            if (CLI::App* command = FindCommand(app, arg)) {
                scope = command;
                continue;
            }
        }
        if (!LooksLikeOption(arg)) {
            continue;
        }
        // CLI11's own words would be "1 required N missing" for "--last=", and "Could not
        // convert: --strict = maybe" for a switch given a value.
        if (const std::size_t sign = arg.find('='); sign != arg.npos) {
            const std::string name = arg.substr(0, sign);
            const CLI::Option* option = scope->get_option_no_throw(name);
            if (option != nullptr && !TakesValue(*option)) {
                throw UsageError(name + ": a switch, it takes no value");
            }
            if (option != nullptr && sign + 1 == arg.size()) {
                throw UsageError(name + ": a value is missing");
            }
            continue;
        }
        // "-CDIR" carries its value; "-C" alone does not.
        if (!arg.starts_with("--") && arg.size() > 2) {
            continue;
        }
        const CLI::Option* option = scope->get_option_no_throw(arg);
        if (option == nullptr || !TakesValue(*option)) {
            continue;
        }
        if (i + 1 == args.size() || LooksLikeOption(args[i + 1])) {
            throw UsageError(arg + ": a value is missing");
        }
        ++i;
    }
}

// The first argument that names a subcommand, for "zk77q3 play --help".
CLI::App* HelpScope(CLI::App& app, const std::vector<std::string>& args) {
    for (const std::string& arg : args) {
        if (arg == "--") {
            break;
        }
        if (CLI::App* command = FindCommand(app, arg)) {
            return command;
        }
    }
    return nullptr;
}

// The long options that --help shows for `scope`, for a guess at a mistyped one.
std::vector<std::string> ShownOptionNames(const CLI::App& scope) {
    std::vector<std::string> names;
    for (const CLI::Option* option : scope.get_options()) {
        if (option->get_group().empty()) {
            continue;  // hidden: for the tool's own use between its processes
        }
        for (const std::string& name : option->get_lnames()) {
            names.push_back("--" + name);
        }
    }
    return names;
}

// `operands`: the arguments after "--", which are never options.
void ThrowForExtras(CLI::App& app, const std::vector<std::string>& operands, Commands commands) {
    std::vector<std::string> extras = app.remaining(true);
    // CLI11 leaves the separator itself among the extras; it is no argument of its own.
    extras.erase(std::remove(extras.begin(), extras.end(), "--"), extras.end());
    const bool chosen = !app.get_subcommands().empty();
    if (extras.empty()) {
        if (!chosen) {
            throw UsageError("no action given: use " + CommandList(commands) + " (see --help)");
        }
        return;
    }
    const std::string& first = extras.front();
    const bool operand = std::find(operands.begin(), operands.end(), first) != operands.end();
    if (LooksLikeOption(first) && !operand) {
        const std::string option = first.substr(0, first.find('='));
        const CLI::App& scope = chosen ? *app.get_subcommands().front() : app;
        const std::string guess = DidYouMean(NearestNames(option, ShownOptionNames(scope)));
        throw UsageError("unknown option " + Quoted(option) + (guess.empty() ? "" : ":" + guess) +
                         " (see --help)");
    }
    if (!chosen) {
        const std::string guess = DidYouMean(NearestNames(first, CommandNames(commands)));
        throw UsageError("unknown action " + Quoted(first) + ":" +
                         (guess.empty() ? " use " + CommandList(commands) : guess) +
                         " (see --help)");
    }
    throw UsageError("unexpected argument " + Quoted(first));
}

// The commands that take -C, found by asking each one, so that the list cannot fall behind.
std::string CommandsTakingDirectory(Commands commands) {
    CLI::App all;
    CommonOptions unused;
    std::vector<std::string> names;
    for (const CommandEntry& entry : commands) {
        entry.add(all, unused);
        if (FindCommand(all, entry.name)->get_option_no_throw("-C") != nullptr) {
            names.emplace_back(entry.name);
        }
    }
    std::string list;
    for (std::size_t i = 0; i < names.size(); ++i) {
        list += names[i];
        list += i + 2 < names.size() ? ", " : i + 2 == names.size() ? " and " : "";
    }
    return list;
}

// A command that reads and writes nothing in a working folder refuses -C with a message that
// says where it belongs, rather than CLI11's "unknown option".
void RefuseDirectoryWhereUnused(CLI::App& app, const std::vector<std::string>& args,
                                Commands commands) {
    CLI::App* command = HelpScope(app, args);
    if (command == nullptr || command->get_option_no_throw("-C") != nullptr) {
        return;
    }
    for (const std::string& arg : args) {
        if (arg == "--") {
            return;
        }
        if (IsDirectoryOption(arg) || IsDirectoryOptionWithValue(arg)) {
            const std::string given = arg.starts_with("--") ? "--directory" : "-C";
            throw UsageError(given + ": " + command->get_name() +
                             " works in no folder (it reads and writes no files there); " + given +
                             " is taken by " + CommandsTakingDirectory(commands));
        }
    }
}

constexpr const char* kUsualExitStatus =
    "0 done, 1 a file, device or playback fault, 2 bad input (nothing written, nothing sent).";

}  // namespace

CLI::App& AddCommand(CLI::App& app, const std::string& name, const std::string& description,
                     const std::string& example, const std::string& exitStatus) {
    CLI::App* command = app.add_subcommand(name, description);
    command->allow_extras();  // reported by ThrowForExtras with the tool's own messages
    command->footer("Example:\n  " + example +
                    "\n\nExit status: " + (exitStatus.empty() ? kUsualExitStatus : exitStatus));
    return *command;
}

void AddSettingsOptions(CLI::App& command, CommonOptions& common) {
    for (const Setting& setting : kSettings) {
        const std::string name = std::string("--") + setting.key;
        command
            .add_option_function<std::string>(
                name,
                [&common, key = std::string(setting.key), name](const std::string& text) {
                    common.given[key] = GivenValue{text, name};
                },
                setting.help)
            ->type_name(setting.valueName)
            ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast)
            ->group("Settings (start value in brackets; a later option overrides an earlier one)");
    }
    AddValueOption(command, "--config", common.config,
                   "a profile (TOML, keys are the settings' names, as `zk77q3 profile` writes "
                   "it; at most 1 MiB; - reads standard input); options given here override it. "
                   "Codes given as options stand in the process list, which every local user "
                   "can read; from a profile they do not: zk77q3 play --config - < north.toml",
                   "FILE");
}

// An empty name would reach alsa-lib as no device at all and fail there as a device fault (exit
// status 1); it is a slip of the operator's, refused before anything is written or sent.
void AddDeviceOption(CLI::App& command, CommonOptions& common) {
    command
        .add_option_function<std::string>(
            "--device",
            [&common](const std::string& name) {
                if (name.empty()) {
                    throw UsageError(
                        "--device: the name is empty (the system's own device is "
                        "\"default\")");
                }
                common.device = name;
            },
            "the ALSA device (default)")
        ->type_name("NAME")
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
}

void AddNameOption(CLI::App& command, CommonOptions& common) {
    command
        .add_option_function<std::string>(
            "--name", [&common](const std::string& text) { common.name = text; },
            "the repeater's name, 1..64 characters, over a profile's name: kept in the "
            "programming log and in profiles, to tell repeaters apart (`zk77q3 log --name`)")
        ->type_name("TEXT")
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
}

void AddJsonOption(CLI::App& command, CommonOptions& common, const std::string& description) {
    command.add_flag("--json", common.json, description);
}

void AddStrictOption(CLI::App& command, CommonOptions& common) {
    command.add_flag("--strict", common.strict,
                     "refuse (exit status 2, nothing written or sent) when `zk77q3 check` would "
                     "warn");
}

void AddDirectoryOption(CLI::App& command, CommonOptions& common, bool writesFiles) {
    AddDirectoryOptionTelling(command, common,
                              writesFiles ? "the two files go there, and a relative --config is "
                                            "read from there"
                                          : "a relative --config is read from there");
}

void AddDirectoryOptionTelling(CLI::App& command, CommonOptions& common,
                               const std::string& whatIsThere) {
    AddValueOption(command, "-C,--directory", common.directory,
                   "work in DIR, as if started there: " + whatIsThere, "DIR");
}

void SetRun(CLI::App& command, CommonOptions& common, std::function<int(CommonOptions&)> run) {
    command.callback([&common, &command, run = std::move(run)] {
        common.command = command.get_name();
        common.run = run;
    });
}

CommandLine::CommandLine(Commands commands)
    : commands_(commands),
      app_(std::make_unique<CLI::App>("Programs the ZK-77q3 echo repeater over the air.",
                                      "zk77q3")) {
    CLI::App& app = *app_;
    app.require_subcommand(0, 1);
    app.allow_extras();
    app.add_flag("-V,--version")->description("print the version and exit");
    app.footer(std::string("Run `zk77q3 COMMAND --help` for a command's options.\n\nExample:\n  "
                           "zk77q3 generate --user-open 1590 --period 1:0:0\n\nExit status: ") +
               kUsualExitStatus);
}

// Builds only the subcommand that the arguments name (the first argument that is a command's
// name), or all of them when none is named: CLI11 options are costly to make, and every run of
// the tool would otherwise pay for the options of every command.
void CommandLine::Register(const std::vector<std::string>& args) {
    const std::vector<std::string> names = CommandNames(commands_);
    std::string chosen;
    for (const std::string& arg : args) {
        if (arg == "--") {
            break;
        }
        if (std::find(names.begin(), names.end(), arg) != names.end()) {
            chosen = arg;
            break;
        }
    }
    for (const CommandEntry& entry : commands_) {
        if (chosen.empty() || chosen == entry.name) {
            entry.add(*app_, common_);
        }
    }
}

CommandLine::~CommandLine() = default;

Parsed CommandLine::Parse(const std::vector<std::string>& given) {
    CLI::App& app = *app_;
    const std::vector<std::string> args = DirectoryAfterCommand(given, commands_);
    for (const std::string& arg : args) {
        if (arg == "--") {
            break;
        }
        if (IsVersion(arg)) {
            return {Outcome::Version, std::string("zk77q3 ") + ZK_VERSION + "\n"};
        }
    }
    Register(args);
    for (const std::string& arg : args) {
        if (arg == "--") {
            break;
        }
        if (IsHelp(arg)) {
            CLI::App* scope = HelpScope(app, args);
            return {Outcome::Help, scope != nullptr ? scope->help("zk77q3") : app.help()};
        }
    }
    CheckValuesPresent(app, args);
    RefuseDirectoryWhereUnused(app, args, commands_);
    std::vector<std::string> reversed(args.rbegin(), args.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::RequiredError& error) {
        // "FILE is required": a positional argument left out.
        std::string text = error.what();
        const std::string_view required = " is required";
        if (text.ends_with(required)) {
            text = text.substr(0, text.size() - required.size()) + " is missing (see --help)";
        }
        throw UsageError(text);
    } catch (const CLI::ParseError& error) {
        throw UsageError(error.what());
    }
    const auto separator = std::find(args.begin(), args.end(), "--");
    ThrowForExtras(app, {separator == args.end() ? args.end() : separator + 1, args.end()},
                   commands_);
    return {};
}

}  // namespace zk::cli
