#include "packetdecoder.h"

#include <algorithm>
#include <cmath>

#include "bittracking.h"
#include "datasync.h"
#include "leadinfit.h"
#include "packetquality.h"
#include "workrate.h"

namespace zk::receive {

namespace {

// More wrong header bits than this at the best start: no packet there.
constexpr int kMaxHeaderMismatches = 3;
// The data starts within this window before the detector's tone end and a little after it.
constexpr double kSearchBeforeSamples = 0.100 * kWorkRate;
constexpr double kSearchAfterSamples = 0.010 * kWorkRate;
// Lead-in samples left out before the detector's tone end, where data may already have begun.
constexpr double kLeadInEndGuardSamples = 0.050 * kWorkRate;
// The longest bit the sender's clock can make, and the share by which the edge fit may still
// stretch the packet beyond the clock search's estimate of it.
constexpr double kLongestBitSamples = kNominalBitSamples * (1 + kMaxClockOffset);
constexpr double kTimingSlack = 0.0005;

}  // namespace

DecodeOutcome DecodePacket(const DecodeRequest& request) {
    DecodeOutcome out;
    const Baseband bb(request.samples, request.firstIndex);
    const double toneStart = static_cast<double>(request.tone.start - request.firstIndex);
    const double toneEnd = static_cast<double>(request.tone.end - request.firstIndex);

    // Find the lead-in: the carrier's frequency and phase, and how clean it is.
    const double leadFrom = std::max(0.0, toneStart);
    const double leadTo = std::min(bb.Size(), toneEnd - kLeadInEndGuardSamples);
    const LeadIn lead = FitLeadIn(bb, leadFrom, leadTo);
    if (lead.blocks < kMinLeadInBlocks || lead.amplitude <= 0) {
        out.kind = DecodeKind::LeadInTooShort;
        return out;
    }
    constexpr double kDataOverLeadIn = double{kDataAmplitude} / kLeadInAmplitude;
    // A block of one bit holds sqrt(Eb) of the lead-in plus complex noise of power N0.
    out.leadInEbN0Db =
        10 * std::log10(std::max(1e-12, lead.amplitude * lead.amplitude * kDataOverLeadIn *
                                            kDataOverLeadIn / lead.noise));
    out.carrierOffsetHz = lead.carrier.Hz() - kCarrierHz;
    out.leadInSamples = lead.blocks * kNominalBitSamples;
    if (std::abs(out.carrierOffsetHz) > kMaxCarrierOffsetHz) {
        out.kind = DecodeKind::NotOnCarrier;
        return out;
    }

    // Find the start of the data by the header, with the bit length the carrier suggests.
    const double headerT = lead.carrier.BitSamples();
    const double searchFrom = std::max(leadFrom + kNominalBitSamples * kLeadInTemplateBits,
                                       toneEnd - kSearchBeforeSamples);
    const double searchTo =
        std::min(toneEnd + kSearchAfterSamples, bb.Size() - kHeaderBits * kLongestBitSamples);
    if (searchTo <= searchFrom) {
        out.kind = DecodeKind::CutOff;
        out.bitsHeard = 0;
        return out;
    }
    const double tau = FindDataStart(bb, lead.carrier, headerT, searchFrom, searchTo);
    const CarrierModel carrier =
        FitCarrierToHeader(bb, lead.carrier, leadFrom, leadTo, tau, headerT);
    out.dataStart = tau;
    out.leadInSamples = tau - toneStart;
    out.headerMismatches = HeaderMismatches(bb, carrier, tau, headerT);
    if (out.headerMismatches > kMaxHeaderMismatches) {
        out.kind = DecodeKind::NoSync;
        return out;
    }
    if (tau + kPacketBits * kLongestBitSamples * (1 + kTimingSlack) > bb.Size()) {
        out.kind = DecodeKind::CutOff;
        out.bitsHeard = static_cast<int>(std::max(0.0, (bb.Size() - tau) / headerT));
        return out;
    }

    // Track: the bit clock over the whole packet, the carrier's phase bit by bit, the edges.
    const TrackedBits tracked = TrackBits(bb, carrier, ChooseBitClock(bb, tau, carrier));
    const Bits& bits = tracked.bits;

    // Decide, check, and say how sure.
    Packet& packet = out.packet;
    DecideBytes(bits, packet);
    MeasureQuality(tracked.sums, bits, packet);
    const LineFit phaseLine = MeasureCarrierAndClock(bits, carrier, packet);
    JudgePolarity(bits, tracked.leak, carrier, phaseLine, request, packet);
    if (const DropoutBits dropout = FindDropout(tracked.sums); dropout.count > 0) {
        const auto first = static_cast<std::size_t>(dropout.first);
        const auto last = first + static_cast<std::size_t>(dropout.count) - 1;
        out.dropoutStart = bits.start[first];
        out.dropoutLength = bits.start[last] + bits.length[last] - bits.start[first];
    }
    out.dataStart = bits.start.front();
    out.dataEnd = bits.start.back() + bits.length.back();
    out.kind = DecodeKind::Packet;
    return out;
}

}  // namespace zk::receive
