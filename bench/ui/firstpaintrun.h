// Running ui_first_paint (ZK_FIRST_PAINT) from a benchmark: its output, its resource use, and the
// stock-widget census of the programmer's window that the bare window is built from.
#pragma once

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <stdexcept>
#include <string>
#include <vector>

extern char** environ;

namespace zk::bench {

// Runs ui_first_paint with `args` and returns what it printed; `started` is the moment of the
// spawn and `usage` the process's resource use. Throws when it cannot start or does not end with
// status 0.
inline std::string RunFirstPaint(const std::vector<std::string>& args, rusage* usage = nullptr,
                                 std::chrono::steady_clock::time_point* started = nullptr) {
    int out[2];
    if (::pipe(out) != 0) {
        throw std::runtime_error("pipe failed");
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    std::string path = ZK_FIRST_PAINT;
    std::vector<std::string> copies = args;
    std::vector<char*> argv{path.data()};
    for (std::string& arg : copies) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);

    if (started != nullptr) {
        *started = std::chrono::steady_clock::now();
    }
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, path.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    if (spawned != 0) {
        ::close(out[0]);
        throw std::runtime_error("cannot start " + path);
    }
    std::string text;
    char buffer[4096];
    for (ssize_t n; (n = ::read(out[0], buffer, sizeof buffer)) > 0;) {
        text.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(out[0]);
    int status = 0;
    rusage ignored{};
    ::wait4(pid, &status, 0, usage != nullptr ? usage : &ignored);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        throw std::runtime_error(path + " failed");
    }
    return text;
}

// The programmer window's stock widgets as KIND=N arguments for the bare window.
inline std::vector<std::string> StockWidgetCensus() {
    const std::string text = RunFirstPaint({"census"});
    std::vector<std::string> kinds;
    for (std::size_t at = 0, end; (end = text.find('\n', at)) != std::string::npos; at = end + 1) {
        kinds.push_back(text.substr(at, end - at));
    }
    return kinds;
}

inline double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

}  // namespace zk::bench
