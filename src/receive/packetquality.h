// What the decisions make of a packet: its bytes and their checks, how sure the decisions were
// (Eb/N0, margin, the weakest bit), and what the carrier, the sender's clock and the polarity
// were.
#pragma once

#include "bittracking.h"
#include "linefit.h"
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

// The longest run of bits whose sums fell below a fifth of the packet's median strength, at
// least kDropoutMinBits long: the sound was gone there (a cable, a squelch or a receiver's power
// saving), which noise alone does not do to three bits in a row. The first bit and the count;
// a count of 0 when there was none.
struct DropoutBits {
    int first = 0;
    int count = 0;
};
inline constexpr int kDropoutMinBits = 3;
DropoutBits FindDropout(const std::vector<Complex>& y);

// The carrier over the whole packet (the model plus the slope of the smoothed phases), and the
// sender's clock from the bit length. Returns the line through the bits' phases it fitted.
LineFit MeasureCarrierAndClock(const Bits& bits, const CarrierModel& carrier, Packet& packet);

// The polarity of the recording where it can be known: the sender's data starts at an upward
// zero crossing of its sine, so the carrier's phase at a bit's start tells an inverted wire. A
// path that turns the phase across the band (a voice band with pre-emphasis, an echo, a notch)
// can turn it to near 180 degrees as well, and no phase tells the two apart; so the polarity is
// stated only for a path that shows none of that: carrier not shifted, bits that leak into
// their neighbours no more than the receiver's own filters make them, and a packet clean enough
// to measure it. Needs MeasureQuality's Eb/N0, and MeasureCarrierAndClock's shift and phase line.
void JudgePolarity(const Bits& bits, const NeighbourLeak& leak, const CarrierModel& carrier,
                   const LineFit& phaseLine, const DecodeRequest& request, Packet& packet);

}  // namespace zk::receive
