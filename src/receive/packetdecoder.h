// The fine work on one stretch of the recording where the tone detector heard a tone: the
// lead-in gives the carrier's frequency and phase (the phase reference for every bit, so the
// polarity of the recording does not matter), the known first 32 bits give the start of the
// data, then one integrate-and-dump per bit with carrier phase and bit clock tracked from the
// decisions.
#pragma once

#include <cstdint>
#include <span>

#include "packet.h"
#include "tonedetector.h"

namespace zk::receive {

struct DecodeRequest {
    std::span<const float> samples;  // working rate, band-passed
    std::int64_t firstIndex = 0;     // working-rate index of samples[0]
    ToneSpan tone;                   // where the detector heard the tone
    // The phase that the band-pass filter adds to the carrier relative to the data's envelope
    // (radians); only the polarity uses it.
    double carrierPhaseShift = 0;
};

enum class DecodeKind {
    Packet,          // 512 bits decided
    LeadInTooShort,  // too little steady tone to take a phase reference from
    NotOnCarrier,    // a steady tone, but too far from 1000 Hz
    NoSync,          // a tone, but the first 32 bits after it are not the header
    CutOff,          // the stretch ends before the last bit
};

// Positions below count sample n as the stretch [n, n + 1): the instant of position p, in the
// samples' own time, is p - kSampleCentre.
inline constexpr double kSampleCentre = 0.5;

struct DecodeOutcome {
    DecodeKind kind = DecodeKind::NoSync;
    Packet packet;               // for Packet; times and levels are the caller's to fill in
    double dataStart = 0;        // working-rate index of the first bit (fractional)
    double dataEnd = 0;          // just after the last bit
    double leadInEbN0Db = 0;     // estimated from the lead-in alone, scaled to the data's level
    double leadInSamples = 0;    // steady tone heard before the data
    int headerMismatches = 0;    // of the 32 header bits at the best start found
    int bitsHeard = 0;           // for CutOff: whole bits before the stretch ended
    double carrierOffsetHz = 0;  // the lead-in's frequency off 1000 Hz
    // For Packet: the longest run of bits the sound was gone from (FindDropout), as working-rate
    // indices like dataStart; no length when there was none.
    double dropoutStart = 0;
    double dropoutLength = 0;
};

DecodeOutcome DecodePacket(const DecodeRequest& request);

}  // namespace zk::receive
