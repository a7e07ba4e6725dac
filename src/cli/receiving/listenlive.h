// `zk77q3 listen`: decodes the programming signal live from an ALSA capture device and prints
// each packet as it is heard.
#pragma once

#include <csignal>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>

#include "receiveoutput.h"

namespace zk::cli {

inline constexpr int kListenHeard = 0;
inline constexpr int kListenNone = 1;

struct ListenRequest {
    std::string device = "default";
    unsigned rate = 48000;
    bool json = false;
    std::optional<int> count;       // stop after this many packets
    std::optional<double> timeout;  // stop after this many seconds of sound
    bool statusLine = false;        // a live level line on `err` (when it is a terminal)
    std::optional<Expectation> expected;
    std::function<void()> capturing;  // called once, when the first block has been captured
};

// Runs until `stop` becomes non-zero (Ctrl-C), `count` packets or `timeout` seconds; hands each
// packet's report to `emit` as it is heard (never more than `count`), keeps the status line and
// prints a summary on `status`. Returns kListenHeard when at least one sound packet (valid, its
// settings possible, matching the expectation if any) was heard, kListenNone otherwise. A
// capture device that cannot start or fails mid-way throws CaptureError.
int RunListen(const ListenRequest& request, const std::function<void(const std::string&)>& emit,
              std::FILE* status, const volatile std::sig_atomic_t& stop);

}  // namespace zk::cli
