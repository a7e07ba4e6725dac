// verify and listen doing their work: the half of the receiving side's commands that lives in
// zk77q3-receive.
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <sstream>

#include "errors.h"
#include "listen.h"
#include "messages.h"
#include "profile.h"
#include "receiveprogram.h"
#include "stdoutput.h"
#include "verify.h"

namespace zk::cli {

namespace {

volatile std::sig_atomic_t interrupted = 0;

void OnInterrupt(int) {
    interrupted = 1;
}

}  // namespace

void KeepProcessArguments(char**) {}

int RunVerifyCommand(const VerifyArguments& arguments, CommonOptions& common) {
    VerifyRequest request;
    request.files = arguments.files;
    if (!arguments.channel.empty()) {
        request.channel = WholeNumberIn("--channel", arguments.channel, 1, 1024);
    }
    if (!arguments.expectWav.empty()) {
        try {
            request.expected = ArrayOfRecording(arguments.expectWav);
        } catch (const Fault& fault) {
            throw UsageError(std::string("--expect-wav: ") + fault.what());
        }
    } else if (!common.given.empty() || !common.config.empty()) {
        request.expected = ArrayForSettings(LoadSettings(common));
    }
    request.json = common.json;
    std::ostringstream out;
    const int status = RunVerify(request, out);
    Print(out.str());
    return status;
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
    if (!common.given.empty() || !common.config.empty()) {
        request.expected = ArrayForSettings(LoadSettings(common));
    }
    request.json = common.json;
    request.statusLine = ::isatty(STDERR_FILENO) == 1;
    std::signal(SIGINT, OnInterrupt);
    std::signal(SIGTERM, OnInterrupt);
    return RunListen(
        request,
        [](const std::string& text) {
            Print(text);
            std::fflush(stdout);
        },
        stderr, interrupted);
}

}  // namespace zk::cli
