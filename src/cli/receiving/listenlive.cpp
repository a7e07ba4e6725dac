#include "listenlive.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>

#include "capturethread.h"
#include "demodulator.h"
#include "deviceadvice.h"
#include "findingwords.h"
#include "leveltext.h"
#include "messages.h"

namespace zk::cli {

namespace {

using Clock = std::chrono::steady_clock;

// The longest the loop waits for sound before it looks at the signals and the clock again.
constexpr std::chrono::milliseconds kWaitForSound{150};

// The time a packet was heard, ISO 8601 in UTC.
std::string UtcNow() {
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
    gmtime_r(&now, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &parts);
    return text;
}

std::string StatusText(const receive::LevelStatus& level) {
    char text[96];
    std::snprintf(text, sizeof text, "level %6.1f dBFS", std::max(level.peakDbfs, -99.9));
    std::string line = receive::IsSilence(level.peakDbfs) ? "level silent" : text;
    if (level.clipping) {
        line += "  clipping";
    } else if (level.tooQuiet && !receive::IsSilence(level.peakDbfs)) {
        line += "  too quiet";
    }
    if (level.toneHeard) {
        line += "  tone heard";
    }
    return line;
}

}  // namespace

int RunListen(const ListenRequest& request, const std::function<void(const std::string&)>& emit,
              std::FILE* status, const volatile std::sig_atomic_t& stop) {
    // On a thread of its own: a device that blocks in its opening or its reading never holds
    // this loop, which watches the signals and the timeout.
    CaptureThread capture(request.device, request.rate, kDevicesAdvice);
    receive::Demodulator demodulator(request.rate);
    std::vector<float> block;
    int heard = 0;
    int valid = 0;       // sound packets
    int asExpected = 0;  // of those, the ones as expected
    double seconds = 0;
    const Clock::time_point start = Clock::now();
    Clock::time_point lastStatus = start;

    const auto full = [&] { return request.count && heard >= *request.count; };
    const auto report = [&](const receive::Packet& p) {
        if (full()) {
            return;  // a block can end more packets than are still wanted
        }
        ++heard;
        valid += VerdictOf(p) == PacketVerdict::Valid ? 1 : 0;
        const bool matches = Matches(p, request.expected);
        asExpected += matches ? 1 : 0;
        if (request.statusLine) {
            std::fputs("\r\033[K", status);  // the status line gives way to the packet
        }
        if (request.json) {
            nlohmann::ordered_json line = {{"time", UtcNow()}};
            line.update(PacketJson(p, request.expected));
            emit(line.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) +
                 '\n');
        } else {
            emit(UtcNow() + " packet " + std::to_string(heard) + '\n' +
                 PacketText(p, request.expected));
        }
    };
    const auto done = [&] {
        const double wall = std::chrono::duration<double>(Clock::now() - start).count();
        return stop != 0 || full() ||
               (request.timeout && (seconds >= *request.timeout || wall >= *request.timeout));
    };

    bool toldCapturing = false;
    bool everCapturing = false;
    while (!done()) {
        const bool capturing = capture.Next(block, kWaitForSound);
        everCapturing = everCapturing || capturing;
        if (request.capturing && capturing && !toldCapturing) {
            request.capturing();
            toldCapturing = true;
        }
        seconds += static_cast<double>(block.size()) / request.rate;
        for (const receive::Packet& p : demodulator.Feed(block)) {
            report(p);
        }
        if (request.statusLine && Clock::now() - lastStatus >= std::chrono::milliseconds(500)) {
            lastStatus = Clock::now();
            std::fprintf(status, "\r\033[K%s", StatusText(demodulator.TakeLevel()).c_str());
            std::fflush(status);
        }
    }
    const receive::FinishResult rest = demodulator.Finish();
    for (const receive::Packet& p : rest.packets) {
        report(p);
    }
    if (request.statusLine) {
        std::fputs("\r\033[K", status);
    }
    std::string counts =
        std::to_string(heard) + " packet(s) heard, " + std::to_string(valid) + " valid";
    if (request.expected) {
        counts += ", " + std::to_string(asExpected) + " as expected";
    }
    std::fprintf(status, "zk77q3: listened %.1f s: %s\n", seconds, counts.c_str());
    if (asExpected == 0 && seconds == 0) {
        // Nothing to judge: the decoder's findings would speak of a silence it never heard.
        std::fprintf(status, "  the capture device %s %s\n", Quoted(request.device).c_str(),
                     everCapturing ? "delivered no sound"
                                   : "never opened: it is held up (a sound server or a pipe "
                                     "that does not answer)");
    } else if (asExpected == 0) {
        for (const receive::Finding& f : rest.diagnosis.findings) {
            std::fprintf(status, "  %s\n", FindingWords(f).c_str());
        }
    }
    return asExpected > 0 ? kListenHeard : kListenNone;
}

}  // namespace zk::cli
