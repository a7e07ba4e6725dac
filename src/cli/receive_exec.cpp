// verify and listen in zk77q3: the arguments, already checked by the parser, are handed on
// unchanged to zk77q3-receive, which does the work in this same process (exec).
#include <limits.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <string>

#include "errors.h"
#include "receiveprogram.h"

#ifndef ZK_RECEIVE_FROM_BIN
#define ZK_RECEIVE_FROM_BIN "../lib/zk77q3"
#endif

namespace zk::cli {

namespace {

char** processArguments = nullptr;

constexpr const char* kReceiveProgram = "zk77q3-receive";

// Beside this program (the build tree), or where the package puts it relative to bin/.
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
    throw Fault(std::string("Cannot find ") + kReceiveProgram + ", which decodes recordings, in \"" +
                folder.string() + "\" or \"" +
                (folder / ZK_RECEIVE_FROM_BIN).lexically_normal().string() + "\"");
}

[[noreturn]] void HandOn() {
    const std::string program = ReceiveProgramPath();
    std::fflush(stdout);
    std::fflush(stderr);
    ::execv(program.c_str(), processArguments);
    throw Fault("Cannot start \"" + program + "\". " + SystemErrorText(errno));
}

}  // namespace

void KeepProcessArguments(char** argv) {
    processArguments = argv;
}

int RunVerifyCommand(const VerifyArguments&, CommonOptions&) {
    HandOn();
}

int RunListenCommand(const ListenArguments&, CommonOptions&) {
    HandOn();
}

}  // namespace zk::cli
