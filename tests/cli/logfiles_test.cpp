// The programming log holds access codes: it is kept only in the user's own folder and file,
// reachable by that user alone, and anything else in their place is refused with a message that
// names it, without waiting and without writing through it.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

#include "filehandle.h"
#include "logstate.h"
#include "workfolder.h"

namespace zk {
namespace {

namespace fs = std::filesystem;
using testing::LogState;
using testing::ModeOf;
using testing::ReadFile;
using testing::ToolRun;
using testing::WriteFile;

constexpr uid_t kOtherUser = 65534;  // nobody

// A path as messages show it: the escape character written out.
std::string Shown(const fs::path& path) {
    std::string shown;
    for (const char c : path.string()) {
        shown += c == '\x1B' ? std::string("\\x1B") : std::string(1, c);
    }
    return shown;
}

std::string Named(const std::string& noun, const fs::path& path, const std::string& rest) {
    return noun + " \"" + Shown(path) + "\" " + rest;
}

// Play sends and warns that the log was not written; log fails with the same reason. What a
// link points to is left as it was.
TEST(LogFiles, WhatIsNotTheUsersOwnFolderAndFileIsRefused) {
    const std::string foreign =
        " belongs to another user (uid 65534); the log holds access codes and is kept only where "
        "no one else can reach it";
    // A link at `place` to a folder elsewhere, or to an empty file in it.
    const auto linkElsewhere = [](const LogState& s, const fs::path& place, bool toFile) {
        const fs::path elsewhere = s.folder() / "elsewhere";
        fs::create_directories(elsewhere);
        WriteFile(elsewhere / "sent.jsonl", "");
        fs::create_directories(place.parent_path());
        fs::create_symlink(toFile ? elsewhere / "sent.jsonl" : elsewhere, place);
        return true;
    };
    enum Place { kFile, kFolder };
    const struct {
        const char* what;
        std::function<bool(const LogState&)> make;  // false: cannot be made here
        Place place;
        std::string reason;  // after the noun and the path
    } cases[] = {
        {"a named pipe",
         [](const LogState& s) {
             s.MakeLogFolder();
             return ::mkfifo(s.log().c_str(), 0600) == 0;
         },
         kFile, " is a named pipe (FIFO), not a regular file"},
        {"a link in place of the file",
         [&](const LogState& s) { return linkElsewhere(s, s.log(), true); }, kFile,
         " is a symbolic link, not a regular file"},
        {"a folder", [](const LogState& s) { return fs::create_directories(s.log()); }, kFile,
         " is a folder, not a regular file"},
        {"another user's file",
         [](const LogState& s) {
             s.WriteLog("");
             return ::chown(s.log().c_str(), kOtherUser, kOtherUser) == 0;
         },
         kFile, foreign},
        {"a link in place of the folder",
         [&](const LogState& s) { return linkElsewhere(s, s.log().parent_path(), false); }, kFolder,
         " is a symbolic link; the log is kept only in a real folder"},
        {"another user's folder",
         [](const LogState& s) {
             s.MakeLogFolder();
             return ::chown(s.log().parent_path().c_str(), kOtherUser, kOtherUser) == 0;
         },
         kFolder, foreign},
        {"a file in place of the state folder",
         [](const LogState& s) {
             WriteFile(s.state(), "");
             return true;
         },
         kFolder, ": Not a directory"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const LogState state("state\x1B[31m");  // an escape sequence never reaches the terminal
        if (!c.make(state)) {
            std::printf("skipped \"%s\": it cannot be made here\n", c.what);
            continue;
        }
        const std::string noun =
            c.place == kFile ? "the programming log" : "the programming log's folder";
        const std::string reason =
            (c.reason[0] == ':' ? "cannot open " : "") + noun + " \"" +
            Shown(c.place == kFile ? state.log() : state.log().parent_path()) + "\"" + c.reason;
        const ToolRun play = state.Play();
        EXPECT_EQ(play.status, 0) << play.err;
        EXPECT_NE(play.err.find(LogState::NotWritten(reason)), std::string::npos) << play.err;
        const ToolRun log = state.Log();
        EXPECT_EQ(log.status, 1) << log.err;
        EXPECT_EQ(log.err, "zk77q3: " + reason + ".\n");
        if (fs::exists(state.folder() / "elsewhere")) {
            EXPECT_EQ(ReadFile(state.folder() / "elsewhere" / "sent.jsonl"), "");
        }
    }
}

// Made owner-only whatever the umask; opened up later, taken back by the next run, append or
// read, which says so once.
TEST(LogFiles, TheLogIsKeptForItsOwnerAlone) {
    const LogState state;
    const fs::path folder = state.log().parent_path();
    ToolRun run = state.Play("umask 0;");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err.find("warning"), std::string::npos) << run.err;
    EXPECT_EQ(ModeOf(folder), 0700u);
    EXPECT_EQ(ModeOf(state.log()), 0600u);

    const struct {
        unsigned folderMode, logMode;
        bool append;
    } cases[] = {{0755, 0644, false}, {0770, 0660, true}, {0701, 0602, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folderMode);
        ::chmod(folder.c_str(), c.folderMode);
        ::chmod(state.log().c_str(), c.logMode);
        const auto said = [&](const char* noun, const fs::path& path, unsigned from, unsigned to) {
            char modes[64];
            std::snprintf(modes, sizeof modes, "was open to other users (mode %04o); now %04o",
                          from, to);
            return "zk77q3: warning: " + Named(noun, path, modes) + "\n";
        };
        run = c.append ? state.Play() : state.Log();
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err.rfind(said("the programming log's folder", folder, c.folderMode, 0700) +
                                    said("the programming log", state.log(), c.logMode, 0600),
                                0),
                  0u)
            << run.err;
        EXPECT_EQ(ModeOf(folder), 0700u);
        EXPECT_EQ(ModeOf(state.log()), 0600u);
        run = state.Log();
        EXPECT_EQ(run.err, "");
    }
}

// Another program (this test) holds the log's lock and does not let go: play waits a little,
// then sends without an entry, and names the program that holds the log.
TEST(LogFiles, ALogThatStaysLockedIsNamedAndLeftAlone) {
    const LogState state;
    ASSERT_EQ(state.Play().status, 0);
    const std::string before = ReadFile(state.log());
    FileHandle held(::open(state.log().c_str(), O_RDONLY | O_CLOEXEC));
    ASSERT_EQ(::flock(held.Descriptor(), LOCK_EX), 0);
    const ToolRun run = state.Play();
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find(LogState::NotWritten(
                  Named("the programming log", state.log(),
                        "is locked by another program, \"cli_tests\"; try again when it has "
                        "let go of it"))),
              std::string::npos)
        << run.err;
    EXPECT_TRUE(ReadFile(state.log()) == before);
}

}  // namespace
}  // namespace zk
