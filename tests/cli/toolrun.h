// Runs the zk77q3 executable as a whole process for the tests of this folder.
#pragma once

#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "workfolder.h"

extern char** environ;

namespace zk::testing {

struct ToolRun {
    int status;
    std::string out;
    std::string err;
};

// A folder of its own for the output of every run and for the programming log.
inline const std::filesystem::path& ToolFolder() {
    static const std::filesystem::path folder = [] {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "zk77q3-log-XXXXXX").string();
        return std::filesystem::path(::mkdtemp(pattern.data()));
    }();
    return folder;
}

// The programming log's state folder that every run gets (never the home folder's).
inline std::filesystem::path StateFolder() {
    return ToolFolder() / "state";
}

// The station's configuration folder that every run gets, empty unless a test fills it: the
// configuration of the machine's own user never reaches a test.
inline std::filesystem::path ConfigFolder() {
    return ToolFolder() / "config";
}

// Runs zk77q3 with `args` (shell words) in the current folder, after `environment` (shell
// assignments or commands); standard output goes to `output` when one is named.
inline ToolRun RunTool(const std::string& args, const std::string& environment = "",
                       const std::string& output = "") {
    const std::filesystem::path& logs = ToolFolder();
    const std::string command = "XDG_STATE_HOME='" + StateFolder().string() +
                                "' XDG_CONFIG_HOME='" + ConfigFolder().string() + "' " +
                                environment + " '" + ZK77Q3_PATH + "' " + args + " >'" +
                                (output.empty() ? (logs / "out").string() : output) + "' 2>'" +
                                (logs / "err").string() + "'";
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadFile(logs / "out"), ReadFile(logs / "err")};
}

// zk77q3 started in the background with `args` (shell words) in the current folder, with the
// same state and configuration folders as RunTool, its standard error in "zk.err"; the pid is
// the program's own, for signals. `before` runs in the shell first ("trap '' INT" starts it
// with SIGINT ignored, as nohup or a background job does).
inline pid_t StartTool(const std::string& args, const std::string& before = "") {
    const std::string command = before + "\nXDG_STATE_HOME='" + StateFolder().string() +
                                "' XDG_CONFIG_HOME='" + ConfigFolder().string() + "' exec '" +
                                ZK77Q3_PATH + "' " + args + " >/dev/null 2>zk.err";
    const char* argv[] = {"sh", "-c", command.c_str(), nullptr};
    pid_t pid = -1;
    if (::posix_spawnp(&pid, "sh", nullptr, nullptr, const_cast<char**>(argv), environ) != 0) {
        return -1;
    }
    return pid;
}

// Standard error less the warnings about the settings.
inline std::string WithoutWarnings(const std::string& err) {
    std::string kept;
    std::size_t start = 0;
    while (start < err.size()) {
        const std::size_t end = err.find('\n', start);
        const std::string line = err.substr(start, end == err.npos ? err.npos : end + 1 - start);
        if (line.rfind("zk77q3: warning: ", 0) != 0) {
            kept += line;
        }
        start = end == err.npos ? err.size() : end + 1;
    }
    return kept;
}

// The file plugin's configuration, for RunTool's environment: the default device writes what it
// plays to `capture`.
inline std::string CaptureConfig(const std::filesystem::path& capture) {
    const std::filesystem::path config = capture.parent_path() / "asound.conf";
    WriteFile(config, "pcm.!default { type file slave { pcm { type null } } file \"" +
                          capture.string() + "\" format \"raw\" }\n");
    return "ALSA_CONFIG_PATH='" + config.string() + "'";
}

// Codes that draw no warning.
inline constexpr const char* kQuietCodes =
    "--user-open 1590 --user-close 2604 --admin-open 9137 --admin-close 4821 --user-mode 3375";

}  // namespace zk::testing
