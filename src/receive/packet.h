// What the receiving side reports: one record per packet heard, the level for a live display,
// and, when no packet was heard whole, the reasons in words the operator can act on.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "_2GL.h"
#include "workrate.h"

namespace zk::receive {

struct Packet {
    std::array<std::uint8_t, kTransferSize> bytes{};
    bool headerOk = false;            // bytes 0..3 are 7F 04 01 01
    bool crcOk = false;               // bytes 61, 62 hold the check word of bytes 0..60
    std::uint16_t crcReceived = 0;    // bytes 61 (high) and 62 (low) as heard
    std::uint16_t crcComputed = 0;    // the check word of bytes 0..60 as heard
    double startSeconds = 0;          // first data bit, seconds from the start of the recording
    double endSeconds = 0;            // just after the last bit
    double leadInSeconds = 0;         // how much of the lead-in tone was heard before the data
    double ebN0Db = 0;                // estimated energy per bit over noise density
    double marginDb = 0;              // ebN0Db minus what this decoder needs for 99 % packets
    double weakestBitConfidence = 0;  // smallest bit amplitude over the mean one (1 = clean)
    int weakestBit = 0;               // its index 0..511, most significant bit of byte 0 first
    double carrierHz = 0;             // the carrier as measured against the recording's clock
    double clockOffsetPpm = 0;        // sender's clock against the recorder's, from the bit clock
    double carrierShiftHz = 0;        // carrier off what that clock makes it: a shifting path
    bool polarityKnown = false;       // the path left the sender's phase readable
    bool polarityInverted = false;    // (when known) the wire turns the sender's sine over
    double peakDbfs = 0;              // highest input level over the packet
    bool clipped = false;             // input samples at full scale during the packet

    // A whole packet: the programmer's header and a check word that matches the bytes. Whether
    // its settings make sense is the packet verdict's question (packetcheck's PacketVerdict).
    bool HeaderAndCheckWordRight() const { return headerOk && crcOk; }
};

// For a live level display; covers the input since the previous TakeLevel().
struct LevelStatus {
    double peakDbfs = -200;  // kSilenceDbfs (leveltext.h) for digital silence
    bool clipping = false;   // samples at full scale
    bool tooQuiet = false;   // peak below kTooQuietDbfs
    bool toneHeard = false;  // a steady 1000 Hz tone (a lead-in) is on the air now
    // 1..512 while a packet's data is coming in: the bit on the air now, counted from the end of
    // its lead-in; 0 between packets. A steady run of equal bits inside the data is no lead-in.
    int dataBit = 0;
};

inline constexpr double kTooQuietDbfs = -50.0;

// Why a recording gave no whole packet, each reason with the numbers it speaks of; the words
// are the reader's (the command line's English, the monitor's translations).
enum class Problem {
    NoTone,         // no 1000 Hz tone anywhere
    NoLeadIn,       // nothing steady at 1000 Hz as long as a lead-in
    OffCarrier,     // a steady tone, its carrier `carrierOffsetHz` off 1000 Hz: too far to follow
    PitchWandered,  // a clean tone whose pitch wandered (wow), no packet readable after it
    ToneNoData,     // a lead-in, but no packet readable after it
    DataCutOff,     // the recording ends `count` bits into a packet
    TooNoisy,       // the lead-in's or the data's Eb/N0, `ebN0Db`, is below what is needed
    BadPackets,     // `count` packets heard, none with header and check word right
    Overlap,        // a packet began inside another one: two transmissions at once
    Distorted,      // a clean lead-in (`leadInEbN0Db`), spoiled data (`ebN0Db`)
    Dropout,        // the sound was gone for `count` ms, `atSeconds` into the recording
    NotNumbers,     // `count` samples are NaN or infinite
    Silent,         // every sample is zero
    TooQuiet,       // the peak level, `peakDbfs`, far below full scale
    Clipping,       // `count` samples at full scale
};

struct Finding {
    Problem problem;
    long long count = 0;
    double ebN0Db = 0;
    double leadInEbN0Db = 0;
    double carrierOffsetHz = 0;  // + above 1000 Hz
    double peakDbfs = 0;
    double atSeconds = 0;
};

// How long to record past the end of the lead-in so that a packet at the slowest sender's
// clock is whole, and a little more.
inline constexpr double kRecordPastLeadInSeconds =
    kPacketBits * kNominalBitSamples * (1 + kMaxClockOffset) / kWorkRate + 0.05;

// Why no whole packet came out (empty findings when at least one did; clipping is reported
// even then, since it costs margin).
struct Diagnosis {
    std::vector<Finding> findings;
    bool Has(Problem problem) const;
};

}  // namespace zk::receive
