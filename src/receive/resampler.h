// Streaming conversion of the input rate to the working rate, with libsoxr.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

namespace zk::receive {

class Resampler {
  public:
    Resampler(double inputRate, double outputRate);
    ~Resampler();
    Resampler(const Resampler&) = delete;
    Resampler& operator=(const Resampler&) = delete;

    // Appends to `out` what the input makes ready; keeps the filter's tail for the next call.
    void Process(std::span<const float> in, std::vector<float>& out);
    // Appends the tail held back so far; the stream ends.
    void Flush(std::vector<float>& out);

  private:
    void* soxr_ = nullptr;  // soxr_t; null when the rates are equal (samples pass through)
    double ratio_;
    std::vector<float> chunk_;
};

}  // namespace zk::receive
