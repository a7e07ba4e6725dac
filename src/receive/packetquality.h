// What the decisions make of a packet: its bytes and their checks, how sure the decisions were
// (Eb/N0, margin, the weakest bit), and what the carrier, the sender's clock and the polarity
// were.
#pragma once

#include "bittracking.h"
#include "packetdecoder.h"

namespace zk::receive {

// Bytes from the decisions, most significant bit of byte 0 first; the header and check word
// tested as the repeater tests them.
void DecideBytes(const Bits& bits, Packet& packet);

// Eb/N0 as the decisions see it. The noise is what is left around the signal's own level in
// both parts of the turned-back sums (distortion that the neighbour fit did not take out counts
// as noise); the level is that of the weakest stretch of the packet (a fading path decides by
// its troughs); and a bit pushed further below that level than noise explains lowers the
// estimate to what would put it there.
void MeasureQuality(const std::vector<Complex>& y, const Bits& bits, Packet& packet);

// The carrier over the whole packet (the model plus the slope of the smoothed phases), the
// sender's clock from the bit length, and the polarity of the recording where it can be known:
// the sender's data starts at an upward zero crossing of its sine, so the carrier's phase at the
// first bit tells an inverted wire, unless the path shifted the carrier's frequency.
void MeasureCarrierAndClock(const Bits& bits, const CarrierModel& carrier,
                            const DecodeRequest& request, Packet& packet);

}  // namespace zk::receive
