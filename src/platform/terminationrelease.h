// A keyed transmitter outlives the program that keyed it: a radio keyed by a serial line or by
// rigctld goes on sending until someone releases it. So while one is keyed, the requests to end
// the process (Ctrl-C, kill, a closed terminal) release it before they take effect.
#pragma once

#include <functional>

namespace zk {

// While one exists, SIGINT, SIGTERM, SIGHUP and SIGQUIT are caught in every thread of the
// process. The handler only writes the signal's number to a pipe; a thread of this class's own
// reads it and runs every `release` registered (Hamlib is no place for a signal handler), then
// restores the actions that were in force before and sends the signal again, so the process
// ends, or the program's own handler runs, as it would have, only after the release. A signal
// ignored when the first one is made stays ignored and is not caught.
//
// It coexists with TerminationHold in either order, as long as the two nest: each saves the
// action in force when it starts and restores it when it ends.
class TerminationRelease {
  public:
    // `release` runs on the releasing thread with the signal's number; it must not throw.
    explicit TerminationRelease(std::function<void(int signalNumber)> release);
    ~TerminationRelease();
    TerminationRelease(const TerminationRelease&) = delete;
    TerminationRelease& operator=(const TerminationRelease&) = delete;

  private:
    int id_;
};

}  // namespace zk
