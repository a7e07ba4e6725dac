// Finding zk77q3-receive and handing it the expected settings on a pipe: shared by verify and
// listen, which hand their work on, and by play --check-with, which listens beside its send.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include "errors.h"
#include "filehandle.h"
#include "receiveprogram.h"

#ifndef ZK_RECEIVE_FROM_BIN
#define ZK_RECEIVE_FROM_BIN "../lib/zk77q3"
#endif

namespace zk::cli {

namespace {

constexpr const char* kReceiveProgram = "zk77q3-receive";

[[noreturn]] void PipeFault(int error) {
    throw Fault(std::string("Cannot hand the expected settings on to ") + kReceiveProgram + ". " +
                SystemErrorText(error));
}

}  // namespace

std::string ReceiveProgramPath() {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        throw Fault("Cannot find zk77q3's own folder: " + error.message());
    }
    const std::filesystem::path folder = self.parent_path();
    for (const std::filesystem::path& candidate :
         {folder / kReceiveProgram, folder / ZK_RECEIVE_FROM_BIN / kReceiveProgram}) {
        if (::access(candidate.c_str(), X_OK) == 0) {
            return candidate.lexically_normal().string();
        }
    }
    throw Fault(std::string("Cannot find ") + kReceiveProgram +
                ", which decodes recordings, in \"" + folder.string() + "\" or \"" +
                (folder / ZK_RECEIVE_FROM_BIN).lexically_normal().string() + "\"");
}

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
