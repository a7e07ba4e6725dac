// verify and listen doing their work: the half of the receiving side's commands that lives in
// zk77q3-receive.
#include <unistd.h>

#include <csignal>
#include <cstdio>

#include "boundedread.h"
#include "errors.h"
#include "expectedsettings.h"
#include "listenlive.h"
#include "messages.h"
#include "profile.h"
#include "receiveprogram.h"
#include "sentlog.h"
#include "soundfilereader.h"
#include "stdoutput.h"
#include "verifyrecordings.h"

namespace zk::cli {

namespace {

volatile std::sig_atomic_t interrupted = 0;

void OnInterrupt(int) {
    interrupted = 1;
}

// The array of the programming log's last entry, exactly as it was sent.
Array LastSentArray() {
    const std::vector<nlohmann::ordered_json> entries = ReadSentLog();
    if (entries.empty()) {
        const std::string path = SentLogPath().string();
        throw UsageError("--expect-last: the programming log" +
                         (path.empty() ? std::string() : " " + Quoted(path)) +
                         " holds no entry: nothing has been sent with play");
    }
    const nlohmann::ordered_json& entry = entries.back();
    const std::string subject = "--expect-last: log entry " + std::to_string(entries.size());
    if (!entry.is_object() || !entry.contains("array") || !entry["array"].is_string()) {
        throw UsageError(subject + " holds no array");
    }
    const std::string hex = entry["array"].get<std::string>();
    Array bytes{};
    if (hex.size() != 2 * bytes.size() ||
        hex.find_first_not_of("0123456789ABCDEFabcdef") != std::string::npos) {
        throw UsageError(subject + ": its array is not 128 hex digits");
    }
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<std::uint8_t>(std::stoi(hex.substr(2 * i, 2), nullptr, 16));
    }
    return bytes;
}

// The descriptor of the pipe on which zk77q3 handed on the expected settings, or -1: then they
// are read from the arguments, as when zk77q3-receive is started by hand.
int handedSettingsFd = -1;

// The descriptor on which listen says that its capture runs, or -1.
int readyFd = -1;

// One byte on the ready pipe, which is then closed: whoever waits knows the capture runs.
void SayCapturing() {
    if (readyFd >= 0) {
        const char ready = 1;
        if (::write(readyFd, &ready, 1) != 1) {
            // the waiting side has gone; the listening goes on for whoever reads its report
        }
        ::close(readyFd);
        readyFd = -1;
    }
}

// The handed settings are a few hundred bytes; anything far beyond is not zk77q3's.
constexpr std::size_t kMaxHandedSettingsBytes = 64 * 1024;

ExpectedSettings ReadHandedSettingsFromPipe() {
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
    return ReadHandedSettings(read.text);
}

// The settings given on the command line (or by --config) as the expectation. Options alone
// expect just those settings; a profile stands for the whole array.
std::optional<Expectation> SettingsExpectation(const CommonOptions& common) {
    const std::optional<ExpectedSettings> settings =
        handedSettingsFd >= 0 ? ReadHandedSettingsFromPipe() : ExpectedSettingsOf(common);
    if (!settings) {
        return std::nullopt;
    }
    Expectation expectation;
    expectation.array = ArrayForSettings(settings->panel);
    expectation.keys = settings->keys;
    expectation.from = settings->keys.empty() ? "config" : "options";
    return expectation;
}

std::optional<Expectation> ChooseExpectation(const CommonOptions& common,
                                             const std::string& expectWav, bool expectLast) {
    RefuseTwoExpectations(common, expectWav, expectLast);
    if (!expectWav.empty()) {
        Expectation expectation;
        expectation.from = "expect-wav";
        try {
            expectation.array = ArrayOfRecording(expectWav);
        } catch (const SoundFileError& error) {
            throw UsageError("--expect-wav: " + RecordingFaultText(error));
        } catch (const Fault& fault) {
            throw UsageError(std::string("--expect-wav: ") + fault.what());
        }
        return expectation;
    }
    if (expectLast) {
        Expectation expectation;
        expectation.from = "expect-last";
        expectation.array = LastSentArray();
        return expectation;
    }
    return SettingsExpectation(common);
}

}  // namespace

std::vector<std::string> ProgramArguments(int argc, char** argv) {
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
    return arguments;
}

int RunVerifyCommand(const VerifyArguments& arguments, CommonOptions& common) {
    VerifyRequest request;
    request.files = arguments.files;
    if (!arguments.channel.empty()) {
        request.channel = WholeNumberIn("--channel", arguments.channel, 1, 1024);
    }
    request.expected = ChooseExpectation(common, arguments.expectWav, arguments.expectLast);
    request.json = common.json;
    return RunVerify(request, [](const std::string& text) { PrintNow(text); });
}

int RunListenCommand(const ListenArguments& arguments, CommonOptions& common) {
    ListenRequest request;
    request.device = common.device;
    request.rate = static_cast<unsigned>(WholeNumberIn("--rate", arguments.rate, 8000, 96000));
    if (!arguments.count.empty()) {
        request.count = WholeNumberIn("--count", arguments.count, 1, 1000000);
    }
    if (!arguments.timeout.empty()) {
        request.timeout = WholeNumberIn("--timeout", arguments.timeout, 1, 31 * 24 * 3600);
    }
    request.expected = ChooseExpectation(common, "", arguments.expectLast);
    request.json = common.json;
    request.statusLine = ::isatty(STDERR_FILENO) == 1;
    request.capturing = SayCapturing;
    std::signal(SIGINT, OnInterrupt);
    std::signal(SIGTERM, OnInterrupt);
    return RunListen(
        request, [](const std::string& text) { PrintNow(text); }, stderr, interrupted);
}

}  // namespace zk::cli
