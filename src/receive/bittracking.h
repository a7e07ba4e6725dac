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

// What the bit before and the bit after leak into a bit, each as a share of the bit's own sum
// (turned back by its phase). A plain path leaves both near 0; a filter that turns the phase
// across the band leaves a share at right angles to the bit, an echo or a notch a large one.
struct NeighbourLeak {
    Complex before;
    Complex after;
};

// The bits of the packet laid from `clock` and followed to the end: their decisions, and each
// bit's sum turned back by its phase with its neighbours' leak taken out.
struct TrackedBits {
    Bits bits;
    std::vector<Complex> sums;
    NeighbourLeak leak;
};
TrackedBits TrackBits(const Baseband& bb, const CarrierModel& carrier, const BitClock& clock);

}  // namespace zk::receive
