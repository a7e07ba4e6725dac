#include <gtest/gtest.h>

#include "commandline.h"
#include "commands.h"
#include "configoption.h"
#include "messages.h"
#include "verifyrecordings.h"

namespace zk::cli {
namespace {

struct Command {
    std::string action;  // the subcommand chosen, "help" or "version"
    PanelState panel;
};

Command ParseCommandLine(const std::vector<std::string>& args) {
    CommandLine line(kCommands);
    const Parsed parsed = line.Parse(args);
    if (parsed.outcome == Outcome::Help) {
        return {"help", {}};
    }
    if (parsed.outcome == Outcome::Version) {
        return {"version", {}};
    }
    return {line.options().command, LoadSettings(line.options())};
}

std::string UsageMessage(const std::vector<std::string>& args) {
    try {
        ParseCommandLine(args);
    } catch (const UsageError& error) {
        return error.what();
    }
    return "accepted";
}

TEST(CommandLine, DefaultsAreTheWindowsStartValues) {
    const Command command = ParseCommandLine({"generate"});
    EXPECT_EQ(command.action, "generate");
    const PanelState start;
    EXPECT_EQ(command.panel.codes, start.codes);
    EXPECT_EQ(command.panel.checks, start.checks);
    EXPECT_EQ(command.panel.spins, start.spins);
    EXPECT_EQ(command.panel.sqlPage, start.sqlPage);
    EXPECT_EQ(command.panel.sqlLevel, start.sqlLevel);
}

TEST(CommandLine, EveryOptionReachesItsControl) {
    Command command = ParseCommandLine({"play",
                                        "--user-open",
                                        "1234",
                                        "--user-close=D",
                                        "--admin-open",
                                        "A*#0",
                                        "--admin-close",
                                        "5",
                                        "--user-mode",
                                        "9999",
                                        "--dtmf",
                                        "off",
                                        "--max-record",
                                        "1",
                                        "--period",
                                        "64:60:60",
                                        "--beep-length",
                                        "9",
                                        "--beep-level=20",
                                        "--threshold",
                                        "100",
                                        "--squelch",
                                        "sql-high",
                                        "--rx-filter",
                                        "off",
                                        "--tx-filter",
                                        "off",
                                        "--adc-gain",
                                        "20",
                                        "--dac-atten",
                                        "3",
                                        "--hang",
                                        "on",
                                        "--sleep",
                                        "on"});
    PanelState& p = command.panel;
    EXPECT_EQ(command.action, "play");
    EXPECT_EQ(p.Code(CodeField::KodOtkrPols), "1234");
    EXPECT_EQ(p.Code(CodeField::KodZakrPols), "D");
    EXPECT_EQ(p.Code(CodeField::KodOtkrAdmin), "A*#0");
    EXPECT_EQ(p.Code(CodeField::KodZakrAdm), "5");
    EXPECT_EQ(p.Code(CodeField::KodPolz), "9999");
    EXPECT_FALSE(p.Check(CheckField::Razr_DTMF));
    EXPECT_FALSE(p.Check(CheckField::KF_PRM));
    EXPECT_FALSE(p.Check(CheckField::KF_PRD));
    EXPECT_TRUE(p.Check(CheckField::ZAmOtp));
    EXPECT_TRUE(p.Check(CheckField::RegSleep));
    EXPECT_TRUE(p.Check(CheckField::RasKS));
    EXPECT_EQ(p.Spin(SpinField::MaxDlitZapRep), 1);
    EXPECT_EQ(p.Spin(SpinField::PP_Hour), 64);
    EXPECT_EQ(p.Spin(SpinField::PP_Min), 60);
    EXPECT_EQ(p.Spin(SpinField::PP_Sek), 60);
    EXPECT_EQ(p.Spin(SpinField::DlitBip), 9);
    EXPECT_EQ(p.Spin(SpinField::UrBip), 20);
    EXPECT_EQ(p.Spin(SpinField::SQL_PorogPerekl), 100);  // threshold follows the squelch mode
    EXPECT_EQ(p.Spin(SpinField::SQL0_PorogPerekl), 5);
    EXPECT_EQ(p.sqlPage, kSqlPageInput);
    EXPECT_EQ(p.sqlLevel, kSqlLevelHigh);
    EXPECT_EQ(p.Spin(SpinField::UsilADC), 20);
    EXPECT_EQ(p.Spin(SpinField::OslDAC), 3);
    EXPECT_EQ(UsageMessage({"generate", "--squelch", "sql-low", "--threshold", "7"}), "accepted");
}

TEST(CommandLine, BadInputNamesTheOptionAndWhatItAccepts) {
    EXPECT_EQ(UsageMessage({}).rfind("no action given: use generate", 0), 0u);
    EXPECT_EQ(UsageMessage({"burn"}).rfind("unknown action \"burn\": use generate", 0), 0u);
    EXPECT_EQ(UsageMessage({"generate", "--volume", "3"}),
              "unknown option \"--volume\" (see --help)");
    EXPECT_EQ(UsageMessage({"generate", "--beep-level"}), "--beep-level: a value is missing");
    EXPECT_EQ(UsageMessage({"generate", "stray"}), "unexpected argument \"stray\"");
    EXPECT_EQ(UsageMessage({"generate", "--beep-level", "21"}),
              "--beep-level: \"21\" is not a whole number in 0..20");
    EXPECT_EQ(UsageMessage({"generate", "--max-record", "0"}),
              "--max-record: \"0\" is not a whole number in 1..64");
    EXPECT_EQ(UsageMessage({"generate", "--adc-gain", "1.5"}),
              "--adc-gain: \"1.5\" is not a whole number in 0..20");
    EXPECT_EQ(UsageMessage({"generate", "--dac-atten", ""}),
              "--dac-atten: \"\" is not a whole number in 0..20");
    EXPECT_EQ(UsageMessage({"generate", "--threshold", "100"}),
              "--threshold: \"100\" is not a whole number in 1..99");
    EXPECT_EQ(UsageMessage({"generate", "--period", "1:2"}),
              "--period: \"1:2\" must be H:M:S (hours 0..64, minutes 0..60, seconds 0..60)");
    EXPECT_EQ(UsageMessage({"generate", "--period", "0:61:0"}),
              "--period (minutes): \"61\" is not a whole number in 0..60");
    EXPECT_EQ(UsageMessage({"generate", "--hang", "yes"}), "--hang: \"yes\" must be on or off");
    EXPECT_EQ(UsageMessage({"generate", "--squelch", "loud"}),
              "--squelch: \"loud\" must be audio, sql-high or sql-low");
    EXPECT_EQ(UsageMessage({"tone", "--device", ""}),
              "--device: the name is empty (the system's own device is \"default\")");
    EXPECT_EQ(UsageMessage({"play", "--device", "", "--device", "hw:1"}), "accepted");
}

// Each kind of refused code in English, naming the code as it was typed; the first refused code
// in the window's order is the one reported.
TEST(CommandLine, RefusedCodesAreExplainedInEnglish) {
    const struct {
        std::vector<std::string> args;
        const char* message;
    } cases[] = {
        {{"--admin-open", "81"}, "--admin-open: \"81\": a code is one symbol or four, not 2"},
        {{"--user-open", "12345"}, "--user-open: \"12345\": a code is one symbol or four, not 5"},
        {{"--user-close", " \t "},
         "--user-close: \" \\x09 \": a code is one symbol or four, and this one is empty"},
        {{"--user-mode", "12e4"}, "--user-mode: \"12e4\": a code's symbols are 0-9, A-D, * and #"},
        {{"--user-mode", "abc"}, "--user-mode: \"abc\": a code is one symbol or four, not 3"},
        {{"--user-mode", "a b"}, "--user-mode: \"a b\": a code's symbols are 0-9, A-D, * and #"},
        {{"--user-mode", "abcd", "--user-open", "12"},
         "--user-open: \"12\": a code is one symbol or four, not 2"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args{"generate"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        EXPECT_EQ(UsageMessage(args), c.message);
    }
}

// a-d on the command line and in profiles are the keypad's A-D: the same message goes out, and
// what is shown and logged is the capitals. Other letters stay refused.
TEST(CommandLine, LowerCaseCodeLettersSendTheSameArrayAsCapitals) {
    const Command lower = ParseCommandLine(
        {"generate", "--user-open", "abcd", "--user-close", "d", "--admin-open", "1a*#"});
    const Command upper = ParseCommandLine(
        {"generate", "--user-open", "ABCD", "--user-close", "D", "--admin-open", "1A*#"});
    EXPECT_EQ(ArrayForSettings(lower.panel), ArrayForSettings(upper.panel));
    EXPECT_EQ(lower.panel.codes, upper.panel.codes);

    PanelState profile = ResolveSettings(ReadProfile("user-mode = \" cb1a \"\n", "n.toml"));
    PanelState capitals;
    capitals.Code(CodeField::KodPolz) = "CB1A";
    EXPECT_EQ(ArrayForSettings(profile), ArrayForSettings(capitals));
    EXPECT_EQ(profile.Code(CodeField::KodPolz), "CB1A");
    EXPECT_NE(UsageMessage({"generate", "--user-open", "abce"}), "accepted");
}

// A mistyped option or action is answered with the nearest the command knows, when it is a near
// miss: a quarter of the name's length in edits (at least one, at most two), a swap of two
// neighbours counting as one, ties named together; nothing when every name is far.
TEST(CommandLine, AMistypedNameIsAnsweredWithTheNearestKnownOne) {
    const struct {
        std::vector<std::string> args;
        std::string message;
    } cases[] = {
        {{"generate", "--user-opn", "1590"},
         "unknown option \"--user-opn\": did you mean --user-open? (see --help)"},
        {{"play", "--usr-opn=1590"},  // two edits, the most a long name allows
         "unknown option \"--usr-opn\": did you mean --user-open? (see --help)"},
        {{"play", "--us-opn"}, "unknown option \"--us-opn\" (see --help)"},
        {{"generate", "-user-open", "1590"},
         "unknown option \"-user-open\": did you mean --user-open? (see --help)"},
        {{"log", "--jsno"}, "unknown option \"--jsno\": did you mean --json? (see --help)"},
        {{"log", "--jsxx"}, "unknown option \"--jsxx\" (see --help)"},
        {{"devices", "--al"}, "unknown option \"--al\": did you mean --all? (see --help)"},
        {{"generate", "--x-filter", "on"},
         "unknown option \"--x-filter\": did you mean --rx-filter or --tx-filter? (see --help)"},
        {{"genrate"}, "unknown action \"genrate\": did you mean generate? (see --help)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.back());
        EXPECT_EQ(UsageMessage(c.args), c.message);
    }
}

// Faults found in the hand-written parser, kept fixed through the change of parser.
TEST(CommandLine, AnOptionIsNeverAnotherOptionsValue) {
    EXPECT_EQ(UsageMessage({"generate", "--user-open", "--period", "1:0:0"}),
              "--user-open: a value is missing");
    EXPECT_EQ(UsageMessage({"play", "--period", "-C", "/tmp"}), "--period: a value is missing");
    EXPECT_EQ(UsageMessage({"play", "--user-open=", "--delay=0"}),
              "--user-open: a value is missing");
    EXPECT_EQ(UsageMessage({"generate", "--strict=maybe"}),
              "--strict: a switch, it takes no value");
    EXPECT_EQ(UsageMessage({"generate", "--quiet"}), "unknown option \"--quiet\" (see --help)");
    EXPECT_EQ(UsageMessage({"generate", "--"}), "accepted");
    EXPECT_EQ(UsageMessage({"generate", "--", "--user-open"}),
              "unexpected argument \"--user-open\"");
}

// "zk77q3 -C DIR generate" works as "zk77q3 generate -C DIR"; the working folder named in front
// goes to the command, and a command without the option still refuses it.
TEST(CommandLine, AWorkingFolderMayStandBeforeTheCommand) {
    struct Line {
        std::vector<std::string> args;
        std::string folder;
        std::string command;
    };
    const Line lines[] = {
        {{"-C", "site/north", "generate", "--user-open", "1590"}, "site/north", "generate"},
        {{"-Csite/north", "play"}, "site/north", "play"},
        {{"--directory=a", "-C", "b", "check"}, "b", "check"},
        {{"-C", "generate", "profile"}, "generate", "profile"},  // a folder named like a command
    };
    for (const Line& l : lines) {
        CommandLine line(kCommands);
        ASSERT_EQ(line.Parse(l.args).outcome, Outcome::Run) << l.args.front();
        EXPECT_EQ(line.options().directory, l.folder);
        EXPECT_EQ(line.options().command, l.command);
    }
    EXPECT_EQ(UsageMessage({"-C", "x", "verify", "f.wav"}), "accepted");
    EXPECT_EQ(UsageMessage({"-C", "x", "verify"}), "FILE is missing (see --help)");
    EXPECT_EQ(UsageMessage({"--period", "1:0:0", "generate"}),
              "unknown option \"--period\" (see --help)");
}

// A command that works in no folder refuses -C, in front of it or after it, and says which
// commands take it; the list is every command whose --help offers it.
TEST(CommandLine, DirectoryIsRefusedByCommandsWithoutAFolderAndTheOthersAreNamed) {
    const std::string takers = "generate, play, check, profile, dtmf, verify and listen";
    EXPECT_EQ(UsageMessage({"tone", "-C", "x"}),
              "-C: tone works in no folder (it reads and writes no files there); -C is taken "
              "by " +
                  takers);
    EXPECT_EQ(UsageMessage({"-C", "x", "log"}),
              "-C: log works in no folder (it reads and writes no files there); -C is taken by " +
                  takers);
    EXPECT_EQ(UsageMessage({"log", "--directory=x"}),
              "--directory: log works in no folder (it reads and writes no files there); "
              "--directory is taken by " +
                  takers);
    EXPECT_EQ(UsageMessage({"tone", "--", "-C"}), "unexpected argument \"-C\"");
    for (const char* command :
         {"generate", "play", "check", "profile", "dtmf", "verify", "listen"}) {
        CommandLine line(kCommands);
        EXPECT_NE(line.Parse({command, "--help"}).help.find("-C,--directory DIR"),
                  std::string::npos)
            << command;
    }
}

TEST(CommandLine, APeriodHasNoSign) {
    EXPECT_EQ(UsageMessage({"generate", "--period", "-0:0:0"}),
              "--period (hours): \"-0\" is not a whole number in 0..64");
    EXPECT_EQ(UsageMessage({"generate", "--period", "1:-0:3"}),
              "--period (minutes): \"-0\" is not a whole number in 0..60");
    EXPECT_EQ(UsageMessage({"generate", "--period", "1:+5:3"}),
              "--period (minutes): \"+5\" is not a whole number in 0..60");
    EXPECT_EQ(UsageMessage({"generate", "--beep-level", "-0"}),
              "--beep-level: \"-0\" is not a whole number in 0..20");
}

TEST(CommandLine, EchoedValuesAreEscapedAndCut) {
    EXPECT_EQ(UsageMessage({"generate", "--hang", "\x1b[2J\nx\x7f\xc2\x9b\xff"}),
              "--hang: \"\\x1B[2J\\x0Ax\\x7F\\x9B\\xFF\" must be on or off");
    const std::string huge(131072, 'a');
    EXPECT_EQ(UsageMessage({"generate", "--squelch", huge}),
              "--squelch: \"" + std::string(64, 'a') + "…\" must be audio, sql-high or sql-low");
    // Cut between characters, never inside one.
    std::string cyrillic;
    for (int i = 0; i < 70; ++i) {
        cyrillic += "ж";
    }
    std::string expected;
    for (int i = 0; i < 64; ++i) {
        expected += "ж";
    }
    EXPECT_EQ(Quoted(cyrillic), "\"" + expected + "…\"");
}

TEST(CommandLine, CodesAreStoredTrimmedAsGenerateReadsThem) {
    const Command command = ParseCommandLine({"generate", "--user-open", " 1590\t"});
    EXPECT_EQ(command.panel.codes[0], "1590");
}

TEST(CommandLine, HelpAndVersion) {
    EXPECT_EQ(ParseCommandLine({"--help"}).action, "help");
    EXPECT_EQ(ParseCommandLine({"generate", "--beep-level", "3", "-h"}).action, "help");
    EXPECT_EQ(ParseCommandLine({"--version"}).action, "version");
    // Anywhere a person would type them, even where a value was expected.
    EXPECT_EQ(ParseCommandLine({"generate", "--user-open", "-h"}).action, "help");
    EXPECT_EQ(ParseCommandLine({"play", "--beep-level", "3", "-V"}).action, "version");
    EXPECT_EQ(ParseCommandLine({"generate", "--version"}).action, "version");
    CommandLine line(kCommands);
    const std::string help = line.Parse({"play", "--help"}).help;
    EXPECT_NE(help.find("--squelch"), std::string::npos);
    EXPECT_NE(help.find("Example:"), std::string::npos);
}

}  // namespace
}  // namespace zk::cli
