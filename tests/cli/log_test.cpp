// zk77q3 log as the operator reads it: what each send's check heard, its attempt and a fault that
// cut it short, in columns that stay put; a log with nothing to show; an entry sent again through
// an owner-only profile.
#include <gtest/gtest.h>

#include <string>

#include "logstate.h"

namespace zk {
namespace {

using testing::LogState;
using testing::ModeOf;
using testing::ReadFile;
using testing::RunTool;
using testing::ToolRun;

std::string Entry(const std::string& extra, const std::string& name = "") {
    return "{\"time\":\"2026-12-08T10:00:00Z\"," +
           (name.empty() ? std::string() : "\"name\":\"" + name + "\",") +
           "\"folder\":\"/r\",\"check_word\":\"6BD6\",\"settings\":{\"user-open\":\"1590\"}" +
           extra + "}\n";
}

std::string Check(const std::string& verdict) {
    return ",\"check\":{\"device\":\"plughw:2\",\"verdict\":\"" + verdict +
           "\",\"margin_db\":12.5}";
}

// Every verdict in its own words, the attempt beside it, and a fault after the folder: a column
// dropped, two verdicts swapped or the attempt taken from the wrong field changes a line.
TEST(LogList, EachSendShowsItsAttemptWhatWasHeardAndItsFault) {
    LogState state;
    state.WriteLog(Entry(",\"attempt\":1" + Check("as-sent")) +
                   Entry(",\"attempt\":1" + Check("not-heard")) +
                   Entry(",\"attempt\":2" + Check("different")) +
                   Entry(",\"attempt\":3" + Check("broken") +
                         ",\"fault\":\"the sound was interrupted 1.23 s into the signal "
                         "(underrun)\"") +
                   Entry("") + Entry(",\"attempt\":2" + Check("garbled")));
    const ToolRun run = state.Log();
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "1  2026-12-08T10:00:00Z  6BD6  attempt 1  heard as sent      /r\n"
              "2  2026-12-08T10:00:00Z  6BD6  attempt 1  not heard          /r\n"
              "3  2026-12-08T10:00:00Z  6BD6  attempt 2  heard different    /r\n"
              "4  2026-12-08T10:00:00Z  6BD6  attempt 3  broken check word  /r  fault: the "
              "sound was interrupted 1.23 s into the signal (underrun)\n"
              "5  2026-12-08T10:00:00Z  6BD6  attempt 1  not checked        /r\n"
              "6  2026-12-08T10:00:00Z  6BD6  attempt 2  check \"garbled\"    /r\n");
    EXPECT_EQ(run.err, "");
}

// Past entry 9 and 99 the numbers end in one place, and a long name (Cyrillic: counted in
// characters, not bytes) pushes the folder of every line equally far.
TEST(LogList, ColumnsStayAlignedPastNineAndNinetyNineAndForLongNames) {
    LogState state;
    std::string log;
    for (int k = 1; k <= 100; ++k) {
        log += Entry("", k == 50 ? "Северный холм" : k % 2 == 0 ? "n" : "");
    }
    state.WriteLog(log);
    const ToolRun run = state.Log();
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string rest = "  2026-12-08T10:00:00Z  6BD6  attempt 1  not checked  ";
    EXPECT_NE(run.out.find("\n  9" + rest + "                 /r\n 10" + rest +
                           "\"n\"              /r\n"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("\n 50" + rest + "\"Северный холм\"  /r\n"), std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("\n 99" + rest + "                 /r\n100" + rest +
                           "\"n\"              /r\n"),
              std::string::npos)
        << run.out;
}

// Nothing to show is said on standard error, and is no fault: standard output stays empty for a
// program reading it.
TEST(LogList, ALogWithNothingToShowSaysWhyOnStandardError) {
    LogState state;
    const std::string log = state.log().string();
    ToolRun run = state.Log();
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err,
              "zk77q3: no programming log yet: play writes \"" + log + "\" at its first send\n");

    state.WriteLog("");
    for (const char* args : {"", "--json"}) {
        SCOPED_TRACE(args);
        run = state.Log(args);
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, "zk77q3: the programming log \"" + log + "\" holds no entries\n");
    }

    run = RunTool("log", "HOME= XDG_STATE_HOME=");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "zk77q3: no programming log: neither XDG_STATE_HOME nor HOME is set\n");

    state.WriteLog(Entry("", "North"));
    run = state.Log("--name South");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err,
              "zk77q3: no entries of a repeater named \"South\" (names match whatever their "
              "case)\n");
}

// The entry's profile holds the access codes: --output writes it for its owner alone, never the
// list.
TEST(LogList, AnEntrysProfileIsWrittenOwnerOnly) {
    LogState state;
    state.WriteLog(Entry("", "North"));
    ToolRun run = state.Log("--profile 1 --name NORTH --output again.toml");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(ModeOf("again.toml"), 0600u);
    EXPECT_EQ(ReadFile("again.toml"), RunTool("profile --user-open 1590 --name North").out);

    run = state.Log("--output list.txt");
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err,
              "zk77q3: --output: only with --profile (the list holds no settings to send)\n");
}

}  // namespace
}  // namespace zk
