// What a file-size limit does to a program that writes the output pair, the log or a recording.
#pragma once

#include <csignal>

namespace zk {

// Under a file-size limit (ulimit -f) the kernel ends a process with SIGXFSZ part-way through a
// write. Each program calls this once at its start, so that such a write fails with EFBIG instead
// and is reported like any other fault, with the old files kept.
inline void ReportFileSizeLimitAsFault() {
    std::signal(SIGXFSZ, SIG_IGN);
}

}  // namespace zk
