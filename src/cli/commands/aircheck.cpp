#include "aircheck.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <sstream>
#include <vector>

#include "errors.h"
#include "expectedsettings.h"
#include "receivelibrary.h"
#include "terminationhold.h"

namespace zk::cli {

namespace {

using Clock = std::chrono::steady_clock;

// This very program, even when its file has been replaced since it started (an upgrade).
constexpr const char* kThisProgram = "/proc/self/exe";

// How long the listener may take to open the device and hear its first block.
constexpr int kStartLimitMs = 5000;
// How long after the sound has drained the listener may still hear the send: the capture's own
// delay, a sound server's, a second receiver's.
constexpr int kAfterSendMs = 2000;
// How long a listener asked to stop may take to say what it heard.
constexpr int kEndGraceMs = 5000;

// How often the waits for the listener look whether the run has been asked to end meanwhile.
constexpr int kHeldLookMs = 100;

struct Pipe {
    FileHandle reading;
    FileHandle writing;
};

Pipe MakePipe() {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) {
        throw Fault("Cannot start listening for the check. " + SystemErrorText(errno));
    }
    return {FileHandle(ends[0]), FileHandle(ends[1])};
}

std::string ReceiverMessage(const std::string& messages) {
    std::string text = messages.substr(0, messages.find('\n'));
    constexpr std::string_view kPrefix = "zk77q3: ";
    if (text.starts_with(kPrefix)) {
        text.erase(0, kPrefix.size());
    }
    return text.empty() ? "the receiver ended without a word" : text;
}

// Reads what `file` holds now without waiting; false at its end.
bool ReadAvailable(FileHandle& file, std::string& into) {
    char buffer[4096];
    const ssize_t got = ::read(file.Descriptor(), buffer, sizeof buffer);
    if (got > 0) {
        into.append(buffer, static_cast<std::size_t>(got));
        return true;
    }
    return got < 0 && (errno == EINTR || errno == EAGAIN);
}

// The findings the listener printed under its summary, two blanks in, when it heard nothing
// as expected.
std::vector<std::string> Findings(const std::string& messages) {
    std::vector<std::string> findings;
    std::istringstream lines(messages);
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with("  ") && line.size() > 2) {
            findings.push_back(line.substr(2));
        }
    }
    return findings;
}

std::string Joined(const std::vector<std::string>& parts) {
    std::string text;
    for (const std::string& part : parts) {
        text += (text.empty() ? "" : "; ") + part;
    }
    return text;
}

std::string MarginText(double marginDb) {
    char text[48];
    std::snprintf(text, sizeof text, "margin %.1f dB", marginDb);
    return text;
}

std::optional<nlohmann::json> FirstPacket(const std::string& report) {
    std::istringstream lines(report);
    for (std::string line; std::getline(lines, line);) {
        if (line.empty()) {
            continue;
        }
        nlohmann::json packet = nlohmann::json::parse(line, nullptr, false);
        if (packet.is_object()) {
            return packet;
        }
    }
    return std::nullopt;
}

}  // namespace

const char* AirVerdictName(AirVerdict verdict) {
    switch (verdict) {
        case AirVerdict::AsSent:
            return "as-sent";
        case AirVerdict::Different:
            return "different";
        case AirVerdict::Broken:
            return "broken";
        case AirVerdict::NotHeard:
            return "not-heard";
    }
    return "?";
}

AirCheckResult ReadAirCheck(const std::string& report, const std::string& messages) {
    AirCheckResult result;
    const std::optional<nlohmann::json> packet = FirstPacket(report);
    if (!packet) {
        const std::string findings = Joined(Findings(messages));
        result.line = "not heard" + (findings.empty() ? std::string() : ": " + findings);
        return result;
    }
    const nlohmann::json& p = *packet;
    if (p.contains("margin_db") && p["margin_db"].is_number()) {
        result.marginDb = p["margin_db"].get<double>();
    }
    const std::string margin = result.marginDb ? MarginText(*result.marginDb) : "margin unknown";
    const std::string verdict = p.value("verdict", "");
    if (verdict == "crc-bad" || verdict == "header-bad") {
        result.verdict = AirVerdict::Broken;
        result.line = std::string("heard with a broken ") +
                      (verdict == "crc-bad" ? "check word" : "header") + ", " + margin;
    } else if (p.value("matches_expectation", false)) {
        result.verdict = AirVerdict::AsSent;
        result.line = "heard as sent, " + margin;
    } else if (!p.contains("matches_expectation")) {
        // Only a comparison with the send may call it as sent.
        result.verdict = AirVerdict::Different;
        result.line = "heard a packet that was not compared with the send, " + margin;
    } else {
        result.verdict = AirVerdict::Different;
        std::vector<std::string> what = p.value("differences", std::vector<std::string>{});
        if (what.empty()) {
            what = p.value("settings_problems", std::vector<std::string>{});
        }
        result.line = "heard different settings: " + Joined(what);
    }
    return result;
}

