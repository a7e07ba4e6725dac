// One run of the receiver over one input, on a thread of its own so that the window never waits
// for decoding: every block is decoded (a receiver per channel), measured for the level
// meter, transformed for the waterfall and kept for "Save recording". The window takes what has
// happened since its last look with Take().
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "inputsource.h"
#include "packet.h"
#include "receivestate.h"
#include "samplering.h"
#include "waterfallrows.h"
#include "wording.h"

namespace zk::monitor {

// A recording with more channels than this is refused: each channel costs a demodulator.
inline constexpr int kMaxChannels = 8;
// Waterfall rows waiting for the window beyond this are dropped, oldest first: a recording read
// at full speed makes rows far faster than anybody could watch them.
inline constexpr std::size_t kMaxPendingRows = 1000;

struct HeardPacket {
    receive::Packet packet;
    int channel = 0;  // 0-based channel of the input
    std::chrono::system_clock::time_point heardAt;
};

struct SessionUpdate {
    std::vector<HeardPacket> packets;  // heard since the previous Take, in order
    std::vector<SpectrumRow> rows;     // the newest, at most kMaxPendingRows
    double peakDbfs = -200;            // since the previous Take (kSilenceDbfs: silence)
    bool clipping = false;             // samples at full scale since the previous Take
    ReceiveState state;
    double streamSeconds = 0;  // input time decoded so far
    bool ended = false;        // the input is over (a recording's end, a fault, or Stop)
    Wording fault;             // the fault that ended it, as its message; empty if none
    // At a recording's end when no packet came whole: why, as the channel that carries the
    // signal tells it (the window puts it in words).
    std::vector<receive::Finding> findings;
};

class ReceiveSession {
  public:
    // Checks the input's rate and channels (throws a Fault naming what is wrong) and starts
    // decoding at once.
    explicit ReceiveSession(std::unique_ptr<InputSource> input);
    // Stops the thread and waits for it (at most one block of input).
    ~ReceiveSession();
    ReceiveSession(const ReceiveSession&) = delete;
    ReceiveSession& operator=(const ReceiveSession&) = delete;

    SessionUpdate Take();
    // Ends the input and waits for the thread: the next Take() has everything, and ended.
    void Stop();
    // Waits until the input has ended by itself (a recording read to its end, or a fault);
    // false when `timeout` passed first.
    bool WaitForEnd(std::chrono::milliseconds timeout);
    // The last minute of input (the channels mixed to one), oldest first, at Rate().
    std::vector<std::int16_t> LastMinute() const;
    double Rate() const { return rate_; }
    bool Live() const { return live_; }

  private:
    struct Worker;
    void Run(std::stop_token stop);

    double rate_;
    bool live_;
    std::unique_ptr<Worker> worker_;
    mutable std::mutex mutex_;
    std::condition_variable endedSignal_;
    bool ended_ = false;
    SessionUpdate pending_;
    SampleRing ring_;
    std::jthread thread_;
};

}  // namespace zk::monitor
