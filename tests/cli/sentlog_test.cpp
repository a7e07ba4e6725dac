// Where `zk77q3 play` keeps its programming log, and how a log that cannot be written is told.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "toolrun.h"
#include "workfolder.h"

namespace zk {
namespace {

namespace fs = std::filesystem;
using testing::CaptureConfig;
using testing::kQuietCodes;
using testing::ReadFile;
using testing::RunTool;
using testing::ToolRun;
using testing::WorkFolder;

constexpr const char* kNotWritten = "zk77q3: warning: the programming log was not written: ";

// XDG_STATE_HOME counts only as an absolute path; a relative one would put the log wherever the
// operator happens to send from, so the home folder's state folder is used instead.
TEST(SentLog, ARelativeStateHomeIsIgnoredForTheHomeFolders) {
    WorkFolder folder;
    const ToolRun run = RunTool(std::string("play ") + kQuietCodes,
                                CaptureConfig(folder.path() / "sent.raw") + " HOME='" +
                                    (folder.path() / "home").string() + "' XDG_STATE_HOME=state");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err.find(kNotWritten), std::string::npos) << run.err;
    EXPECT_NE(ReadFile(folder.path() / "home/.local/state/zk77q3/sent.jsonl").find("\"time\""),
              std::string::npos);
    EXPECT_FALSE(fs::exists("state"));
}

// A log the file-size limit stops in the middle of an entry, or before it: the signal went out,
// so the send succeeds, but the operator is told the log lacks it.
TEST(SentLog, AnEntryThatCannotBeWrittenWholeIsReported) {
    constexpr std::uintmax_t kLimitBytes = 400 * 512;  // ulimit -f 400 (the shell's blocks)
    const struct {
        std::uintmax_t logBytes;
        const char* reason;
    } cases[] = {
        {kLimitBytes, "File too large"},
        {kLimitBytes - 10, "only part of the entry was written"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reason);
        WorkFolder folder;
        const fs::path log = folder.path() / "state/zk77q3/sent.jsonl";
        fs::create_directories(log.parent_path());
        testing::WriteFile(log, std::string(c.logBytes, '\n'));
        const ToolRun run =
            RunTool(std::string("play ") + kQuietCodes,
                    "ulimit -f 400; " + CaptureConfig(folder.path() / "sent.raw") +
                        " XDG_STATE_HOME='" + (folder.path() / "state").string() + "'");
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_NE(run.err.find(std::string(kNotWritten) + "\"" + log.string() + "\": " + c.reason),
                  std::string::npos)
            << run.err;
        EXPECT_NE(run.err.find("zk77q3: sent, check word "), std::string::npos) << run.err;
    }
}

}  // namespace
}  // namespace zk
