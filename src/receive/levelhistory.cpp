#include "levelhistory.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace zk::receive {

namespace {
constexpr int kBins = 800;  // 8 s of 10 ms bins: a packet with its lead-in and some slack

// Lanes of the tight pass: the whole input goes through here, so it is laid out in fixed groups
// that the compiler turns into vector instructions.
constexpr std::size_t kLanes = 16;

void Measure(const float* x, std::size_t n, std::array<float, kLanes>& peak,
             std::array<std::int32_t, kLanes>& clipped,
             std::array<std::int32_t, kLanes>& nonFinite) {
    for (std::size_t i = 0; i + kLanes <= n; i += kLanes) {
        for (std::size_t k = 0; k < kLanes; ++k) {
            const float magnitude = std::fabs(x[i + k]);
            peak[k] = magnitude > peak[k] ? magnitude : peak[k];  // a NaN never wins
            clipped[k] += magnitude >= kClipLevel ? 1 : 0;
            nonFinite[k] += magnitude <= std::numeric_limits<float>::max() ? 0 : 1;
        }
    }
}

LevelSpan LevelOf(std::span<const float> samples) {
    std::array<float, kLanes> peak{};
    std::array<std::int32_t, kLanes> clipped{};
    std::array<std::int32_t, kLanes> nonFinite{};
    const std::size_t whole = samples.size() / kLanes * kLanes;
    Measure(samples.data(), whole, peak, clipped, nonFinite);
    // The rest, one at a time in the first lane.
    for (std::size_t i = whole; i < samples.size(); ++i) {
        const float magnitude = std::fabs(samples[i]);
        peak[0] = magnitude > peak[0] ? magnitude : peak[0];
        clipped[0] += magnitude >= kClipLevel ? 1 : 0;
        nonFinite[0] += magnitude <= std::numeric_limits<float>::max() ? 0 : 1;
    }
    LevelSpan level;
    for (std::size_t k = 0; k < kLanes; ++k) {
        level.peak = std::max(level.peak, peak[k]);
        level.clipped += clipped[k];
        level.nonFinite += nonFinite[k];
    }
    return level;
}

}  // namespace

LevelHistory::LevelHistory(double sampleRate)
    : binSize_(std::max<std::int64_t>(1, std::llround(sampleRate / 100))), bins_(kBins) {}

LevelSpan LevelHistory::Add(std::span<const float> samples) {
    LevelSpan block;
    while (!samples.empty()) {
        const std::int64_t bin = count_ / binSize_;
        const std::int64_t inBin = count_ % binSize_;
        const auto take = static_cast<std::size_t>(
            std::min<std::int64_t>(binSize_ - inBin, static_cast<std::int64_t>(samples.size())));
        const LevelSpan level = LevelOf(samples.first(take));
        const float peak = level.peak;
        const std::int64_t clipped = level.clipped;
        const std::int64_t nonFinite = level.nonFinite;
        LevelSpan& slot = bins_[static_cast<std::size_t>(bin % kBins)];
        if (inBin == 0) {
            slot = {};
        }
        for (LevelSpan* span : {&slot, &block, &total_}) {
            span->peak = std::max(span->peak, peak);
            span->clipped += clipped;
            span->nonFinite += nonFinite;
        }
        count_ += static_cast<std::int64_t>(take);
        samples = samples.subspan(take);
    }
    return block;
}

LevelSpan LevelHistory::Over(std::int64_t from, std::int64_t to) const {
    LevelSpan result;
    const std::int64_t lastBin = (count_ - 1) / binSize_;
    const std::int64_t firstBin = std::max({from / binSize_, lastBin - kBins + 1, std::int64_t{0}});
    for (std::int64_t bin = firstBin; bin <= std::min(lastBin, (to - 1) / binSize_); ++bin) {
        const LevelSpan& slot = bins_[static_cast<std::size_t>(bin % kBins)];
        result.peak = std::max(result.peak, slot.peak);
        result.clipped += slot.clipped;
    }
    return result;
}

}  // namespace zk::receive
