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
#include <fstream>
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

// A TCP port of 127.0.0.1 that nothing holds at the moment of asking. Taken below the kernel's
// range of ephemeral ports (32768 and up), so that no client connection of a test running beside
// this one is given it as its own end, and from a stretch that depends on this process, so that
// two tests asking at once do not both get the same port.
inline int FreePort() {
    static std::atomic<int> asked{0};
    constexpr int kFirst = 10000;
    constexpr int kCount = 20000;
    const int start = static_cast<int>((static_cast<long>(::getpid()) * 97) % kCount);
    for (int tries = 0; tries < kCount; ++tries) {
        const int port = kFirst + (start + asked++) % kCount;
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<std::uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        const bool free = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        ::close(fd);
        if (free) {
            return port;
        }
    }
    return 0;
}

// Whether process `pid` holds the socket that listens on `port` (read from /proc): a server of
// this test's own, not another test's that took the port first.
inline bool ListensOn(pid_t pid, int port) {
    std::string inode;
    for (const char* name : {"/proc/net/tcp", "/proc/net/tcp6"}) {
        std::ifstream table(name);
        std::string line;
        std::getline(table, line);  // the heading
        while (inode.empty() && std::getline(table, line)) {
            std::istringstream fields(line);
            std::string slot, local, remote, state, queues, timer, retransmits, uid, timeout;
            std::string node;
            fields >> slot >> local >> remote >> state >> queues >> timer >> retransmits >> uid >>
                timeout >> node;
            const auto colon = local.rfind(':');
            if (state == "0A" && colon != std::string::npos &&
                std::stoi(local.substr(colon + 1), nullptr, 16) == port) {
                inode = node;
            }
        }
    }
    if (inode.empty()) {
        return false;
    }
    std::error_code error;
    const std::string wanted = "socket:[" + inode + "]";
    for (const auto& fd :
         std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/fd", error)) {
        if (std::filesystem::read_symlink(fd.path(), error).string() == wanted) {
            return true;
        }
    }
    return false;
}

// Whether child `pid` listens on `port` within `limit`, polled every 20 ms; false at once when
// it has ended (the port was taken after all, or it failed).
inline bool ChildListensWithin(pid_t& pid, int port, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
        if (pid <= 0 || ::waitpid(pid, nullptr, WNOHANG) == pid) {
            pid = -1;
            return false;
        }
        if (ListensOn(pid, port)) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
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
        return ChildListensWithin(pid_, port_, limit);
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
        return ChildListensWithin(pid_, port_, limit);
    }

  private:
    int port_;
    mutable pid_t pid_ = -1;
};

}  // namespace zk::testing
