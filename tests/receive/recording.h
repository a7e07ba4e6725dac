// Recordings made with the channel model, and the demodulator run over them, for the tests.
#pragma once

#include <algorithm>
#include <cstdint>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "_2GL.h"
#include "channel.h"
#include "demodulator.h"
#include "generate.h"
#include "panelstate.h"

namespace zk::receive::testing {

using channel::Bytes;
using channel::Channel;
using channel::Everything;

struct Heard {
    std::vector<Packet> packets;
    Diagnosis diagnosis;
};

// The findings as a failed check shows them: each kind's number with the numbers it carries.
inline std::string Said(const Diagnosis& diagnosis) {
    std::string out;
    for (const Finding& f : diagnosis.findings) {
        out += "problem " + std::to_string(static_cast<int>(f.problem)) + ": count " +
               std::to_string(f.count) + ", Eb/N0 " + std::to_string(f.ebN0Db) + ", lead-in " +
               std::to_string(f.leadInEbN0Db) + ", offset " + std::to_string(f.carrierOffsetHz) +
               " Hz, peak " + std::to_string(f.peakDbfs) + " dBFS, at " +
               std::to_string(f.atSeconds) + " s\n";
    }
    return out;
}

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

// The array generate makes from `panel` (the window's start values unless told): with them,
// bytes 48..60 are zero, so the data ends with 416 ms of steady carrier that a careless tone
// detector takes for the next lead-in.
inline Bytes Generated(PanelState panel = {}) {
    ResetGlobalsToStartValues();
    GenerateTransferArray(panel);
    Bytes bytes{};
    for (int i = 0; i < kTransferSize; ++i) {
        bytes[static_cast<std::size_t>(i)] = TransferArray[i];
    }
    ResetGlobalsToStartValues();
    return bytes;
}

// One packet through `channel`, with `leadIn` seconds of its lead-in left.
inline std::vector<float> Record(const Bytes& bytes, const Channel& channel, std::uint64_t seed,
                                 double leadIn = 1.0) {
    return channel::Pass(channel::Transmit(bytes, leadIn), channel, seed);
}

}  // namespace zk::receive::testing
