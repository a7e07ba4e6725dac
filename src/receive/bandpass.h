// The voice band at the working rate (liquid-dsp Butterworth sections): takes away DC, mains
// hum and the noise far from the carrier before the tone detector measures its share.
#pragma once

#include <span>

namespace zk::receive {

class BandPass {
  public:
    explicit BandPass(double sampleRate);
    ~BandPass();
    BandPass(const BandPass&) = delete;
    BandPass& operator=(const BandPass&) = delete;

    void Process(std::span<float> samples);  // in place
    // How much later a phase reversal of the carrier comes out, in samples, as the decoder's
    // edge fit finds it (the half bit around it sums to nothing): for reported times and for
    // the carrier's phase at a bit's start. Somewhat more than the group delay, since the
    // sections do not delay both sides of a reversal alike.
    double ReversalDelay() const { return reversalDelay_; }
    // The phase the filter adds to the carrier, radians (for the polarity).
    double PhaseAtCarrier() const { return phase_; }

  private:
    void* highPass_;
    void* lowPass_;
    double reversalDelay_ = 0;
    double phase_ = 0;
};

}  // namespace zk::receive
