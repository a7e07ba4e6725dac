#include "levelhistory.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace zk::receive {

namespace {
constexpr int kBins = 800;  // 8 s of 10 ms bins: a packet with its lead-in and some slack
}

LevelHistory::LevelHistory(double sampleRate)
    : binSize_(std::max<std::int64_t>(1, std::llround(sampleRate / 100))), bins_(kBins) {}

LevelSpan LevelHistory::Add(std::span<const float> samples) {
    LevelSpan block;
    while (!samples.empty()) {
        const std::int64_t bin = count_ / binSize_;
        const std::int64_t inBin = count_ % binSize_;
        const auto take = static_cast<std::size_t>(
            std::min<std::int64_t>(binSize_ - inBin, static_cast<std::int64_t>(samples.size())));
        // One tight pass per bin (the whole input goes through here).
        float peak = 0;
        std::int64_t clipped = 0;
        std::int64_t nonFinite = 0;
        for (std::size_t i = 0; i < take; ++i) {
            const float magnitude = std::fabs(samples[i]);
            peak = magnitude > peak ? magnitude : peak;  // a NaN never wins
            clipped += magnitude >= kClipLevel;
            nonFinite += !(magnitude <= std::numeric_limits<float>::max());
        }
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
