#include "terminationhold.h"

#include <csignal>

#include <array>
#include <mutex>

namespace zk {

namespace {

constexpr std::array<int, 4> kTerminationSignals = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

volatile std::sig_atomic_t heldSignal = 0;

extern "C" void RememberSignal(int signalNumber) {
    if (heldSignal == 0) {
        heldSignal = signalNumber;
    }
}

// A handler installed with sigaction is process-wide, unlike a blocked mask, which is per
// thread: a kill aimed at the process may be delivered to any of its threads (Qt's, ALSA's).
struct HoldState {
    std::mutex mutex;
    int depth = 0;
    std::array<struct sigaction, kTerminationSignals.size()> before{};
};

HoldState& State() {
    static HoldState state;
    return state;
}

}  // namespace

TerminationHold::TerminationHold() {
    HoldState& state = State();
    const std::lock_guard<std::mutex> lock(state.mutex);
    if (state.depth++ > 0) {
        return;
    }
    heldSignal = 0;
    struct sigaction remember {};
    remember.sa_handler = RememberSignal;
    sigemptyset(&remember.sa_mask);
    remember.sa_flags = SA_RESTART;  // the file calls in progress go on
    for (std::size_t k = 0; k < kTerminationSignals.size(); ++k) {
        ::sigaction(kTerminationSignals[k], nullptr, &state.before[k]);
        // A signal ignored now (a job in the background, nohup) was meant to do nothing: it is
        // left ignored, so that nothing under the hold takes it for a request to end.
        if (state.before[k].sa_handler != SIG_IGN) {
            ::sigaction(kTerminationSignals[k], &remember, nullptr);
        }
    }
}

TerminationHold::~TerminationHold() {
    int held = 0;
    {
        HoldState& state = State();
        const std::lock_guard<std::mutex> lock(state.mutex);
        if (--state.depth > 0) {
            return;
        }
        for (std::size_t k = 0; k < kTerminationSignals.size(); ++k) {
            ::sigaction(kTerminationSignals[k], &state.before[k], nullptr);
        }
        held = heldSignal;
        heldSignal = 0;
    }
    if (held != 0) {
        ::raise(held);  // to the action in force before: a signal ignored then stays ignored
    }
}

int TerminationHold::Held() {
    return heldSignal;
}

}  // namespace zk
