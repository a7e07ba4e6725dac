// verify and listen in zk77q3: the arguments, already checked by the parser, and the expected
// settings, read and checked here, go to libzk77q3-receive.so, opened on first use, which does
// the work in this same process.
#include "receivelibrary.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "boundedread.h"
#include "errors.h"
#include "expectedsettings.h"
#include "messages.h"
#include "receiveentry.h"
#include "stdoutput.h"

namespace zk::cli {

namespace {

// The descriptors taken off the front of the arguments, or -1.
int handedSettingsFd = -1;
int readyFd = -1;

// The arguments as the kernel shows them in the process list.
int programArgc = 0;
char** programArgv = nullptr;

// The handed settings are a few hundred bytes; anything far beyond is not zk77q3's.
constexpr std::size_t kMaxHandedSettingsBytes = 64 * 1024;

std::string ReadHandedSettingsText() {
    BoundedText read = ReadAtMost(handedSettingsFd, kMaxHandedSettingsBytes);
    ::close(handedSettingsFd);
    handedSettingsFd = -1;
    if (read.error != 0) {
        throw UsageError("the expected settings handed on by zk77q3 cannot be read. " +
                         SystemErrorText(read.error));
    }
    if (read.text.size() > kMaxHandedSettingsBytes) {
        throw UsageError("the expected settings handed on by zk77q3 cannot be read");
    }
    return read.text;
}

// The expectation given as settings, in the form the library reads, or none. Settings on a pipe
// stand in for the arguments' (play --check-with's listener has none of its own).
std::optional<std::string> SettingsText(const CommonOptions& common, const std::string& expectWav,
                                        bool expectLast) {
    if (handedSettingsFd >= 0) {
        return ReadHandedSettingsText();
    }
    RefuseTwoExpectations(common, expectWav, expectLast);
    const std::optional<ExpectedSettings> settings = ExpectedSettingsOf(common);
    if (!settings) {
        return std::nullopt;
    }
    return HandedSettingsText(*settings);
}

// verify and listen run for as long as the recordings last or the air is heard (hours): blank
// the arguments, which may carry access codes, in the process list that every local user can
// read. They have been copied and parsed; nothing reads them again.
void HideArgumentsFromProcessList() {
    for (int i = 1; i < programArgc; ++i) {
        std::memset(programArgv[i], 0, std::strlen(programArgv[i]));
    }
}

zk77q3_receive_v1_entry LoadReceiveEntry() {
    static zk77q3_receive_v1_entry entry = nullptr;
    if (entry != nullptr) {
        return entry;
    }
    // Never closed: the library is in use until the program ends.
    void* library = ::dlopen(ZK77Q3_RECEIVE_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        const char* why = ::dlerror();
        throw Fault(std::string("Cannot load the decoder of verify and listen. ") +
                    (why != nullptr ? why : ZK77Q3_RECEIVE_LIBRARY));
    }
    void* symbol = ::dlsym(library, ZK77Q3_RECEIVE_ENTRY);
    if (symbol == nullptr) {
        throw Fault(std::string("Cannot use the decoder of verify and listen: ") +
                    ZK77Q3_RECEIVE_LIBRARY + " has no entry point " + ZK77Q3_RECEIVE_ENTRY);
    }
    entry = reinterpret_cast<zk77q3_receive_v1_entry>(symbol);
    return entry;
}

void PrintForLibrary(const char* text, std::size_t size) {
    PrintNow(std::string_view(text, size));
}

int Run(zk77q3_receive_request_v1& request, const std::optional<std::string>& settings,
        const CommonOptions& common) {
    HideArgumentsFromProcessList();
    const zk77q3_receive_v1_entry entry = LoadReceiveEntry();
    request.settings_json = settings ? settings->c_str() : nullptr;
    request.json = common.json ? 1 : 0;
    request.device = common.device.c_str();
    request.print = PrintForLibrary;
    return entry(&request);
}

}  // namespace

std::vector<std::string> ProgramArguments(int argc, char** argv) {
    programArgc = argc;
    programArgv = argv;
    std::vector<std::string> arguments(argv + 1, argv + argc);
    const auto takeDescriptor = [&arguments](std::string_view option, int& into) {
        if (arguments.empty() || !arguments.front().starts_with(option)) {
            return false;
        }
        const std::string number = arguments.front().substr(option.size());
        if (number.empty() || number.size() > 9 ||
            number.find_first_not_of("0123456789") != std::string::npos) {
            return false;
        }
        into = std::stoi(number);
        arguments.erase(arguments.begin());
        return true;
    };
    while (takeDescriptor(kSettingsFdOption, handedSettingsFd) ||
           takeDescriptor(kReadyFdOption, readyFd)) {
    }
    // Only the listener of play --check-with is started with them: before any other command
    // they stay in place, for the parser to refuse.
    if (arguments.empty() || arguments.front() != "listen") {
        handedSettingsFd = -1;
        readyFd = -1;
        return std::vector<std::string>(argv + 1, argv + argc);
    }
    return arguments;
}

int RunVerifyCommand(const VerifyArguments& arguments, CommonOptions& common) {
    const std::optional<std::string> settings =
        SettingsText(common, arguments.expectWav, arguments.expectLast);
    std::vector<const char*> files;
    for (const std::string& file : arguments.files) {
        files.push_back(file.c_str());
    }
    zk77q3_receive_request_v1 request{};
    request.command = ZK77Q3_RECEIVE_VERIFY;
    request.files = files.data();
    request.file_count = files.size();
    request.channel = arguments.channel.c_str();
    request.expect_wav = arguments.expectWav.c_str();
    request.expect_last = arguments.expectLast ? 1 : 0;
    request.rate = "";
    request.count = "";
    request.timeout = "";
    request.ready_fd = -1;
    return Run(request, settings, common);
}

int RunListenCommand(const ListenArguments& arguments, CommonOptions& common) {
    const std::optional<std::string> settings = SettingsText(common, "", arguments.expectLast);
    zk77q3_receive_request_v1 request{};
    request.command = ZK77Q3_RECEIVE_LISTEN;
    request.files = nullptr;
    request.file_count = 0;
    request.channel = "";
    request.expect_wav = "";
    request.expect_last = arguments.expectLast ? 1 : 0;
    request.rate = arguments.rate.c_str();
    request.count = arguments.count.c_str();
    request.timeout = arguments.timeout.c_str();
    request.ready_fd = readyFd;
    readyFd = -1;
    return Run(request, settings, common);
}

}  // namespace zk::cli
