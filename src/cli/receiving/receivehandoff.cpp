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

namespace zk::cli {

namespace {

[[noreturn]] void HandOn(const std::vector<std::string>& arguments, const CommonOptions& common,
                         const std::string& expectWav, bool expectLast) {
    RefuseTwoExpectations(common, expectWav, expectLast);
    const std::optional<ExpectedSettings> settings = ExpectedSettingsOf(common);
    const std::string program = ReceiveProgramPath();
    std::vector<std::string> handed{"zk77q3-receive"};
    if (settings) {
        handed.push_back(std::string(kSettingsFdOption) +
                         std::to_string(PipeHoldingSettings(HandedSettingsText(*settings))));
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
