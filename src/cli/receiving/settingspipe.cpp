// Handing the expected settings on a pipe to the listener that play --check-with starts beside
// its send: the access codes among them never stand in its arguments.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "errors.h"
#include "filehandle.h"
#include "receivelibrary.h"

namespace zk::cli {

namespace {

[[noreturn]] void PipeFault(int error) {
    throw Fault("Cannot hand the expected settings on to the listener. " + SystemErrorText(error));
}

}  // namespace

// The text is a few hundred bytes, far below any pipe's capacity; the writing end never blocks
// all the same, so that a text too large would be a fault, not a hang.
int PipeHoldingSettings(const std::string& text) {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) {
        PipeFault(errno);
    }
    FileHandle reading(ends[0]);
    FileHandle writing(ends[1]);
    if (!writing.WriteAll(text.data(), text.size())) {
        PipeFault(errno);
    }
    if (!writing.Close()) {
        PipeFault(errno);
    }
    // Standard input, output and error keep their numbers however few were open; the copy is
    // blocking and survives exec.
    const int kept = ::fcntl(reading.Descriptor(), F_DUPFD, 3);
    if (kept < 0 || ::fcntl(kept, F_SETFL, 0) != 0) {
        PipeFault(errno);
    }
    return kept;
}

}  // namespace zk::cli
