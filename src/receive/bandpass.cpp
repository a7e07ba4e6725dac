#include "bandpass.h"

#include <cmath>
#include <complex>
#include <numbers>
// liquid.h declares its complex types from <complex> when compiled as C++.
#include <liquid/liquid.h>

#include "_5FormFM.h"

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

}  // namespace

BandPass::BandPass(double sampleRate)
    : highPass_(Section(LIQUID_IIRDES_HIGHPASS, kLowEdgeHz, sampleRate)),
      lowPass_(Section(LIQUID_IIRDES_LOWPASS, kHighEdgeHz, sampleRate)) {
    auto* high = static_cast<iirfilt_rrrf>(highPass_);
    auto* low = static_cast<iirfilt_rrrf>(lowPass_);
    const double f0 = kCarrierHz / sampleRate;
    const double step = 5.0 / sampleRate;
    phase_ = PhaseAt(high, low, f0);
    double dphi = PhaseAt(high, low, f0 + step) - PhaseAt(high, low, f0 - step);
    dphi = std::remainder(dphi, 2 * std::numbers::pi);
    groupDelay_ = -dphi / (2 * std::numbers::pi * 2 * step);
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
