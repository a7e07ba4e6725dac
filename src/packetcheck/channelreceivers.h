// A receiver per channel of one input, and the choice of the channel that carries the signal:
// the one loop that verify runs over a recording and the monitor over a recording or a live
// capture. Blocks go in as they come; each receiver keeps its channel's packets, and at the end
// its diagnosis and level.
//
//   ChannelReceivers rx(rate, channels, 0, channels);
//   while (read block) for (const ChannelPacket& p : rx.Feed(block)) show(p);
//   rx.Finish();
//   const ChannelResult& carrier = rx.Results()[BestChannel(rx.Results())];
#pragma once

#include <cstddef>
#include <memory>
#include <span>
#include <vector>

#include "demodulator.h"
#include "packet.h"

namespace zk {

struct ChannelPacket {
    receive::Packet packet;
    int channel = 0;  // 0-based channel of the input
};

// What one channel gave.
struct ChannelResult {
    int channel = 0;  // 0-based channel of the input
    std::vector<receive::Packet> packets;
    receive::Diagnosis diagnosis;  // once the input has ended
    receive::LevelSpan level;      // the whole input's, once it has ended

    int SoundCount() const;  // packets whose verdict is valid
    int WholeCount() const;  // packets with header and check word right
};

// Whether `a` carries the signal rather than `b`: more sound packets, then more with header and
// check word right, then more packets. Neither does when they are equal.
bool CarriesMore(const ChannelResult& a, const ChannelResult& b);

// The index of the channel that carries the signal, the first of equals; 0 when there are none.
std::size_t BestChannel(const std::vector<ChannelResult>& results);

class ChannelReceivers {
  public:
    // Receivers for channels first..first+count-1 of an input with `channels` channels,
    // interleaved, at `rate` Hz. Throws std::invalid_argument for a rate outside the
    // receiver's 8000..96000 Hz.
    ChannelReceivers(double rate, int channels, int first, int count);
    ~ChannelReceivers();
    ChannelReceivers(const ChannelReceivers&) = delete;
    ChannelReceivers& operator=(const ChannelReceivers&) = delete;

    // One block of whole frames. Returns the packets it completed, channel by channel, each
    // channel's in the order heard; they are kept in Results() too.
    std::vector<ChannelPacket> Feed(std::span<const float> block);

    // Every channel's level since the previous call, as one: the highest peak, clipping or a
    // lead-in tone on any channel, the furthest data bit.
    receive::LevelStatus TakeLevel();

    // Ends the input: returns the packets the receivers still held (kept in Results() too), and
    // gives each channel its diagnosis and level.
    std::vector<ChannelPacket> Finish();

    // Per channel, in the input's order.
    const std::vector<ChannelResult>& Results() const { return results_; }

  private:
    int channels_;
    std::vector<std::unique_ptr<receive::Demodulator>> receivers_;
    std::vector<ChannelResult> results_;
    std::vector<float> one_;  // one channel's samples of the block
};

}  // namespace zk
