// The waterfall's rows: the input's spectrum from 0 to 4000 Hz every 10 ms, short enough in time
// that the data's phase reversals spread the 1000 Hz line where the lead-in keeps it thin.
// Transforms by liquid-dsp; a Hann window.
#pragma once

#include <array>
#include <complex>
#include <cstddef>
#include <span>
#include <vector>

namespace zk::monitor {

inline constexpr double kSpectrumTopHz = 4000.0;
inline constexpr int kSpectrumBins = 128;  // 31.25 Hz each
inline constexpr double kSpectrumHopSeconds = 0.010;
// About four bits of the signal: the line stays narrow over the lead-in, and the reversals of
// the data widen it to the signal's main lobe (750..1250 Hz).
inline constexpr double kSpectrumWindowSeconds = 0.016;
// The level shown for a bin with nothing in it.
inline constexpr float kSpectrumFloorDbfs = -120.0f;

using SpectrumRow = std::array<float, kSpectrumBins>;  // dBFS: a full-scale sine reads 0

class SpectrumAnalyzer {
  public:
    // Throws std::invalid_argument for a rate below 8000 Hz (no room for 0..4000 Hz).
    explicit SpectrumAnalyzer(double sampleRate);
    ~SpectrumAnalyzer();
    SpectrumAnalyzer(const SpectrumAnalyzer&) = delete;
    SpectrumAnalyzer& operator=(const SpectrumAnalyzer&) = delete;

    // Appends to `rows` one row for every hop completed by these samples.
    void Feed(std::span<const float> samples, std::vector<SpectrumRow>& rows);

    std::size_t WindowSamples() const { return window_.size(); }
    // The centre frequency of a row's bin.
    static double BinHz(int bin);

  private:
    SpectrumRow Transform();

    std::vector<float> window_;   // Hann taps
    std::vector<float> history_;  // the last WindowSamples() inputs, as a ring
    std::size_t historyNext_ = 0;
    std::size_t hopSamples_;
    std::size_t untilHop_;
    std::vector<std::complex<float>> in_, out_;
    void* plan_;  // liquid-dsp's fftplan, kept out of this header
    std::array<int, kSpectrumBins> fftBinOf_{};
};

}  // namespace zk::monitor