nlohmann::ordered_json AirCheckJson(const std::string& device, const AirCheckResult& result) {
    return {{"device", device},
            {"verdict", AirVerdictName(result.verdict)},
            {"margin_db", result.marginDb ? nlohmann::ordered_json(*result.marginDb)
                                          : nlohmann::ordered_json()}};
}

AirCheck::AirCheck(const std::string& device, const PanelState& sent, int seconds) {
    const int settings = PipeHoldingSettings(HandedSettingsText(ExpectedSettings{sent, {}}));
    const FileHandle settingsEnd(settings);
    Pipe ready = MakePipe();
    Pipe report = MakePipe();
    Pipe messages = MakePipe();
    std::vector<std::string> arguments = {
        "zk77q3",
        std::string(kSettingsFdOption) + std::to_string(settings),
        std::string(kReadyFdOption) + std::to_string(ready.writing.Descriptor()),
        "listen",
        "--device=" + device,
        "--count=1",
        "--timeout=" + std::to_string(seconds),
        "--json"};
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);

    std::fflush(stdout);
    std::fflush(stderr);
    child_ = ::fork();
    if (child_ < 0) {
        throw Fault("Cannot start listening for the check. " + SystemErrorText(errno));
    }
    if (child_ == 0) {
        // Only calls that are safe between fork and exec.
        const int readyFd = ready.writing.Descriptor();
        if (::dup2(report.writing.Descriptor(), STDOUT_FILENO) < 0 ||
            ::dup2(messages.writing.Descriptor(), STDERR_FILENO) < 0 ||
            ::fcntl(readyFd, F_SETFD, 0) != 0) {
            ::_exit(127);
        }
        ::execv(kThisProgram, argv.data());
        ::_exit(127);
    }
    ready.writing = FileHandle();
    report.writing = FileHandle();
    messages.writing = FileHandle();
    report_ = std::move(report.reading);
    messages_ = std::move(messages.reading);

    pollfd waiting{ready.reading.Descriptor(), POLLIN, 0};
    int polled;
    while ((polled = ::poll(&waiting, 1, kStartLimitMs)) < 0 && errno == EINTR) {
    }
    char byte = 0;
    if (polled == 1 && ::read(ready.reading.Descriptor(), &byte, 1) == 1) {
        return;  // the capture runs
    }
    std::string said;
    if (polled == 1) {  // the listener ended before its capture ran: its message says why
        ::waitpid(child_, nullptr, 0);
        child_ = -1;
        while (ReadAvailable(messages_, said)) {
        }
        throw Fault("--check-with " + device + ": " + ReceiverMessage(said));
    }
    throw Fault("--check-with " + device + ": the capture did not start within " +
                std::to_string(kStartLimitMs / 1000) + " s");
}

AirCheck::~AirCheck() {
    if (child_ > 0) {
        ::kill(child_, SIGTERM);
        ::waitpid(child_, nullptr, 0);
    }
}

AirCheckResult AirCheck::Finish() {
    std::string report;
    std::string messages;
    bool reportOpen = true;
    bool messagesOpen = true;
    // Reads both pipes until the listener closes them or `limitMs` passes; true when it did.
    const auto readUntilEnd = [&](int limitMs) {
        const Clock::time_point until = Clock::now() + std::chrono::milliseconds(limitMs);
        while (reportOpen || messagesOpen) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count();
            if (left <= 0) {
                return false;
            }
            if (TerminationHold::Held() != 0) {
                return false;  // the run is to end: no more waiting for the air
            }
            pollfd open[2] = {{reportOpen ? report_.Descriptor() : -1, POLLIN, 0},
                              {messagesOpen ? messages_.Descriptor() : -1, POLLIN, 0}};
            if (::poll(open, 2, static_cast<int>(std::min<long long>(left, kHeldLookMs))) <= 0) {
                continue;
            }
            if (reportOpen && open[0].revents != 0) {
                reportOpen = ReadAvailable(report_, report);
            }
            if (messagesOpen && open[1].revents != 0) {
                messagesOpen = ReadAvailable(messages_, messages);
            }
        }
        return true;
    };
    // The listener ends by itself at its first packet. Without one it is asked to stop once the
    // air has had time to carry the whole send, and then prints its summary and findings.
    if (!readUntilEnd(kAfterSendMs)) {
        ::kill(child_, SIGTERM);
        if (TerminationHold::Held() != 0 || !readUntilEnd(kEndGraceMs)) {
            ::kill(child_, SIGKILL);
        }
    }
    ::waitpid(child_, nullptr, 0);
    child_ = -1;
    return ReadAirCheck(report, messages);
}

}  // namespace zk::cli
