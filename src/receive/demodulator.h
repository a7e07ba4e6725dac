// The receiving side: feed it a recording or live capture in blocks of any size, one channel
// of float samples at 8000..96000 Hz; it reports each packet as soon as the packet's last bit
// is in. Memory stays flat however long the stream: only the last few seconds are kept.
//
//   zk::receive::Demodulator rx(48000);
//   while (read block) for (const Packet& p : rx.Feed(block)) show(p);
//   auto [rest, diagnosis] = rx.Finish();
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "levelhistory.h"
#include "packet.h"

namespace zk::receive {

inline constexpr double kMinInputRate = 8000;
inline constexpr double kMaxInputRate = 96000;

struct FinishResult {
    std::vector<Packet> packets;  // those whose last bits came in the final block
    Diagnosis diagnosis;          // over the whole stream
};

class Demodulator {
  public:
    // Throws std::invalid_argument for a rate outside 8000..96000 Hz.
    explicit Demodulator(double sampleRate);
    ~Demodulator();
    Demodulator(const Demodulator&) = delete;
    Demodulator& operator=(const Demodulator&) = delete;

    // Samples are full scale at +-1. Non-finite samples count as silence, values beyond 1000
    // as 1000. Throws
    // std::logic_error after Finish().
    std::vector<Packet> Feed(std::span<const float> samples);

    // Ends the stream: decodes what is still held (a packet cut short by the end is named in
    // the diagnosis, not reported). Further calls return empty results.
    FinishResult Finish();

    // Level since the previous call, whether a lead-in tone is on now, and which bit of a
    // packet's data is coming in.
    LevelStatus TakeLevel();

    // The input's level since the start of the stream (peak, samples at full scale), by the
    // same clip rule as the packets' and the diagnosis's.
    LevelSpan TotalLevel() const;

  private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace zk::receive
