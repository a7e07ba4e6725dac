// A PulseAudio server of a test's own: its runtime folder, no system or user configuration, a
// null sink "radio" at 48 kHz whose monitor "radio.monitor" hears what is played, and ALSA's
// "default" routed to it through the pulse plugin (for capture too, from PULSE_SOURCE).
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "workfolder.h"

extern char** environ;

namespace zk::testing {

// Starts `argv` with its standard output going to `output` (or inherited when empty).
inline pid_t Spawn(const std::vector<std::string>& argv, const std::string& output = "") {
    std::vector<char*> args;
    for (const std::string& a : argv) {
        args.push_back(const_cast<char*>(a.c_str()));
    }
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!output.empty()) {
        posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
    }
    pid_t pid = -1;
    if (posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ) != 0) {
        pid = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

inline int WaitFor(pid_t pid) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Polls `condition` every 20 ms until it holds (true) or `limit` has passed (false).
inline bool WaitUntil(const std::function<bool()>& condition,
                      std::chrono::milliseconds limit = std::chrono::seconds(10)) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

// The exit status of `pid` once it has ended; -2 when it has not ended within `limit`, in which
// case it is killed (a hang is reported as a failure, never waited on for ever); -1 when it ended
// by a signal.
inline int WaitFor(pid_t pid, std::chrono::milliseconds limit) {
    int status = 0;
    if (!WaitUntil([&] { return ::waitpid(pid, &status, WNOHANG) == pid; }, limit)) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
        return -2;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// What a shell command prints on its standard output.
inline std::string CommandOutput(const std::string& command) {
    std::string text;
    if (std::FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[512];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
            text.append(buffer, n);
        }
        ::pclose(pipe);
    }
    return text;
}

class PulseServer {
  public:
    static bool Installed() {
        return std::system("command -v pulseaudio parec >/dev/null 2>&1") == 0;
    }

    // Starts the server with its files in `folder`; Started() says whether it came up, Log()
    // what it said.
    explicit PulseServer(const std::filesystem::path& folder) : folder_(folder) {
        runtime_ = folder / "run";
        std::filesystem::create_directory(runtime_);
        std::filesystem::permissions(runtime_, std::filesystem::perms::owner_all);
        ::setenv("XDG_RUNTIME_DIR", runtime_.c_str(), 1);
        ::setenv("PULSE_SERVER", ("unix:" + (runtime_ / "pulse" / "native").string()).c_str(), 1);
        WriteFile(folder / "radio.pa",
                  "load-module module-native-protocol-unix\n"
                  "load-module module-null-sink sink_name=radio rate=48000\n"
                  "set-default-sink radio\n");
        WriteFile(folder / "asound.conf", "pcm.!default { type pulse }\n");
        ::setenv("ALSA_CONFIG_PATH", (folder / "asound.conf").c_str(), 1);
        const pid_t server = Spawn({"pulseaudio", "-n", "-F", (folder / "radio.pa").string(),
                                    "--exit-idle-time=-1", "--daemonize=yes", "--disallow-exit",
                                    "--log-target=file:" + (folder / "pulse.log").string()});
        started_ = server > 0 && WaitFor(server) == 0;
    }

    ~PulseServer() {
        if (started_) {
            const std::string pid = ReadFile(runtime_ / "pulse" / "pid");
            if (!pid.empty()) {
                ::kill(std::stoi(pid), SIGTERM);
            }
        }
        for (const char* name : {"XDG_RUNTIME_DIR", "PULSE_SERVER", "ALSA_CONFIG_PATH"}) {
            ::unsetenv(name);
        }
    }

    PulseServer(const PulseServer&) = delete;
    PulseServer& operator=(const PulseServer&) = delete;

    bool Started() const { return started_; }
    std::string Log() const { return ReadFile(folder_ / "pulse.log"); }

    // Kills the server at once, as a crash would: every stream's device goes away.
    void Kill() {
        const std::string pid = ReadFile(runtime_ / "pulse" / "pid");
        if (started_ && !pid.empty()) {
            ::kill(std::stoi(pid), SIGKILL);
        }
        started_ = false;
    }

    // Runs pactl with `args` against this server; true when it succeeds.
    static bool Pactl(const std::string& args) {
        return std::system(("pactl " + args + " >/dev/null 2>&1").c_str()) == 0;
    }

    // Whether some program records from the server (a capture stream is connected).
    static bool Recording() {
        return !CommandOutput("pactl list short source-outputs 2>/dev/null").empty();
    }

  private:
    std::filesystem::path folder_;
    std::filesystem::path runtime_;
    bool started_ = false;
};

// What goes out on the radio's sink, heard through its monitor as it goes: parec with a short
// latency on a thread of this object's own, counting the stretches of 10 ms that hold sound.
class AirListener {
  public:
    AirListener() {
        int fds[2];
        if (::pipe(fds) != 0) {
            return;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        const char* argv[] = {"parec",        "--device=radio.monitor", "--format=s16le",
                              "--rate=16000", "--channels=1",           "--latency-msec=10",
                              nullptr};
        if (posix_spawnp(&pid_, argv[0], &actions, nullptr, const_cast<char**>(argv), environ) !=
            0) {
            pid_ = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
        ::close(fds[1]);
        reader_ = std::jthread([this, fd = fds[0]] { Read(fd); });
    }

    ~AirListener() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
    }

    AirListener(const AirListener&) = delete;
    AirListener& operator=(const AirListener&) = delete;

    // Whether the monitor is delivering: it takes a moment to connect.
    bool Listening() const { return stretches_ > 0; }
    // The stretches heard so far that held sound.
    int Loud() const { return loud_; }

  private:
    static constexpr std::size_t kStretchSamples = 160;  // 10 ms at 16000 Hz
    static constexpr int kLoudPeak = 1000;               // well above the null sink's silence

    void Read(int fd) {
        std::int16_t samples[kStretchSamples];
        std::size_t filled = 0;
        for (;;) {
            const ssize_t got =
                ::read(fd, reinterpret_cast<char*>(samples) + filled, sizeof samples - filled);
            if (got <= 0) {
                break;
            }
            filled += static_cast<std::size_t>(got);
            if (filled == sizeof samples) {
                const auto [low, high] = std::minmax_element(samples, samples + kStretchSamples);
                if (std::max(-int{*low}, int{*high}) >= kLoudPeak) {
                    ++loud_;
                }
                ++stretches_;
                filled = 0;
            }
        }
        ::close(fd);
    }

    pid_t pid_ = -1;
    std::atomic<int> stretches_{0};
    std::atomic<int> loud_{0};
    std::jthread reader_;  // ends when parec does
};

}  // namespace zk::testing
