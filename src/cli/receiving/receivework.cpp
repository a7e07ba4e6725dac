// verify and listen doing their work: libzk77q3-receive.so's entry point (receiveentry.h).
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>

#include "errors.h"
#include "expectedsettings.h"
#include "faultreport.h"
#include "lastsent.h"
#include "listenlive.h"
#include "messages.h"
#include "receiveentry.h"
#include "sentlog.h"
#include "settings.h"
#include "soundfilereader.h"
#include "verifyrecordings.h"

namespace zk::cli {

namespace {

volatile std::sig_atomic_t interrupted = 0;

void OnInterrupt(int) {
    interrupted = 1;
}

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

// The settings given as the expectation (expectedsettings.h's form), or none. Options alone
// expect just those settings; a profile stands for the whole array.
std::optional<Expectation> SettingsExpectation(const char* settingsJson) {
    if (settingsJson == nullptr) {
        return std::nullopt;
    }
    const ExpectedSettings settings = ReadHandedSettings(settingsJson);
    Expectation expectation;
    expectation.array = ArrayForSettings(settings.panel);
    expectation.keys = settings.keys;
    expectation.from = settings.keys.empty() ? "config" : "options";
    return expectation;
}

// zk77q3 has refused two expectations at once.
std::optional<Expectation> ChooseExpectation(const zk77q3_receive_request_v1& request) {
    const std::string expectWav = request.expect_wav;
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
    if (request.expect_last != 0) {
        Expectation expectation;
        expectation.from = "expect-last";
        try {
            expectation.array = LastSentArray();
        } catch (const UsageError& error) {
            throw UsageError(std::string("--expect-last: ") + error.what());
        }
        return expectation;
    }
    return SettingsExpectation(request.settings_json);
}

// The print of the program that called, for its checked standard output.
std::function<void(const std::string&)> PrinterOf(const zk77q3_receive_request_v1& request) {
    return [print = request.print](const std::string& text) { print(text.data(), text.size()); };
}

int RunVerifyCommand(const zk77q3_receive_request_v1& arguments) {
    VerifyRequest request;
    request.files.assign(arguments.files, arguments.files + arguments.file_count);
    if (*arguments.channel != '\0') {
        request.channel = WholeNumberIn("--channel", arguments.channel, 1, 1024);
    }
    request.expected = ChooseExpectation(arguments);
    request.json = arguments.json != 0;
    return RunVerify(request, PrinterOf(arguments));
}

int RunListenCommand(const zk77q3_receive_request_v1& arguments) {
    ListenRequest request;
    request.device = arguments.device;
    request.rate = static_cast<unsigned>(WholeNumberIn("--rate", arguments.rate, 8000, 96000));
    if (*arguments.count != '\0') {
        request.count = WholeNumberIn("--count", arguments.count, 1, 1000000);
    }
    if (*arguments.timeout != '\0') {
        request.timeout = WholeNumberIn("--timeout", arguments.timeout, 1, 31 * 24 * 3600);
    }
    request.expected = ChooseExpectation(arguments);
    request.json = arguments.json != 0;
    request.statusLine = ::isatty(STDERR_FILENO) == 1;
    readyFd = arguments.ready_fd;
    request.capturing = SayCapturing;
    // A signal the caller set to be ignored (nohup, a background job) stays ignored.
    for (const int signalNumber : {SIGINT, SIGTERM}) {
        if (std::signal(signalNumber, OnInterrupt) == SIG_IGN) {
            std::signal(signalNumber, SIG_IGN);
        }
    }
    return RunListen(request, PrinterOf(arguments), stderr, interrupted);
}

}  // namespace

}  // namespace zk::cli

extern "C" int zk77q3_receive_v1(const zk77q3_receive_request_v1* request) {
    using namespace zk::cli;
    return RunReportingFaults([request] {
        switch (request->command) {
            case ZK77Q3_RECEIVE_VERIFY:
                return RunVerifyCommand(*request);
            case ZK77Q3_RECEIVE_LISTEN:
                return RunListenCommand(*request);
            default:
                throw zk::Fault("the decoder of verify and listen was asked for command " +
                                std::to_string(request->command));
        }
    });
}
