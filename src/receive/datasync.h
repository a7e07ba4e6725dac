// Where the data starts and how fast its bits come: the header found after the lead-in, the
// carrier fitted over lead-in and header together, the bit clock over the whole packet.
#pragma once

#include "arraylayout.h"
#include "baseband.h"
#include "packet.h"

namespace zk::receive {

// Bits of the lead-in (all ones, the phase reference) that the start search puts before the
// header, and the header's own bits.
inline constexpr int kLeadInTemplateBits = 8;
inline constexpr int kHeaderBits = 8 * layout::kHeaderBytes;

// The start of the data: the best fit of lead-in end and header, to a fraction of a sample.
double FindDataStart(const Baseband& bb, const CarrierModel& carrier, double T, double from,
                     double to);

// The lead-in and the known header together give a longer phase line than the lead-in.
CarrierModel FitCarrierToHeader(const Baseband& bb, CarrierModel carrier, double leadFrom,
                                double leadTo, double tau, double T);

// Header bits that come out wrong at data start `tau` with bits of `T` samples.
int HeaderMismatches(const Baseband& bb, const CarrierModel& carrier, double tau, double T);

struct BitClock {
    double start = 0;
    double bitSamples = kNominalBitSamples;
};

// The clock the carrier implies when the carrier is off by the sender's clock alone, which the
// lead-in measures far more closely than the data can; the data's own clock when the two
// disagree (a path that shifts the carrier).
BitClock ChooseBitClock(const Baseband& bb, double tau, const CarrierModel& carrier);

}  // namespace zk::receive
