// Recordings made with the channel model, and the demodulator run over them, for the tests.
#pragma once

#include <algorithm>
#include <cstdint>
#include <random>
#include <span>
#include <vector>

#include "channel.h"
#include "demodulator.h"

namespace zk::receive::testing {

using channel::Bytes;
using channel::Channel;
using channel::Everything;

struct Heard {
    std::vector<Packet> packets;
    Diagnosis diagnosis;
};

// Feeds `recording` in blocks of `block` samples, then finishes.
inline Heard Decode(std::span<const float> recording, double rate, std::size_t block = 4096) {
    Demodulator rx(rate);
    Heard heard;
    for (std::size_t i = 0; i < recording.size(); i += block) {
        const std::size_t n = std::min(block, recording.size() - i);
        for (const Packet& p : rx.Feed(recording.subspan(i, n))) {
            heard.packets.push_back(p);
        }
    }
    FinishResult rest = rx.Finish();
    heard.packets.insert(heard.packets.end(), rest.packets.begin(), rest.packets.end());
    heard.diagnosis = rest.diagnosis;
    return heard;
}

inline Bytes RandomArray(std::uint64_t seed) {
    std::mt19937_64 random(seed);
    return channel::RandomArray(random);
}

// One packet through `channel`, with `leadIn` seconds of its lead-in left.
inline std::vector<float> Record(const Bytes& bytes, const Channel& channel, std::uint64_t seed,
                                 double leadIn = 1.0) {
    return channel::Pass(channel::Transmit(bytes, leadIn), channel, seed);
}

}  // namespace zk::receive::testing
