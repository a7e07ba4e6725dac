// verify and listen doing their work: the half of the receiving side's commands that lives in
// zk77q3-receive.
#include <unistd.h>

#include <csignal>
#include <cstdio>

#include "errors.h"
#include "listen.h"
#include "messages.h"
#include "profile.h"
#include "receiveprogram.h"
#include "sentlog.h"
#include "stdoutput.h"
#include "verify.h"

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

// The settings given on the command line (or by --config) as the expectation. Options alone
// expect just those settings; a profile stands for the whole array. A profile that cannot be
// read is bad input here: exit status 1 would read as "not as expected".
std::optional<Expectation> SettingsExpectation(const CommonOptions& common) {
    if (common.given.empty() && common.config.empty()) {
        return std::nullopt;
    }
    Expectation expectation;
    try {
        expectation.array = ArrayForSettings(LoadSettings(common));
    } catch (const FileOpenError& error) {
        throw UsageError(std::string("--config: ") + error.what());
    }
    if (common.config.empty()) {
        expectation.from = "options";
        for (const Setting& setting : kSettings) {
            if (common.given.count(setting.key) != 0) {
                expectation.keys.push_back(setting.key);
            }
        }
    } else {
        expectation.from = "config";
    }
    return expectation;
}

// One expectation at a time: a recording or the log stands for a whole array, and settings
// beside it would be silently ignored or silently mixed in.
std::optional<Expectation> ChooseExpectation(const CommonOptions& common,
                                             const std::string& expectWav, bool expectLast) {
    std::vector<std::string> sources;
    if (!expectWav.empty()) {
        sources.push_back("--expect-wav");
    }
    if (expectLast) {
        sources.push_back("--expect-last");
    }
    if (!common.config.empty()) {
        sources.push_back("--config");
    } else if (!common.given.empty()) {
        sources.push_back(common.given.begin()->second.subject);
    }
    if (sources.size() > 1) {
        throw UsageError(sources[0] + " and " + sources[1] +
                         " cannot be given together: give one expectation (settings and "
                         "--config, or --expect-wav, or --expect-last)");
    }
    if (!expectWav.empty()) {
        Expectation expectation;
        expectation.from = "expect-wav";
        try {
            expectation.array = ArrayOfRecording(expectWav);
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

void KeepProcessArguments(char**) {}

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
    std::signal(SIGINT, OnInterrupt);
    std::signal(SIGTERM, OnInterrupt);
    return RunListen(
        request, [](const std::string& text) { PrintNow(text); }, stderr, interrupted);
}

}  // namespace zk::cli
