// A programming log of its own for one test: a fresh work folder holding the state folder, and
// runs of `play` and `log` against that log.
#pragma once

#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "toolrun.h"
#include "workfolder.h"

namespace zk::testing {

class LogState {
  public:
    // `stateName`: the state folder's name inside the work folder.
    explicit LogState(const std::string& stateName = "state")
        : state_(folder_.path() / stateName),
          log_(state_ / "zk77q3" / "sent.jsonl"),
          sound_(CaptureConfig(folder_.path() / "sent.raw")) {}

    const std::filesystem::path& folder() const { return folder_.path(); }
    const std::filesystem::path& state() const { return state_; }
    const std::filesystem::path& log() const { return log_; }

    // The log's folder made (as play would make it), for tests that put things into it.
    void MakeLogFolder() const {
        std::filesystem::create_directories(log_.parent_path());
        ::chmod(log_.parent_path().c_str(), 0700);
    }

    // The log made to hold `lines`, folder and file owner-only as play makes them.
    void WriteLog(const std::string& lines) const {
        MakeLogFolder();
        WriteFile(log_, lines);
        ::chmod(log_.c_str(), 0600);
    }

    // `play` with codes that draw no warning and `args`; `before` runs first (shell commands
    // ending in ';').
    ToolRun Play(const std::string& before = "", const std::string& args = "") const {
        return RunTool(std::string("play ") + kQuietCodes + " " + args, before + Environment());
    }

    ToolRun Log(const std::string& args = "", const std::string& before = "") const {
        return RunTool("log " + args, before + Environment());
    }

    // The warning play gives when the signal went out but the log was not written.
    static std::string NotWritten(const std::string& reason) {
        return "zk77q3: warning: the programming log was not written: " + reason + "\n";
    }

  private:
    // A run that waits for a reader or a writer is cut off, and fails the test, after a minute.
    std::string Environment() const {
        return " " + sound_ + " XDG_STATE_HOME='" + state_.string() + "' timeout 60";
    }

    WorkFolder folder_;
    std::filesystem::path state_;
    std::filesystem::path log_;
    std::string sound_;
};

inline unsigned ModeOf(const std::filesystem::path& path) {
    struct stat status {};
    ::lstat(path.c_str(), &status);
    return status.st_mode & 07777;
}

}  // namespace zk::testing
