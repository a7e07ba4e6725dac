// The voice band at the working rate: takes away DC, mains hum and the noise far from the
// carrier before the tone detector measures its share. Butterworth sections designed by
// liquid-dsp, run here in one tight loop (the whole input passes through it, and liquid's
// general filter object costs several times as much per sample).
#pragma once

#include <array>
#include <complex>
#include <span>

namespace zk::receive {

// One second-order section, transposed direct form II, in double so that a constant input
// leaves no residue that could look like a tone.
struct Biquad {
    std::array<double, 3> b{};
    std::array<double, 2> a{};  // a1, a2 (a0 is 1)
    double z1 = 0;
    double z2 = 0;

    double Step(double x) {
        const double y = b[0] * x + z1;
        z1 = b[1] * x - a[0] * y + z2;
        z2 = b[2] * x - a[1] * y;
        return y;
    }
    // The response at `cyclesPerSample` (0..0.5).
    std::complex<double> Response(double cyclesPerSample) const;
};

class BandPass {
  public:
    explicit BandPass(double sampleRate);

    void Process(std::span<float> samples);  // in place
    // How much later a phase reversal of the carrier comes out, in samples, as the decoder's
    // edge fit finds it (the half bit around it sums to nothing): for reported times and for
    // the carrier's phase at a bit's start. Somewhat more than the group delay, since the
    // sections do not delay both sides of a reversal alike.
    double ReversalDelay() const { return reversalDelay_; }
    // The phase the filter adds to the carrier, radians (for the polarity).
    double PhaseAtCarrier() const { return phase_; }

  private:
    std::array<Biquad, 2> sections_;  // high-pass, low-pass
    double reversalDelay_ = 0;
    double phase_ = 0;
};

}  // namespace zk::receive
