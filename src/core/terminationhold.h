// Holds back the requests to end the process (Ctrl-C, kill, a closed terminal) for the few
// milliseconds in which the output files are put in place, so that an interrupted run leaves the
// old pair of files or the new pair, never one of each.
#pragma once

namespace zk {

// While one exists, SIGINT, SIGTERM, SIGHUP and SIGQUIT are caught and remembered in every
// thread of the process; when the last one ends, the actions that were in force before are
// restored and the first signal held back is raised again, so the process ends (or the program's
// own handler runs) just as it would have, only later. Holds may nest.
class TerminationHold {
  public:
    TerminationHold();
    ~TerminationHold();
    TerminationHold(const TerminationHold&) = delete;
    TerminationHold& operator=(const TerminationHold&) = delete;

    // The first signal held back so far, 0 for none: work that may take a while under a hold
    // (waiting for a check's listener) looks at it and ends early.
    static int Held();
};

}  // namespace zk
