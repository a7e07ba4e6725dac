// Input level by 10 ms of input time, kept for the last few seconds, so that each packet can
// say how loud the recording was over it and whether it clipped.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace zk::receive {

// Samples at or beyond this magnitude count as clipped: a 16-bit recorder's full scale is
// 32767/32768, and float files may go past 1.
inline constexpr float kClipLevel = 0.999f;

struct LevelSpan {
    float peak = 0;
    std::int64_t clipped = 0;
    std::int64_t nonFinite = 0;  // NaN or infinity (infinity also counts as clipped)
};

class LevelHistory {
  public:
    explicit LevelHistory(double sampleRate);
    // Returns the level of these samples alone.
    LevelSpan Add(std::span<const float> samples);
    // Over the input samples [from, to); only the last few seconds are kept.
    LevelSpan Over(std::int64_t from, std::int64_t to) const;
    // Since the start of the stream.
    LevelSpan Total() const { return total_; }

  private:
    std::int64_t binSize_;
    std::int64_t count_ = 0;
    std::vector<LevelSpan> bins_;
    LevelSpan total_;
};

}  // namespace zk::receive
