// verify and listen in zk77q3: the arguments, already checked by the parser, and the expected
// settings, read and checked here, are handed on to zk77q3-receive, which does the work in this
// same process (exec). The settings travel on a pipe (receiveprogram.h).
#include <fcntl.h>
#include <limits.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "errors.h"
#include "expectedsettings.h"
#include "filehandle.h"
#include "receiveprogram.h"

#ifndef ZK_RECEIVE_FROM_BIN
#define ZK_RECEIVE_FROM_BIN "../lib/zk77q3"
#endif

namespace zk::cli {

namespace {

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
    throw Fault(std::string("Cannot find ") + kReceiveProgram +
                ", which decodes recordings, in \"" + folder.string() + "\" or \"" +
                (folder / ZK_RECEIVE_FROM_BIN).lexically_normal().string() + "\"");
}

[[noreturn]] void PipeFault(int error) {
    throw Fault(std::string("Cannot hand the expected settings on to ") + kReceiveProgram + ". " +
                SystemErrorText(error));
}

// A pipe that already holds `text` and has no writer left: its reading end, numbered 3 or
// higher and left open across exec, is all that zk77q3-receive gets. The text is a few hundred
// bytes, far below any pipe's capacity; the writing end never blocks all the same, so that a
// text too large would be a fault, not a hang.
int PipeHolding(const std::string& text) {
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

[[noreturn]] void HandOn(const std::vector<std::string>& arguments, const CommonOptions& common,
                         const std::string& expectWav, bool expectLast) {
    RefuseTwoExpectations(common, expectWav, expectLast);
    const std::optional<ExpectedSettings> settings = ExpectedSettingsOf(common);
    const std::string program = ReceiveProgramPath();
    std::vector<std::string> handed{kReceiveProgram};
    if (settings) {
        handed.push_back(std::string(kSettingsFdOption) +
                         std::to_string(PipeHolding(HandedSettingsText(*settings))));
    }
    handed.insert(handed.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& argument : handed) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    std::fflush(stdout);
    std::fflush(stderr);
    ::execv(program.c_str(), argv.data());
    throw Fault("Cannot start \"" + program + "\". " + SystemErrorText(errno));
}

}  // namespace

std::vector<std::string> ProgramArguments(int argc, char** argv) {
    return std::vector<std::string>(argv + 1, argv + argc);
}

int RunVerifyCommand(const VerifyArguments& arguments, CommonOptions& common) {
    HandOn(ArgumentsHandedOn(arguments, common), common, arguments.expectWav, arguments.expectLast);
}

int RunListenCommand(const ListenArguments& arguments, CommonOptions& common) {
    HandOn(ArgumentsHandedOn(arguments, common), common, "", arguments.expectLast);
}

}  // namespace zk::cli
