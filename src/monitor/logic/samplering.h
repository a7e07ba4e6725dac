// The last stretch of input (a minute, for "Save recording"), as 16-bit samples: what a sound
// card gives, kept exactly, in a fixed block of memory however long the monitor listens.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace zk::monitor {

inline constexpr double kKeptSeconds = 60.0;

class SampleRing {
  public:
    explicit SampleRing(std::size_t capacity);

    // Appends samples at full scale +-1, rounded to 16 bits and clipped there.
    void Add(std::span<const float> samples);
    // The kept samples, oldest first.
    std::vector<std::int16_t> Contents() const;
    std::size_t Size() const { return full_ ? buffer_.size() : next_; }

  private:
    std::vector<std::int16_t> buffer_;
    std::size_t next_ = 0;
    bool full_ = false;
};

// 16-bit value of a sample at full scale +-1 (32767 at +1, -32768 at -1 and below; NaN as 0).
std::int16_t ToPcm16(float sample);

}  // namespace zk::monitor
