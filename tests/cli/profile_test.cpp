// Profiles as --config reads them and `zk77q3 profile` writes them, in the process.
#include <gtest/gtest.h>

#include <filesystem>

#include "commandline.h"
#include "commands.h"
#include "configoption.h"
#include "errors.h"
#include "messages.h"
#include "workfolder.h"

namespace zk::cli {
namespace {

std::string ProfileMessage(const std::string& text) {
    try {
        ResolveSettings(ReadProfile(text, "north.toml"));
    } catch (const UsageError& error) {
        return error.what();
    }
    return "accepted";
}

TEST(Profile, ValuesAreReadAsTheCommandLineReadsThem) {
    const PanelState panel =
        ResolveSettings(ReadProfile("# north site\n"
                                    "user-open = \"1590\"   # the new code\n"
                                    "admin-close = \"#\"  # a quoted # is a code, not a comment\n"
                                    "user-close = '*'\n"
                                    "period = \"1:0:0\"\n"
                                    "squelch = \"sql-low\"\n"
                                    "threshold = 77\n"
                                    "beep-level = \"12\"\n"
                                    "dtmf = \"off\"\n",
                                    "north.toml"));
    PanelState& p = const_cast<PanelState&>(panel);
    EXPECT_EQ(p.Code(CodeField::KodOtkrPols), "1590");
    EXPECT_EQ(p.Code(CodeField::KodZakrAdm), "#");
    EXPECT_EQ(p.Code(CodeField::KodZakrPols), "*");
    EXPECT_EQ(p.Spin(SpinField::PP_Hour), 1);
    EXPECT_EQ(p.Spin(SpinField::PP_Min), 0);
    EXPECT_EQ(p.sqlPage, kSqlPageInput);
    EXPECT_EQ(p.sqlLevel, kSqlLevelLow);
    EXPECT_EQ(p.Spin(SpinField::SQL_PorogPerekl), 77);  // by the squelch mode given after it
    EXPECT_EQ(p.Spin(SpinField::UrBip), 12);
    EXPECT_FALSE(p.Check(CheckField::Razr_DTMF));
}

TEST(Profile, ABadValueNamesTheFileTheLineAndTheKey) {
    EXPECT_EQ(ProfileMessage("user-open = \"1590\"\n\nthreshold = 100\n"),
              "north.toml:3: threshold: \"100\" is not a whole number in 1..99");
    EXPECT_EQ(ProfileMessage("period = \"1:61:0\"\n"),
              "north.toml:1: period (minutes): \"61\" is not a whole number in 0..60");
    EXPECT_EQ(ProfileMessage("hang = true\n"), "north.toml:1: hang: \"true\" must be on or off");
    EXPECT_EQ(ProfileMessage("beep-level = 1.5\n"),
              "north.toml:1: beep-level: \"1.5\" is not a whole number in 0..20");
    EXPECT_EQ(ProfileMessage("\nadmin-open = \"81\"\n"),
              "north.toml:2: admin-open: \"81\": a code is one symbol or four, not 2");
    EXPECT_EQ(ProfileMessage("volume = 3\n"), "north.toml:1: unknown key \"volume\"");
    EXPECT_EQ(ProfileMessage("dtmf = [\"on\"]\n"), "north.toml:1: dtmf: one value is expected");
    EXPECT_EQ(ProfileMessage("[north]\ndtmf = \"on\"\n"), "north.toml:1: unknown key \"north\"");
    // TOML's own faults: the reader's description, after the file and line.
    EXPECT_EQ(ProfileMessage("dtmf = \"on\"\ndtmf = \"off\"\n").rfind("north.toml:2: ", 0), 0u);
    EXPECT_EQ(ProfileMessage("dtmf = on\n").rfind("north.toml:1: ", 0), 0u);
    EXPECT_EQ(ProfileMessage("sleep = \"\\u001b[2J\"\n"),
              "north.toml:1: sleep: \"\\x1B[2J\" must be on or off");
}

// A code is text. Written bare, TOML refuses it (leading zeroes, "*" and "#" are no value) or
// reads another number than the one written; either way the operator is told to quote it. A
// bare number that is its own digits is the code written.
TEST(Profile, ACodeWrittenAsABareNumberIsToldToBeQuoted) {
    const struct {
        const char* text;
        std::string message;
    } cases[] = {
        {"dtmf = \"on\"\nuser-close = 0000  # old\n",
         "north.toml:2: error while parsing decimal integer: leading zeroes are prohibited; a "
         "code is written in quotes: user-close = \"0000\""},
        {"admin-close = #\n",
         "north.toml:1: error while parsing key-value pair: expected value, saw '#'; a code is "
         "written in quotes: admin-close = \"#\""},
        {"user-open = 0x15\n",
         "north.toml:1: user-open: \"0x15\" is read as the number 21; a code is written in "
         "quotes: user-open = \"0x15\""},
        {"user-mode = +6914\n",
         "north.toml:1: user-mode: \"+6914\" is read as the number 6914; a code is written in "
         "quotes: user-mode = \"+6914\""},
        {"user-open = 1590\n", "accepted"},
        // Not a code: TOML's own words only.
        {"beep-level = 05\n",
         "north.toml:1: error while parsing decimal integer: leading zeroes are prohibited"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ProfileMessage(c.text), c.message);
    }
}

TEST(Profile, WrittenProfileReadsBackToTheSamePanel) {
    GivenSettings given;
    const char* values[][2] = {
        {"user-open", "A*#0"}, {"user-close", "D"},     {"admin-open", "9137"},
        {"admin-close", "5"},  {"user-mode", "::;<"},   {"dtmf", "off"},
        {"max-record", "1"},   {"period", "64:60:60"},  {"beep-length", "9"},
        {"beep-level", "20"},  {"squelch", "sql-high"}, {"threshold", "100"},
        {"rx-filter", "off"},  {"tx-filter", "off"},    {"adc-gain", "20"},
        {"dac-atten", "3"},    {"hang", "on"},          {"sleep", "on"},
    };
    for (const auto& [key, value] : values) {
        given[key] = GivenValue{value, key};
    }
    const PanelState panel = ResolveSettings(given);
    const PanelState back = ResolveSettings(ReadProfile(ProfileText(panel), "p.toml"));
    EXPECT_EQ(back.codes, panel.codes);
    EXPECT_EQ(back.checks, panel.checks);
    EXPECT_EQ(back.spins, panel.spins);
    EXPECT_EQ(back.sqlPage, panel.sqlPage);
    EXPECT_EQ(back.sqlLevel, panel.sqlLevel);
}

TEST(Profile, TheCommandLineOverridesTheFile) {
    testing::WorkFolder folder;
    testing::WriteFile("north.toml", "user-open = \"1590\"\nbeep-level = 7\n");
    CommandLine line(kCommands);
    line.Parse({"generate", "--beep-level", "3", "--config", "north.toml"});
    PanelState panel = LoadSettings(line.options());
    EXPECT_EQ(panel.Code(CodeField::KodOtkrPols), "1590");
    EXPECT_EQ(panel.Spin(SpinField::UrBip), 3);
}

// A folder given as the profile opens as a file on this system but reads as none: it is bad
// input that names it, never an empty profile that would send the start values.
TEST(Profile, AFolderGivenAsTheProfileIsRefusedNotReadAsEmpty) {
    testing::WorkFolder folder;
    std::filesystem::create_directory("north.toml");
    CommandLine line(kCommands);
    line.Parse({"generate", "--config", "north.toml"});
    try {
        LoadSettings(line.options());
        ADD_FAILURE() << "a folder was read as a profile";
    } catch (const UsageError& error) {
        EXPECT_EQ(std::string(error.what()), "--config: Cannot open file \"" +
                                                 (folder.path() / "north.toml").string() +
                                                 "\". Is a directory");
    }
}

}  // namespace
}  // namespace zk::cli
