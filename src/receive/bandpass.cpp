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

iirfilt_rrrf Section(liquid_iirdes_bandtype type, double edgeHz, double sampleRate) {
    return iirfilt_rrrf_create_prototype(LIQUID_IIRDES_BUTTER, type, LIQUID_IIRDES_SOS, 2,
                                         static_cast<float>(edgeHz / sampleRate), 0.0f, 1.0f,
                                         60.0f);
}

// liquid-dsp 1.5 gives the response as H(e^(-jw)), the conjugate of the usual one (a cosine
// through the low-pass comes out lagging by what it reports as a lead), hence the sign.
double PhaseAt(iirfilt_rrrf high, iirfilt_rrrf low, double frequency) {
    std::complex<float> h{};
    std::complex<float> l{};
    iirfilt_rrrf_freqresponse(high, static_cast<float>(frequency), &h);
    iirfilt_rrrf_freqresponse(low, static_cast<float>(frequency), &l);
    return -std::arg(std::complex<double>(h) * std::complex<double>(l));
}

// A reversal of the carrier at instant 0 through fresh copies of the sections: the position
// (sample n counts as [n, n + 1)) where the carrier's in-phase part, summed over the half bit
// around it, changes sign, less the reversal's own position.
double MeasureReversalDelay(double sampleRate, double phase) {
    iirfilt_rrrf high = Section(LIQUID_IIRDES_HIGHPASS, kLowEdgeHz, sampleRate);
    iirfilt_rrrf low = Section(LIQUID_IIRDES_LOWPASS, kHighEdgeHz, sampleRate);
    const double w0 = 2 * std::numbers::pi * kCarrierHz / sampleRate;
    const auto settle = static_cast<int>(sampleRate / 2);
    const int after = static_cast<int>(kNominalBitSamples) * 2;
    const double quarter = kNominalBitSamples / 4;
    // Running sums of the in-phase part from `start` on.
    const int start = -static_cast<int>(kNominalBitSamples) * 2;
    std::vector<double> prefix{0.0};
    for (int n = -settle; n < after; ++n) {
        float y = static_cast<float>((n < 0 ? 1 : -1) * std::sin(w0 * n));
        iirfilt_rrrf_execute(high, y, &y);
        iirfilt_rrrf_execute(low, y, &y);
        if (n >= start) {
            const double inPhase = 2 * y * std::sin(w0 * n + phase);
            prefix.push_back(prefix.back() + inPhase);
        }
    }
    iirfilt_rrrf_destroy(high);
    iirfilt_rrrf_destroy(low);
    const auto sumAt = [&](double p) {
        const double t = p - start;
        const auto i = static_cast<std::size_t>(t);
        return prefix[i] + (t - static_cast<double>(i)) * (prefix[i + 1] - prefix[i]);
    };
    const auto around = [&](double e) { return sumAt(e + quarter) - sumAt(e - quarter); };
    double lo = -quarter;  // the in-phase part is still positive around here
    double hi = kNominalBitSamples - quarter;
    for (int step = 0; step < 60; ++step) {
        const double mid = (lo + hi) / 2;
        (around(mid) > 0 ? lo : hi) = mid;
    }
    return (lo + hi) / 2 - kSampleCentre;
}

}  // namespace

BandPass::BandPass(double sampleRate)
    : highPass_(Section(LIQUID_IIRDES_HIGHPASS, kLowEdgeHz, sampleRate)),
      lowPass_(Section(LIQUID_IIRDES_LOWPASS, kHighEdgeHz, sampleRate)) {
    auto* high = static_cast<iirfilt_rrrf>(highPass_);
    auto* low = static_cast<iirfilt_rrrf>(lowPass_);
    phase_ = PhaseAt(high, low, kCarrierHz / sampleRate);
    reversalDelay_ = MeasureReversalDelay(sampleRate, phase_);
}

BandPass::~BandPass() {
    iirfilt_rrrf_destroy(static_cast<iirfilt_rrrf>(highPass_));
    iirfilt_rrrf_destroy(static_cast<iirfilt_rrrf>(lowPass_));
}

void BandPass::Process(std::span<float> samples) {
    if (samples.empty()) {
        return;
    }
    const auto n = static_cast<unsigned>(samples.size());
    iirfilt_rrrf_execute_block(static_cast<iirfilt_rrrf>(highPass_), samples.data(), n,
                               samples.data());
    iirfilt_rrrf_execute_block(static_cast<iirfilt_rrrf>(lowPass_), samples.data(), n,
                               samples.data());
}

}  // namespace zk::receive
