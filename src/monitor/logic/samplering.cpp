#include "samplering.h"

#include <cmath>
#include <stdexcept>

namespace zk::monitor {

namespace {
constexpr double kPcm16Scale = 32768.0;
}

std::int16_t ToPcm16(float sample) {
    if (std::isnan(sample)) {
        return 0;
    }
    const double scaled = std::nearbyint(static_cast<double>(sample) * kPcm16Scale);
    if (scaled >= 32767.0) {
        return 32767;
    }
    if (scaled <= -32768.0) {
        return -32768;
    }
    return static_cast<std::int16_t>(scaled);
}

SampleRing::SampleRing(std::size_t capacity) : buffer_(capacity) {
    if (capacity == 0) {
        throw std::invalid_argument("A sample ring needs room for at least one sample");
    }
}

void SampleRing::Add(std::span<const float> samples) {
    // Of a block longer than the ring only its end can be kept.
    if (samples.size() > buffer_.size()) {
        samples = samples.last(buffer_.size());
    }
    for (const float s : samples) {
        buffer_[next_] = ToPcm16(s);
        if (++next_ == buffer_.size()) {
            next_ = 0;
            full_ = true;
        }
    }
}

std::vector<std::int16_t> SampleRing::Contents() const {
    if (!full_) {
        return {buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(next_)};
    }
    std::vector<std::int16_t> out;
    out.reserve(buffer_.size());
    out.insert(out.end(), buffer_.begin() + static_cast<std::ptrdiff_t>(next_), buffer_.end());
    out.insert(out.end(), buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(next_));
    return out;
}

}  // namespace zk::monitor
