// Following the packet bit by bit: a carrier loop for the first decisions, then rounds of edge
// fitting and phase smoothing, then each bit freed of what its neighbours leak into it.
#pragma once

#include <vector>

#include "baseband.h"
#include "datasync.h"

namespace zk::receive {

struct Bits {
    std::vector<double> start;   // position of each bit
    std::vector<double> length;  // its length
    std::vector<Complex> sum;    // bit sum, turned back by the carrier model only
    std::vector<double> phase;   // phase correction on top of the model
    std::vector<int> decision;   // +1 or -1
};

// The bits of the packet laid from `clock` and followed to the end: their decisions, and each
// bit's sum turned back by its phase with its neighbours' leak taken out.
struct TrackedBits {
    Bits bits;
    std::vector<Complex> sums;
};
TrackedBits TrackBits(const Baseband& bb, const CarrierModel& carrier, const BitClock& clock);

}  // namespace zk::receive
