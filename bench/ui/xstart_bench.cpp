// Cold start of the real programmer executable in a real X server, against a bare Qt window of
// the same stock widgets, each start a fresh process, measured in the same run. With --monitor
// the monitor window (zk77q3-monitor, no recording) takes the programmer's place against the
// same bare window. A start ends when the X server has received the window's first full frame:
// the harness watches every new top-level window with the DAMAGE extension and stops the clock
// at the first drawing that covers at least half of a window of the programmer's size. The
// process is then killed and its peak memory read from the kernel, and the next start waits until
// the X server has taken down the killed one's windows: a start made while the server is still
// freeing the last one's would pay for it. Starts of the kinds are interleaved, each run in an
// order turned by one from the run before, so that neither the load of a shared machine nor the
// place in the order falls on one kind more than on another.
//
//   xvfb-run -a zk_ui_xstart_bench [--runs=N] [--monitor] [--also=PATH]...
//
// --also adds another build of the window measured (say, the one before a change) to the run.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/damage.h>
#include <xcb/xcb.h>

#include <poll.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "firstpaintrun.h"

namespace {

constexpr double kTimeGoal = 1.1;
constexpr double kMemoryGoal = 1.2;
// Smaller windows (Qt's helper windows, tool tips) are not the frame being waited for.
constexpr int kMinimumWidth = 600;
constexpr int kMinimumHeight = 400;
constexpr int kTimeoutMs = 20000;

struct Start {
    double ms;
    double peakMiB;
};

struct Contender {
    std::string label;
    std::vector<std::string> argv;
    std::vector<Start> starts;
};

class Display {
  public:
    Display() {
        connection_ = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(connection_) != 0) {
            throw std::runtime_error("no X display (run under xvfb-run -a)");
        }
        const xcb_query_extension_reply_t* damage =
            xcb_get_extension_data(connection_, &xcb_damage_id);
        if (damage == nullptr || damage->present == 0) {
            throw std::runtime_error("the X server has no DAMAGE extension");
        }
        damageEvent_ = damage->first_event + XCB_DAMAGE_NOTIFY;
        free(xcb_damage_query_version_reply(connection_,
                                            xcb_damage_query_version(connection_, 1, 1), nullptr));
        root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(connection_, root_, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(connection_);
    }
    ~Display() { xcb_disconnect(connection_); }

    // Milliseconds from `started` to the first large frame, or a negative value on timeout or
    // when the process ended first.
    double WaitForFirstFrame(std::chrono::steady_clock::time_point started, pid_t pid) {
        std::vector<xcb_damage_damage_t> damages;
        double result = -1;
        const auto deadline = started + std::chrono::milliseconds(kTimeoutMs);
        while (result < 0 && std::chrono::steady_clock::now() < deadline) {
            xcb_generic_event_t* event = xcb_poll_for_event(connection_);
            if (event == nullptr) {
                if (xcb_connection_has_error(connection_) != 0) {
                    throw std::runtime_error("lost the X connection");
                }
                if (::waitpid(pid, nullptr, WNOHANG | WNOWAIT) == pid) {
                    break;
                }
                pollfd fd{xcb_get_file_descriptor(connection_), POLLIN, 0};
                ::poll(&fd, 1, 5);
                continue;
            }
            const uint8_t type = event->response_type & 0x7F;
            if (type == XCB_CREATE_NOTIFY) {
                // Watched from its creation, before it can draw anything.
                const auto* created = reinterpret_cast<xcb_create_notify_event_t*>(event);
                windows_.push_back(created->window);
                const xcb_damage_damage_t damage = xcb_generate_id(connection_);
                xcb_damage_create(connection_, damage, created->window,
                                  XCB_DAMAGE_REPORT_LEVEL_BOUNDING_BOX);
                xcb_flush(connection_);
                damages.push_back(damage);
            } else if (type == damageEvent_) {
                const auto* drawn = reinterpret_cast<xcb_damage_notify_event_t*>(event);
                const bool large = drawn->geometry.width >= kMinimumWidth &&
                                   drawn->geometry.height >= kMinimumHeight;
                const long area = long{drawn->area.width} * drawn->area.height;
                const long whole = long{drawn->geometry.width} * drawn->geometry.height;
                if (large && 2 * area >= whole) {
                    const std::chrono::duration<double, std::milli> took =
                        std::chrono::steady_clock::now() - started;
                    result = took.count();
                }
            }
            free(event);
        }
        for (const xcb_damage_damage_t damage : damages) {
            xcb_damage_destroy(connection_, damage);  // fails harmlessly for a destroyed window
        }
        xcb_flush(connection_);
        // Errors about windows already gone are of no interest.
        while (xcb_generic_event_t* left = xcb_poll_for_event(connection_)) {
            free(left);
        }
        return result;
    }

