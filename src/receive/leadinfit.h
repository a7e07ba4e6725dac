// The carrier from the lead-in: its frequency and phase, and how clean the tone is, robust to a
// disturbed onset (a codec, an AGC, a squelch that opens late).
#pragma once

#include "baseband.h"

namespace zk::receive {

// Lead-in blocks of one nominal bit needed for a phase reference, 32 ms (the shortest lead-in
// that still decodes is about 40 ms; the detector's edges eat into it).
inline constexpr int kMinLeadInBlocks = 8;

struct LeadIn {
    CarrierModel carrier;
    double amplitude = 0;  // per nominal bit
    double noise = 0;      // mean squared complex residual per nominal bit
    int blocks = 0;        // blocks the fit kept
};

// Frequency and phase of the steady tone in [from, to): one-bit blocks, their phase step for a
// first frequency, then a straight line through the phases, fitted twice so that blocks the
// first fit shows to be disturbed do not pull the second.
LeadIn FitLeadIn(const Baseband& bb, double from, double to);

}  // namespace zk::receive
