// A rigctld of a test's own: Hamlib's dummy rig (model 1) keeping a PTT state (-P RIG) on a free
// port of 127.0.0.1, and a second client of it that reads that state the way an operator's
// `rigctl t` would, independent of the code under test.
#pragma once

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace zk::testing {

// rigctld on PATH, or empty.
inline std::string FindRigctld() {
    const char* path = std::getenv("PATH");
    std::istringstream folders(path != nullptr ? path : "/usr/bin:/bin");
    std::string folder;
    while (std::getline(folders, folder, ':')) {
        const std::filesystem::path candidate = std::filesystem::path(folder) / "rigctld";
        if (::access(candidate.c_str(), X_OK) == 0) {
            return candidate.string();
        }
    }
    return {};
}

// A TCP port of 127.0.0.1 that nothing listens on at the moment of asking.
inline int FreePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}

// A connection to 127.0.0.1:port, or -1.
inline int Connect(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Whether 127.0.0.1:`port` accepts a connection within `limit`, polled every 20 ms while
// `starting` says the server may still come up.
inline bool AcceptsWithin(int port, std::chrono::milliseconds limit,
                          const std::function<bool()>& starting) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
        const int fd = Connect(port);
        if (fd >= 0) {
            ::close(fd);
            return true;
        }
        if (!starting()) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

class Rigctld {
  public:
    // With `keepsPtt` false the dummy rig has no PTT of its own: it refuses to key.
    explicit Rigctld(const std::string& program, bool keepsPtt = true) : port_(FreePort()) {
        std::vector<std::string> argv = {
            program, "-m", "1", "-T", "127.0.0.1", "-t", std::to_string(port_)};
        if (keepsPtt) {
            argv.insert(argv.begin() + 3, {"-P", "RIG"});
        }
        std::vector<char*> args;
        for (std::string& a : argv) {
            args.push_back(a.data());
        }
        args.push_back(nullptr);
        if (::posix_spawn(&pid_, args[0], nullptr, nullptr, args.data(), environ) != 0) {
            pid_ = -1;
        }
    }
    ~Rigctld() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    Rigctld(const Rigctld&) = delete;
    Rigctld& operator=(const Rigctld&) = delete;

    int Port() const { return port_; }
    std::string Setting() const { return "rigctld:127.0.0.1:" + std::to_string(port_); }

    // Whether it accepts connections, polled every 20 ms for up to `limit`.
    bool WaitUntilListening(std::chrono::milliseconds limit = std::chrono::seconds(10)) const {
        return AcceptsWithin(port_, limit, [this] {
            if (pid_ <= 0 || ::waitpid(pid_, nullptr, WNOHANG) == pid_) {
                pid_ = -1;
                return false;  // it ended: the port was taken after all, or it failed
            }
            return true;
        });
    }

    // The rig's PTT as rigctld answers "t": 0 or 1, -1 when it cannot be asked.
    int PttState() const {
        const int fd = Connect(port_);
        if (fd < 0) {
            return -1;
        }
        std::string answer;
        if (::write(fd, "t\n", 2) == 2) {
            char c = 0;
            while (::read(fd, &c, 1) == 1 && c != '\n') {
                answer += c;
            }
        }
        ::close(fd);
        return answer == "0" ? 0 : answer == "1" ? 1 : -1;
    }

  private:
    int port_;
    mutable pid_t pid_ = -1;
};

// Asks a rig's PTT every few milliseconds, on a thread of its own, for as long as it lives:
// whether the key went down at any moment, the moment keying can only be seen from outside.
class KeyWatch {
  public:
    explicit KeyWatch(const Rigctld& rig)
        : thread_([this, &rig](std::stop_token stop) {
              while (!stop.stop_requested()) {
                  if (rig.PttState() == 1) {
                      keyed_ = true;
                  }
                  std::this_thread::sleep_for(std::chrono::milliseconds(5));
              }
          }) {}

    bool EverKeyed() const { return keyed_; }

  private:
    std::atomic<bool> keyed_{false};
    std::jthread thread_;  // declared last: stopped and joined before the flag goes
};

// rigproxy.py between the program and a rigctld: the link cut or frozen at a chosen moment (see
// the script), while the rigctld itself keeps the rig's state for a second client to read.
class RigProxy {
  public:
    // `action` "cut", "cut-all" or "freeze" once the `count`-th client line that reads
    // `pattern` has had its answer; an empty `action` only relays.
    RigProxy(const Rigctld& rig, const std::string& action = "", const std::string& pattern = "",
             int count = 1)
        : port_(FreePort()) {
        std::vector<std::string> argv = {"python3", ZK_RIGPROXY, std::to_string(port_),
                                         std::to_string(rig.Port())};
        if (!action.empty()) {
            argv.insert(argv.end(), {action, pattern, std::to_string(count)});
        }
        std::vector<char*> args;
        for (std::string& a : argv) {
            args.push_back(a.data());
        }
        args.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        if (::posix_spawnp(&pid_, args[0], &actions, nullptr, args.data(), environ) != 0) {
            pid_ = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
    }
    ~RigProxy() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    RigProxy(const RigProxy&) = delete;
    RigProxy& operator=(const RigProxy&) = delete;

    std::string Setting() const { return "rigctld:127.0.0.1:" + std::to_string(port_); }

    // Whether it accepts connections, polled every 20 ms for up to `limit`.
    bool WaitUntilListening(std::chrono::milliseconds limit = std::chrono::seconds(10)) const {
        return AcceptsWithin(port_, limit, [] { return true; });
    }

  private:
    int port_;
    pid_t pid_ = -1;
};

}  // namespace zk::testing
