#include "sendprogress.h"

#include <unistd.h>

#include <cstdio>

namespace zk::cli {

std::string SendProgressText(double sentSeconds, double totalSeconds) {
    char text[64];
    std::snprintf(text, sizeof text, "sending: %.1f of %.1f s", sentSeconds, totalSeconds);
    return text;
}

SendProgressLine::SendProgressLine(AlsaPlayer& player) : player_(player) {
    if (::isatty(STDERR_FILENO) != 1) {
        return;
    }
    player_.OnProgress([this](double sent, double total) {
        const std::string text = SendProgressText(sent, total);
        if (text != shown_) {
            std::fprintf(stderr, "\rzk77q3: %s", text.c_str());
            shown_ = text;
        }
    });
}

SendProgressLine::~SendProgressLine() {
    player_.OnProgress(nullptr);
    if (!shown_.empty()) {
        std::fputc('\n', stderr);
    }
}

}  // namespace zk::cli
