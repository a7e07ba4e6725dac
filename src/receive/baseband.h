// The stretch of working-rate samples that the decoder works on, as complex baseband at the
// carrier, and the carrier as a straight phase line: the two things every step of the decoder
// measures with.
#pragma once

#include <complex>
#include <cstdint>
#include <numbers>
#include <span>
#include <vector>

#include "workrate.h"

namespace zk::receive {

using Complex = std::complex<double>;
inline constexpr double kPi = std::numbers::pi;

// The complex baseband 2 x[n] e^(-j 2 pi n / 8) as running sums, so that the sum over any
// stretch, with fractional ends, costs two look-ups. Sample n stands for [n, n + 1), so an
// edge found at position p lies at the instant p - kSampleCentre.
class Baseband {
  public:
    Baseband(std::span<const float> x, std::int64_t firstIndex);
    double Size() const { return static_cast<double>(prefix_.size() - 1); }
    Complex Sum(double from, double to) const { return At(to) - At(from); }

  private:
    Complex At(double t) const;
    std::vector<Complex> prefix_;
};

// The carrier as a straight phase line: theta(t) = phase + omega (t - ref), omega in radians
// per sample off the 1000 Hz of the mixer.
struct CarrierModel {
    double ref = 0;
    double phase = 0;
    double omega = 0;
    double At(double t) const { return phase + omega * (t - ref); }
    double Hz() const { return kCarrierHz + omega * kWorkRate / (2 * kPi); }
    // The bit length the sender's clock gives when the carrier is off by that clock alone.
    double BitSamples() const { return 4.0 * kWorkRate / Hz(); }
};

// The bit sum over [start, start + length) turned back by the carrier model at its centre.
Complex BitSum(const Baseband& bb, const CarrierModel& carrier, double start, double length);

}  // namespace zk::receive