    // Waits until every window made since the last wait is destroyed, as the server does once it
    // has read the end of a killed client's connection.
    void WaitUntilWindowsGone() {
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(kTimeoutMs);
        while (!windows_.empty() && std::chrono::steady_clock::now() < deadline) {
            xcb_generic_event_t* event = xcb_poll_for_event(connection_);
            if (event == nullptr) {
                if (xcb_connection_has_error(connection_) != 0) {
                    throw std::runtime_error("lost the X connection");
                }
                pollfd fd{xcb_get_file_descriptor(connection_), POLLIN, 0};
                ::poll(&fd, 1, 5);
                continue;
            }
            if ((event->response_type & 0x7F) == XCB_DESTROY_NOTIFY) {
                const auto* destroyed = reinterpret_cast<xcb_destroy_notify_event_t*>(event);
                std::erase(windows_, destroyed->window);
            }
            free(event);
        }
        if (!windows_.empty()) {
            // The next start would be timed against a server still busy: said, not measured.
            throw std::runtime_error(std::to_string(windows_.size()) +
                                     " windows of a killed start were not taken down in " +
                                     std::to_string(kTimeoutMs / 1000) + " s");
        }
    }

  private:
    std::vector<xcb_window_t> windows_;
    xcb_connection_t* connection_ = nullptr;
    xcb_window_t root_ = 0;
    uint8_t damageEvent_ = 0;
};

// Runs `argv` in `folder` with its standard streams on /dev/null.
pid_t Spawn(const std::vector<std::string>& argv, const std::string& folder) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    std::vector<std::string> copies = argv;
    std::vector<char*> pointers;
    for (std::string& arg : copies) {
        pointers.push_back(arg.data());
    }
    pointers.push_back(nullptr);
    pid_t pid = 0;
    const int failed = posix_spawn(&pid, pointers[0], &actions, nullptr, pointers.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0) {
        throw std::runtime_error("cannot start " + argv[0]);
    }
    return pid;
}

Start ColdStart(Display& display, const Contender& who, const std::string& folder) {
    const auto started = std::chrono::steady_clock::now();
    const pid_t pid = Spawn(who.argv, folder);
    const double ms = display.WaitForFirstFrame(started, pid);
    ::kill(pid, SIGKILL);
    rusage usage{};
    int status = 0;
    ::wait4(pid, &status, 0, &usage);
    display.WaitUntilWindowsGone();
    if (ms < 0) {
        throw std::runtime_error(who.label + ": no first frame");
    }
    return {ms, static_cast<double>(usage.ru_maxrss) / 1024.0};
}

}  // namespace

int main(int argc, char** argv) {
    int runs = 15;
    std::vector<std::string> others;
    bool monitor = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--monitor") == 0) {
            monitor = true;
        } else if (std::strncmp(argv[i], "--runs=", 7) == 0) {
            runs = std::max(1, std::atoi(argv[i] + 7));
        } else if (std::strncmp(argv[i], "--also=", 7) == 0) {
            others.emplace_back(argv[i] + 7);
        } else {
            std::fprintf(stderr,
                         "usage: zk_ui_xstart_bench [--runs=N] [--monitor] [--also=PATH]...\n");
            return 2;
        }
    }
    try {
        Display display;
        // The programmer starts in a folder holding its help file, as it is run.
        const std::filesystem::path folder =
            std::filesystem::temp_directory_path() / ("zk-xstart-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
        std::filesystem::copy_file(ZK_HELP_FILE, folder / "help.rtf",
                                   std::filesystem::copy_options::overwrite_existing);

        std::vector<Contender> contenders;
        Contender bare{"bare window", {ZK_BARE_WINDOW}, {}};
        for (const std::string& kind : zk::bench::StockWidgetCensus()) {
            bare.argv.push_back(kind);
        }
        contenders.push_back(bare);
        if (monitor) {
            contenders.push_back({"monitor", {ZK_MONITOR}, {}});
        } else {
            contenders.push_back({"programmer", {ZK_PROGRAMMER}, {}});
        }
        for (const std::string& other : others) {
            contenders.push_back({other, {other}, {}});
        }

        // One start of each to warm the file cache, not counted.
        for (const Contender& who : contenders) {
            ColdStart(display, who, folder.string());
        }
        for (int run = 0; run < runs; ++run) {
            for (std::size_t i = 0; i < contenders.size(); ++i) {
                Contender& who =
                    contenders[(i + static_cast<std::size_t>(run)) % contenders.size()];
                who.starts.push_back(ColdStart(display, who, folder.string()));
            }
        }
        std::filesystem::remove_all(folder);

        std::printf("bare window:");
        for (std::size_t i = 1; i < bare.argv.size(); ++i) {
            std::printf(" %s", bare.argv[i].c_str());
        }
        std::printf("\n%d starts each, medians, in a real X server\n", runs);
        const auto median = [](const Contender& who, double Start::*field) {
            std::vector<double> values;
            for (const Start& start : who.starts) {
                values.push_back(start.*field);
            }
            return zk::bench::Median(values);
        };
        const double bareMs = median(contenders[0], &Start::ms);
        const double bareMiB = median(contenders[0], &Start::peakMiB);
        for (const Contender& who : contenders) {
            const double ms = median(who, &Start::ms);
            const double mib = median(who, &Start::peakMiB);
            std::printf("  %-40s first frame %7.1f ms %5.2fx %-6s  peak %6.1f MiB %5.2fx %s\n",
                        who.label.c_str(), ms, ms / bareMs,
                        ms / bareMs <= kTimeGoal ? "met" : "MISSED", mib, mib / bareMiB,
                        mib / bareMiB <= kMemoryGoal ? "met" : "MISSED");
        }
        std::printf("goals: first frame <= %.1fx, peak memory <= %.1fx the bare window\n",
                    kTimeGoal, kMemoryGoal);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
