#include "waterfallrows.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>

// liquid.h declares its complex types from <complex> when compiled as C++.
#include <liquid/liquid.h>

namespace zk::monitor {

namespace {

std::size_t PowerOfTwoAtLeast(double n) {
    std::size_t size = 1;
    while (static_cast<double>(size) < n) {
        size *= 2;
    }
    return size;
}

}  // namespace

double SpectrumAnalyzer::BinHz(int bin) {
    return (bin + 0.5) * kSpectrumTopHz / kSpectrumBins;
}

SpectrumAnalyzer::SpectrumAnalyzer(double sampleRate) {
    if (!(sampleRate >= 2 * kSpectrumTopHz)) {
        throw std::invalid_argument("The spectrum needs a rate of at least 8000 Hz");
    }
    const std::size_t size = PowerOfTwoAtLeast(sampleRate * kSpectrumWindowSeconds);
    window_.resize(size);
    for (std::size_t i = 0; i < size; ++i) {
        window_[i] =
            static_cast<float>(0.5 - 0.5 * std::cos(2 * std::numbers::pi * static_cast<double>(i) /
                                                    static_cast<double>(size)));
    }
    history_.assign(size, 0.0f);
    hopSamples_ =
        static_cast<std::size_t>(std::max(1.0, std::round(sampleRate * kSpectrumHopSeconds)));
    untilHop_ = hopSamples_;
    in_.resize(size);
    out_.resize(size);
    plan_ = fft_create_plan(static_cast<unsigned>(size), in_.data(), out_.data(),
                            LIQUID_FFT_FORWARD, 0);
    for (int bin = 0; bin < kSpectrumBins; ++bin) {
        fftBinOf_[static_cast<std::size_t>(bin)] =
            static_cast<int>(std::lround(BinHz(bin) * static_cast<double>(size) / sampleRate));
    }
}

SpectrumAnalyzer::~SpectrumAnalyzer() {
    fft_destroy_plan(static_cast<fftplan>(plan_));
}

void SpectrumAnalyzer::Feed(std::span<const float> samples, std::vector<SpectrumRow>& rows) {
    for (const float s : samples) {
        history_[historyNext_] = std::isfinite(s) ? s : 0.0f;
        historyNext_ = (historyNext_ + 1) % history_.size();
        if (--untilHop_ == 0) {
            untilHop_ = hopSamples_;
            rows.push_back(Transform());
        }
    }
}

SpectrumRow SpectrumAnalyzer::Transform() {
    const std::size_t size = history_.size();
    for (std::size_t i = 0; i < size; ++i) {
        in_[i] = {history_[(historyNext_ + i) % size] * window_[i], 0.0f};
    }
    fft_execute(static_cast<fftplan>(plan_));
    // A full-scale sine gives a peak of size/4 through a Hann window: that reads 0 dBFS.
    const double fullScale = static_cast<double>(size) / 4.0;
    SpectrumRow row{};
    for (int bin = 0; bin < kSpectrumBins; ++bin) {
        const double magnitude =
            std::abs(out_[static_cast<std::size_t>(fftBinOf_[static_cast<std::size_t>(bin)])]);
        const double dbfs = 20.0 * std::log10(magnitude / fullScale);
        row[static_cast<std::size_t>(bin)] =
            std::isfinite(dbfs) ? std::max(kSpectrumFloorDbfs, static_cast<float>(dbfs))
                                : kSpectrumFloorDbfs;
    }
    return row;
}

}  // namespace zk::monitor
