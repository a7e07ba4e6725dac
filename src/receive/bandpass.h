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
    // The delay of the data's envelope at the carrier, in samples (for reported times).
    double GroupDelayAtCarrier() const { return groupDelay_; }
    // The phase the filter adds to the carrier, radians (for the polarity).
    double PhaseAtCarrier() const { return phase_; }

  private:
    void* highPass_;
    void* lowPass_;
    double groupDelay_ = 0;
    double phase_ = 0;
};

}  // namespace zk::receive
