// The repeater's name: what counts as one, and its way through a profile, play's log entry and
// back out of the log, where it picks a repeater's entries.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>

#include "logstate.h"
#include "messages.h"
#include "repeatername.h"
#include "toolrun.h"
#include "workfolder.h"

namespace zk {
namespace {

using testing::kQuietCodes;
using testing::LogState;
using testing::ReadFile;
using testing::RunTool;
using testing::ToolRun;
using testing::WriteFile;

std::string Repeated(const std::string& piece, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) {
        text += piece;
    }
    return text;
}

// The refusal that CheckRepeaterName gives, or "" when the name is taken.
std::string Refusal(const std::string& name) {
    try {
        CheckRepeaterName("--name", name);
        return "";
    } catch (const UsageError& error) {
        return error.what();
    }
}

TEST(RepeaterName, OneToSixtyFourCharactersWithoutControlCharacters) {
    const std::string rule = ": a name is 1..64 characters without control characters";
    const struct {
        std::string name;
        std::string refusal;
    } cases[] = {
        {"N", ""},
        {"North \"hill\" \\ R7 Nörth", ""},
        {Repeated("a", 64), ""},
        {Repeated("\xC3\xA9", 64), ""},  // 64 characters in 128 bytes
        {"", "--name: the name is empty" + rule},
        {Repeated("a", 65), "--name: \"" + Repeated("a", 64) + "…\" is longer than 64 characters"},
        {"North\thill", "--name: \"North\\x09hill\" holds a control character" + rule},
        {"North\x7F", "--name: \"North\\x7F\" holds a control character" + rule},
        {"North\xC2\x85", "--name: \"North\\x85\" holds a control character" + rule},
        {"North\xFF", "--name: \"North\\xFF\" is not valid UTF-8"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Refusal(c.name), c.refusal);
    }
}

// A bad name is bad input wherever it comes from: a profile (for any command that reads one),
// --name, or the log's filter.
TEST(RepeaterName, ABadNameIsBadInputFromEverySource) {
    testing::WorkFolder folder;
    WriteFile("unnamed.toml", "name = \"\"\n");
    const struct {
        const char* args;
        const char* err;
    } cases[] = {
        {"generate --config unnamed.toml",
         "zk77q3: unnamed.toml:1: name: the name is empty: a name is 1..64 characters without "
         "control characters\n"},
        {"profile --name ''",
         "zk77q3: --name: the name is empty: a name is 1..64 characters without control "
         "characters\n"},
        {"log --name \"$(printf 'a\\033b')\"",
         "zk77q3: --name: \"a\\x1Bb\" holds a control character: a name is 1..64 characters "
         "without control characters\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        const ToolRun run = RunTool(c.args);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.err, c.err);
        EXPECT_EQ(run.out, "");
    }
    EXPECT_FALSE(std::filesystem::exists("_qq.wav"));
}

// profile writes the name, every command that reads settings takes the profile, play keeps the
// name in its log entry, and the log gives the same profile back.
TEST(RepeaterName, TravelsThroughProfileLogAndBack) {
    LogState state;
    ToolRun run = RunTool(std::string("profile ") + kQuietCodes +
                          " --name 'North \"hill\" \\ R7' -o north.toml");
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string profile = ReadFile("north.toml");
    EXPECT_NE(profile.find("\nname = \"North \\\"hill\\\" \\\\ R7\"\nuser-open = "),
              std::string::npos)
        << profile;

    for (const char* command : {"generate", "check", "profile", "dtmf --code user-open"}) {
        SCOPED_TRACE(command);
        run = RunTool(std::string(command) + " --config north.toml",
                      testing::CaptureConfig(state.folder() / "dtmf.raw"));
        EXPECT_EQ(run.status, 0) << run.err;
    }

    ASSERT_EQ(state.Play("", "--config north.toml").status, 0);
    ASSERT_EQ(state.Play("", "--config north.toml --name South").status, 0);  // over the profile
    const std::string log = ReadFile(state.log());
    const std::size_t secondLine = log.find('\n') + 1;
    EXPECT_EQ(nlohmann::json::parse(log.substr(0, secondLine))["name"], "North \"hill\" \\ R7");
    EXPECT_EQ(nlohmann::json::parse(log.substr(secondLine))["name"], "South");

    run = state.Log("--profile 1");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, profile);
}

// A log of an entry from before names, two repeaters (one name in two cases), and a damaged
// line. Entries keep their numbers in the whole log whatever --name picks, and --name matches a
// name whatever its case.
TEST(RepeaterName, TheLogPicksARepeatersEntriesByName) {
    LogState state;
    const auto entry = [](const std::string& name, const std::string& code) {
        return std::string("{\"time\":\"2026-01-0") + code[0] + "T10:00:00Z\"," +
               (name.empty() ? "" : "\"name\":\"" + name + "\",") + "\"folder\":\"/r\"," +
               "\"check_word\":\"" + code + "\",\"settings\":{\"user-open\":\"" + code + "\"}}\n";
    };
    state.WriteLog(entry("", "1111") + entry("north", "2222") + entry("south", "3333") +
                   "{not an entry\n" + entry("north", "5555") + entry("North", "6666"));
    // The name's column as wide as the widest name listed, or absent when none has one.
    const auto line = [](int k, const std::string& name, const std::string& code,
                         std::size_t nameWidth = 7) {
        const std::string quoted = name.empty() ? "" : "\"" + name + "\"";
        return std::to_string(k) + "  2026-01-0" + code[0] + "T10:00:00Z  " + code +
               "  attempt 1  not checked  " +
               (nameWidth == 0 ? "" : quoted + std::string(nameWidth - quoted.size(), ' ') + "  ") +
               "/r\n";
    };
    const std::string northProfile = RunTool("profile --user-open 5555 --name north").out;
    const struct {
        const char* args;
        int status;
        std::string out;
        std::string err = "";
    } cases[] = {
        {"", 0,
         line(1, "", "1111") + line(2, "north", "2222") + line(3, "south", "3333") +
             "4  (not a readable entry)\n" + line(5, "north", "5555") + line(6, "North", "6666")},
        {"--name north", 0,
         line(2, "north", "2222") + line(5, "north", "5555") + line(6, "North", "6666")},
        {"--name NORTH --last 2", 0, line(5, "north", "5555") + line(6, "North", "6666")},
        {"--last 1 --name south", 0, line(3, "south", "3333")},
        {"--name north --json", 0,
         entry("north", "2222") + entry("north", "5555") + entry("North", "6666")},
        {"--name nobody", 0, "",
         "zk77q3: no entries of a repeater named \"nobody\" (names match whatever their "
         "case)\n"},
        {"--name north --profile 5", 0, northProfile},
        {"--name NoRtH --profile 5", 0, northProfile},
        {"--profile 1", 0, RunTool("profile --user-open 1111").out},
        {"--name north --profile 3", 2, "",
         "zk77q3: --profile: log entry 3 is not the entry of a repeater named \"north\"\n"},
        {"--last 1 --name sou", 0, "",
         "zk77q3: no entries of a repeater named \"sou\" (names match whatever their case)\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        const ToolRun run = state.Log(c.args);
        EXPECT_EQ(run.status, c.status);
        EXPECT_EQ(run.out, c.out);
        EXPECT_EQ(run.err, c.err);
    }
}

}  // namespace
}  // namespace zk
