#include "terminationrelease.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <map>
#include <mutex>
#include <system_error>
#include <thread>

namespace zk {
namespace {

constexpr std::array<int, 4> kTerminationSignals = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

// The byte that tells the releasing thread to end; signals are sent as their own numbers.
constexpr unsigned char kStopByte = 0;

// The pipe's write end while releases are registered, -1 otherwise. Read in the handler, so an
// atomic that is lock-free.
std::atomic<int> wakeFd{-1};
static_assert(std::atomic<int>::is_always_lock_free);

extern "C" void WakeReleaser(int signalNumber) {
    const int savedErrno = errno;
    const int fd = wakeFd.load();
    if (fd >= 0) {
        const auto byte = static_cast<unsigned char>(signalNumber);
        [[maybe_unused]] const ssize_t written = ::write(fd, &byte, 1);
    } else {
        // Our handler put back after we ended (holds that did not nest): nothing is keyed any
        // more, so end the process as the signal asks.
        ::signal(signalNumber, SIG_DFL);
        ::raise(signalNumber);
    }
    errno = savedErrno;
}

struct ReleaseState {
    std::mutex lifecycle;  // making and ending the thread; never held by the thread itself
    std::mutex releases;   // the registrations and the saved actions
    std::map<int, std::function<void(int)>> registered;
    int nextId = 0;
    std::array<struct sigaction, kTerminationSignals.size()> before{};
    std::array<bool, kTerminationSignals.size()> caught{};
    std::array<int, 2> pipe{-1, -1};
    std::thread thread;
};

ReleaseState& State() {
    static ReleaseState state;
    return state;
}

// Puts back the actions saved when catching began; the caller holds `releases`.
void RestoreActions(ReleaseState& state) {
    for (std::size_t k = 0; k < kTerminationSignals.size(); ++k) {
        if (state.caught[k]) {
            ::sigaction(kTerminationSignals[k], &state.before[k], nullptr);
            state.caught[k] = false;
        }
    }
}

void CatchSignals(ReleaseState& state) {
    struct sigaction wake {};
    wake.sa_handler = WakeReleaser;
    sigemptyset(&wake.sa_mask);
    for (const int signalNumber : kTerminationSignals) {
        sigaddset(&wake.sa_mask, signalNumber);
    }
    wake.sa_flags = SA_RESTART;  // the sound and the radio's port go on until the release
    for (std::size_t k = 0; k < kTerminationSignals.size(); ++k) {
        ::sigaction(kTerminationSignals[k], nullptr, &state.before[k]);
        // A signal ignored now (nohup, a service manager) was meant not to end the process.
        if (state.before[k].sa_handler == SIG_IGN) {
            continue;
        }
        ::sigaction(kTerminationSignals[k], &wake, nullptr);
        state.caught[k] = true;
    }
}

void ReleaseAndResend(ReleaseState& state, int signalNumber) {
    {
        const std::lock_guard<std::mutex> lock(state.releases);
        for (const auto& [id, release] : state.registered) {
            release(signalNumber);
        }
        RestoreActions(state);
    }
    // To the process, not to this thread, which blocks every signal: any other thread takes it
    // as it would have taken the first.
    ::kill(::getpid(), signalNumber);
}

void RunReleaser(ReleaseState& state, int readFd) {
    for (;;) {
        unsigned char byte = kStopByte;
        const ssize_t got = ::read(readFd, &byte, 1);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0 || byte == kStopByte) {
            return;
        }
        ReleaseAndResend(state, byte);
    }
}

void StartReleaser(ReleaseState& state) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        throw std::system_error(errno, std::generic_category(), "pipe for the PTT release");
    }
    // A handler must never wait on a full pipe; one byte per signal is plenty.
    ::fcntl(fds[1], F_SETFL, O_NONBLOCK);
    state.pipe = {fds[0], fds[1]};

    // The thread starts with every signal blocked (it inherits the mask), so that the handler
    // never runs on the very thread that must wake up.
    sigset_t all;
    sigset_t previous;
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, &previous);
    state.thread = std::thread(RunReleaser, std::ref(state), fds[0]);
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);

    wakeFd.store(fds[1]);
    const std::lock_guard<std::mutex> lock(state.releases);
    CatchSignals(state);
}

void StopReleaser(ReleaseState& state) {
    {
        const std::lock_guard<std::mutex> lock(state.releases);
        RestoreActions(state);
    }
    wakeFd.store(-1);
    const unsigned char stop = kStopByte;
    while (::write(state.pipe[1], &stop, 1) < 0 && errno == EINTR) {
    }
    state.thread.join();
    ::close(state.pipe[0]);
    ::close(state.pipe[1]);
    state.pipe = {-1, -1};
}

}  // namespace

TerminationRelease::TerminationRelease(std::function<void(int)> release) {
    ReleaseState& state = State();
    const std::lock_guard<std::mutex> lifecycle(state.lifecycle);
    {
        const std::lock_guard<std::mutex> lock(state.releases);
        id_ = state.nextId++;
        state.registered.emplace(id_, std::move(release));
    }
    if (state.registered.size() == 1) {
        try {
            StartReleaser(state);
        } catch (...) {
            const std::lock_guard<std::mutex> lock(state.releases);
            state.registered.erase(id_);
            throw;
        }
    }
}

TerminationRelease::~TerminationRelease() {
    ReleaseState& state = State();
    const std::lock_guard<std::mutex> lifecycle(state.lifecycle);
    bool last = false;
    {
        const std::lock_guard<std::mutex> lock(state.releases);
        state.registered.erase(id_);
        last = state.registered.empty();
    }
    if (last) {
        StopReleaser(state);
    }
}

}  // namespace zk
