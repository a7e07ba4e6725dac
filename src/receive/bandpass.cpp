#include "bandpass.h"

#include <cmath>
#include <complex>
#include <numbers>
// liquid.h declares its complex types from <complex> when compiled as C++.
#include <liquid/liquid.h>

#include <vector>

#include "_5FormFM.h"
#include "packetdecoder.h"
#include "workrate.h"

namespace zk::receive {

namespace {

constexpr double kLowEdgeHz = 200.0;
constexpr double kHighEdgeHz = 3400.0;

// A second-order Butterworth section, designed by liquid-dsp (its edge in cycles per sample).
Biquad Section(liquid_iirdes_bandtype type, double edgeHz, double sampleRate) {
    float b[3] = {};
    float a[3] = {};
    liquid_iirdes(LIQUID_IIRDES_BUTTER, type, LIQUID_IIRDES_SOS, 2,
                  static_cast<float>(edgeHz / sampleRate), 0.0f, 1.0f, 60.0f, b, a);
    Biquad section;
    for (std::size_t i = 0; i < 3; ++i) {
        section.b[i] = b[i] / a[0];
    }
    section.a = {a[1] / a[0], a[2] / a[0]};
    return section;
}

std::array<Biquad, 2> Sections(double sampleRate) {
    return {Section(LIQUID_IIRDES_HIGHPASS, kLowEdgeHz, sampleRate),
            Section(LIQUID_IIRDES_LOWPASS, kHighEdgeHz, sampleRate)};
}

// A reversal of the carrier at instant 0 through fresh copies of the sections: the position
// (sample n counts as [n, n + 1)) where the carrier's in-phase part, summed over the
// edge window around it, changes sign, less the reversal's own position.
double MeasureReversalDelay(double sampleRate, double phase) {
    std::array<Biquad, 2> sections = Sections(sampleRate);
    const double w0 = 2 * std::numbers::pi * kCarrierHz / sampleRate;
    const auto settle = static_cast<int>(sampleRate / 2);
    const int after = static_cast<int>(kNominalBitSamples) * 2;
    const double quarter = kNominalBitSamples / 4;
    // Running sums of the in-phase part from `start` on.
    const int start = -static_cast<int>(kNominalBitSamples) * 2;
    std::vector<double> prefix{0.0};
    for (int n = -settle; n < after; ++n) {
        double y = (n < 0 ? 1 : -1) * std::sin(w0 * n);
        for (Biquad& section : sections) {
            y = section.Step(y);
        }
        if (n >= start) {
            prefix.push_back(prefix.back() + 2 * y * std::sin(w0 * n + phase));
        }
    }
    const auto sumAt = [&](double p) {
        const double t = p - start;
        const auto i = static_cast<std::size_t>(t);
        return prefix[i] + (t - static_cast<double>(i)) * (prefix[i + 1] - prefix[i]);
    };
    const auto around = [&](double e) {
        return sumAt(e + kEdgeHalfWidthSamples) - sumAt(e - kEdgeHalfWidthSamples);
    };
    double lo = -quarter;  // the in-phase part is still positive around here
    double hi = kNominalBitSamples - quarter;
    for (int step = 0; step < 60; ++step) {
        const double mid = (lo + hi) / 2;
        (around(mid) > 0 ? lo : hi) = mid;
    }
    return (lo + hi) / 2 - kSampleCentre;
}

}  // namespace

std::complex<double> Biquad::Response(double cyclesPerSample) const {
    const std::complex<double> z1 = std::polar(1.0, -2 * std::numbers::pi * cyclesPerSample);
    const std::complex<double> z2 = z1 * z1;
    return (b[0] + b[1] * z1 + b[2] * z2) / (1.0 + a[0] * z1 + a[1] * z2);
}

BandPass::BandPass(double sampleRate) : sections_(Sections(sampleRate)) {
    const double f0 = kCarrierHz / sampleRate;
    phase_ = std::arg(sections_[0].Response(f0) * sections_[1].Response(f0));
    reversalDelay_ = MeasureReversalDelay(sampleRate, phase_);
}

void BandPass::Process(std::span<float> samples) {
    Biquad high = sections_[0];
    Biquad low = sections_[1];
    for (float& x : samples) {
        x = static_cast<float>(low.Step(high.Step(x)));
    }
    sections_ = {high, low};
}

}  // namespace zk::receive
