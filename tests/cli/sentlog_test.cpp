// Where `zk77q3 play` keeps its programming log, how a log that cannot be written is told, and
// that every whole entry survives a damaged line.
#include <gtest/gtest.h>

#include <sys/mount.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "logstate.h"
#include "toolrun.h"
#include "workfolder.h"

namespace zk {
namespace {

namespace fs = std::filesystem;
using testing::CaptureConfig;
using testing::kQuietCodes;
using testing::LogState;
using testing::ReadFile;
using testing::RunTool;
using testing::ToolRun;
using testing::WorkFolder;

// XDG_STATE_HOME counts only as an absolute path; a relative one would put the log wherever the
// operator happens to send from, so the home folder's state folder is used instead.
TEST(SentLog, ARelativeStateHomeIsIgnoredForTheHomeFolders) {
    WorkFolder folder;
    const ToolRun run = RunTool(std::string("play ") + kQuietCodes,
                                CaptureConfig(folder.path() / "sent.raw") + " HOME='" +
                                    (folder.path() / "home").string() + "' XDG_STATE_HOME=state");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err.find("the programming log was not written"), std::string::npos) << run.err;
    EXPECT_NE(ReadFile(folder.path() / "home/.local/state/zk77q3/sent.jsonl").find("\"time\""),
              std::string::npos);
    EXPECT_FALSE(fs::exists("state"));
}

// A log the file-size limit stops in the middle of an entry, or before it: the signal went out,
// so the send succeeds, but the operator is told the log lacks it, and no part of the entry is
// left behind for the next one to be glued to.
TEST(SentLog, AnEntryThatCannotBeWrittenWholeIsReportedAndCutBack) {
    constexpr std::uintmax_t kLimitBytes = 400 * 512;  // ulimit -f 400 (the shell's blocks)
    for (const std::uintmax_t logBytes : {kLimitBytes, kLimitBytes - 10}) {
        SCOPED_TRACE(logBytes);
        LogState state;
        const std::string before(logBytes, '\n');
        state.WriteLog(before);
        const ToolRun run = state.Play("ulimit -f 400;");
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_NE(run.err.find(LogState::NotWritten("cannot append to the programming log \"" +
                                                    state.log().string() + "\": File too large")),
                  std::string::npos)
            << run.err;
        EXPECT_NE(run.err.find("zk77q3: sent, check word "), std::string::npos) << run.err;
        EXPECT_TRUE(ReadFile(state.log()) == before);
    }
}

// The log's disk fills up part-way through an entry. The entry is cut back off and the log is
// named in the warning; once there is room again, the next entry is read whole.
TEST(SentLog, AFullDiskLeavesNoHalfEntryBehind) {
    LogState state;
    fs::create_directory(state.state());
    if (::mount("tmpfs", state.state().c_str(), "tmpfs", 0, "size=64k,mode=0700") != 0) {
        GTEST_SKIP() << "no tmpfs can be mounted here: " << std::strerror(errno);
    }
    struct Unmount {
        const fs::path& disk;
        ~Unmount() { ::umount(disk.c_str()); }
    } unmount{state.state()};
    ASSERT_EQ(state.Play().status, 0);

    // The log's page is full but for a hundred bytes, and every other page is taken: the next
    // entry (some hundreds of bytes) goes in only in part.
    constexpr std::uintmax_t kPageBytes = 4096;
    const std::uintmax_t entryBytes = fs::file_size(state.log());
    std::ofstream(state.log(), std::ios::app) << std::string(kPageBytes - 100 - entryBytes, '\n');
    {
        std::ofstream filler(state.state() / "filler", std::ios::binary);
        const std::string page(kPageBytes, 'x');
        while (filler.write(page.data(), page.size()) && filler.flush()) {
        }
    }
    const std::string before = ReadFile(state.log());
    ToolRun run = state.Play();
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(
        run.err.find(LogState::NotWritten("cannot append to the programming log \"" +
                                          state.log().string() + "\": No space left on device")),
        std::string::npos)
        << run.err;
    EXPECT_TRUE(ReadFile(state.log()) == before);

    fs::remove(state.state() / "filler");
    ASSERT_EQ(state.Play().status, 0);
    run = state.Log();
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 2) << run.out;
    EXPECT_EQ(run.out.find("not a readable entry"), std::string::npos) << run.out;
}

// Lines no entry could be: nesting that would exhaust the stack of a recursive printer, a line
// longer than any entry, and an entry cut short without its line break. Each is one unreadable
// entry; the whole entries around them are read, listed and printed as JSON, and an entry
// added after the cut-short one starts on a line of its own.
TEST(SentLog, EveryWholeEntryIsReadAroundDamagedLines) {
    LogState state;
    ASSERT_EQ(state.Play().status, 0);
    const std::string entry = ReadFile(state.log());
    const std::string tooLong = "{\"time\":\"" + std::string(70000, 'x') + "\"}\n";
    std::ofstream(state.log(), std::ios::app)
        << std::string(100000, '[') + "\n" + tooLong + entry.substr(0, entry.size() / 2);
    ASSERT_EQ(state.Play().status, 0);

    const std::vector<bool> readable = {true, false, false, false, true};
    const ToolRun list = state.Log();
    ASSERT_EQ(list.status, 0) << list.err;
    const ToolRun json = state.Log("--json");
    ASSERT_EQ(json.status, 0) << json.err;
    std::istringstream listLines(list.out), jsonLines(json.out);
    std::string listed, printed;
    for (std::size_t k = 1; k <= readable.size(); ++k) {
        SCOPED_TRACE(k);
        ASSERT_TRUE(std::getline(listLines, listed));
        ASSERT_TRUE(std::getline(jsonLines, printed));
        EXPECT_EQ(listed.rfind(std::to_string(k) + "  ", 0), 0u) << listed;
        if (readable[k - 1]) {
            EXPECT_EQ(listed.substr(listed.size() - state.folder().string().size()),
                      state.folder().string());
            EXPECT_EQ(printed.rfind("{\"time\":\"", 0), 0u) << printed.substr(0, 80);
        } else {
            EXPECT_EQ(listed, std::to_string(k) + "  (not a readable entry)");
            EXPECT_EQ(printed, "null");
        }
    }
    EXPECT_FALSE(std::getline(listLines, listed));
}

}  // namespace
}  // namespace zk
