// The decoder's steps one at a time, on synthetic signals whose answers are known: the shared
// line fit, the lead-in's carrier, where the data starts, which bit clock is taken, where the
// tracked edges rest, what the neighbours' leak leaves, and the Eb/N0 read. A step that is
// slightly wrong still decodes most recordings, so the whole-decoder tests cannot see it; here its
// own answer is checked.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <vector>

#include "bittracking.h"
#include "datasync.h"
#include "leadinfit.h"
#include "linefit.h"
#include "packetdecoder.h"
#include "packetquality.h"

namespace zk::receive {
namespace {

constexpr double kLeadInSamples = 2000.0;

// How many samples a phase reversal takes: a band-limited path rounds it, and only a rounded
// reversal can lie between two samples.
constexpr double kReversalSamples = 1.5;

// A keyed carrier at the working rate, sample n taken at the instant n: the lead-in (sign +1)
// until `start`, then `bits` (1: +1, 0: -1) of `bitSamples` each, each reversal rounded over
// about kReversalSamples, then silence. The carrier runs `carrierScale` times its 1000 Hz (a
// sender's clock off by that much), and each sample gets `echo` times the one `echoDelay`
// samples before it (a path that smears each bit into the next).
std::vector<float> Keyed(const std::vector<int>& bits, double start, double bitSamples,
                         double carrierScale = 1.0, double echo = 0.0, int echoDelay = 0) {
    const auto sign = [&](int k) {
        return k < 0 ? 1.0 : bits[static_cast<std::size_t>(k)] ? 1.0 : -1.0;
    };
    const double end = start + static_cast<double>(bits.size()) * bitSamples;
    const std::size_t length = static_cast<std::size_t>(end + 400);
    std::vector<double> x(length);
    for (std::size_t n = 0; n < length; ++n) {
        const double t = static_cast<double>(n);
        if (t >= end) {
            break;
        }
        // The nearest bit boundary decides the shape: the bits on either side of it, blended.
        const int k = static_cast<int>(std::floor((t - start) / bitSamples + 0.5));
        const double boundary = start + k * bitSamples;
        const double before = sign(std::min(k - 1, static_cast<int>(bits.size()) - 1));
        const double after =
            k < static_cast<int>(bits.size()) ? sign(k) : sign(static_cast<int>(bits.size()) - 1);
        const double blend = 0.5 * (1 + std::tanh((t - boundary) / kReversalSamples));
        const double level = k <= -1 ? 1.0 : before + (after - before) * blend;
        x[n] = 0.5 * level * std::cos(2 * std::numbers::pi * carrierScale * t / kWorkPerCycle);
    }
    std::vector<float> out(length);
    for (std::size_t n = 0; n < length; ++n) {
        const double earlier = n >= static_cast<std::size_t>(echoDelay) && echo != 0
                                   ? x[n - static_cast<std::size_t>(echoDelay)]
                                   : 0.0;
        out[n] = static_cast<float>(x[n] + echo * earlier);
    }
    return out;
}

// The packet's 512 bits: the header, then random bits with the seed's pattern.
std::vector<int> PacketBits(unsigned seed, int firstDataBit) {
    std::vector<int> bits;
    for (int k = 0; k < kHeaderBits; ++k) {
        bits.push_back((kTransferHeader[static_cast<std::size_t>(k / 8)] >> (7 - k % 8)) & 1);
    }
    std::mt19937 random(seed);
    while (static_cast<int>(bits.size()) < kPacketBits) {
        bits.push_back(static_cast<int>(random() & 1));
    }
    bits[0] = firstDataBit;
    return bits;
}

// The carrier as the lead-in gives it: its phase measured, its rate known.
CarrierModel LeadInCarrier(const Baseband& bb, double carrierScale = 1.0) {
    CarrierModel carrier;
    carrier.ref = kLeadInSamples / 2;
    carrier.omega = 2 * std::numbers::pi * (carrierScale - 1) / kWorkPerCycle;
    carrier.phase = std::arg(bb.Sum(carrier.ref - 400, carrier.ref + 400));
    return carrier;
}

// Where the data starts, to a fraction of a sample: a start between two samples is found between
// them, on the side it lies (the refinement of the best whole sample goes the right way).
TEST(DecoderSteps, TheDataStartIsFoundToAFractionOfASample) {
    const std::vector<int> bits = PacketBits(7, 0);
    for (const double fraction : {0.0, 0.25, 0.4, 0.6, 0.75}) {
        SCOPED_TRACE(fraction);
        const double start = kLeadInSamples + fraction;
        const std::vector<float> x = Keyed(bits, start, kNominalBitSamples);
        const Baseband bb(x, 0);
        const CarrierModel carrier = LeadInCarrier(bb);
        const double tau = FindDataStart(bb, carrier, kNominalBitSamples, start - 40, start + 40);
        EXPECT_NEAR(tau, start + kSampleCentre, 0.25);
    }
}

// A sender whose clock is off by 0.113 %: the carrier's offset implies the bit length more
// closely than the data can measure it, so when the data's own clock agrees (as a ratio, within
// two search steps) the carrier's is taken, exactly.
TEST(DecoderSteps, TheCarriersClockIsTakenWhenTheDataAgrees) {
    const double scale = 1.00113;  // between two of the clock search's steps
    const std::vector<int> bits = PacketBits(11, 1);
    const double bitSamples = kNominalBitSamples / scale;
    const std::vector<float> x = Keyed(bits, kLeadInSamples, bitSamples, scale);
    const Baseband bb(x, 0);
    const CarrierModel carrier = LeadInCarrier(bb, scale);
    const BitClock clock = ChooseBitClock(bb, kLeadInSamples + kSampleCentre, carrier);
    EXPECT_DOUBLE_EQ(clock.bitSamples, carrier.BitSamples());
    EXPECT_NEAR(clock.bitSamples, bitSamples, 1e-6);
}

// A path that smears each bit into the next (an echo half a bit late): what the bit before
// leaks in is taken out, so every bit's sum comes out the same size; taking out the bit after's
// instead would leave the echo in.
TEST(DecoderSteps, TheLeakOfTheBitBeforeIsTakenOut) {
    const std::vector<int> bits = PacketBits(31, 1);
    const int halfBit = static_cast<int>(kNominalBitSamples / 2);
    const std::vector<float> x = Keyed(bits, kLeadInSamples, kNominalBitSamples, 1.0, 0.5, halfBit);
    const Baseband bb(x, 0);
    const CarrierModel carrier = LeadInCarrier(bb);
    const TrackedBits tracked =
        TrackBits(bb, carrier, {kLeadInSamples + kSampleCentre, kNominalBitSamples});
    double sum = 0;
    double squares = 0;
    for (int k = 1; k < kPacketBits - 1; ++k) {
        const auto i = static_cast<std::size_t>(k);
        const double size = tracked.sums[i].real() * tracked.bits.decision[i];
        sum += size;
        squares += size * size;
    }
    const double count = kPacketBits - 2;
    const double mean = sum / count;
    const double spread = std::sqrt(std::max(0.0, squares / count - mean * mean));
    EXPECT_GT(mean, 0);
    EXPECT_LT(spread / mean, 0.05) << "the sums differ by the neighbours' leak";
}

// The edges followed through the packet: laid from a clock a third of a sample early or late,
// the tracked bits come to rest on the true edges, whichever bit the data begins with (the
// lead-in counts as a one, so a packet that begins with a one has no reversal at its start).
TEST(DecoderSteps, TheTrackedEdgesComeToRestOnTheTrueOnes) {
    for (const int firstDataBit : {0, 1}) {
        const std::vector<int> bits = PacketBits(5, firstDataBit);
        const double start = kLeadInSamples + 0.4;
        const std::vector<float> x = Keyed(bits, start, kNominalBitSamples);
        const Baseband bb(x, 0);
        const CarrierModel carrier = LeadInCarrier(bb);
        for (const double offset : {-0.33, 0.33}) {
            SCOPED_TRACE(testing::Message() << firstDataBit << " " << offset);
            const TrackedBits tracked =
                TrackBits(bb, carrier, {start + kSampleCentre + offset, kNominalBitSamples});
            for (const int k : {0, kPacketBits - 1}) {
                const double edge = start + kSampleCentre + k * kNominalBitSamples;
                EXPECT_NEAR(tracked.bits.start[static_cast<std::size_t>(k)], edge, 0.1) << k;
            }
        }
    }
}

// The shared fits: a weighted line ignores what has no weight, and the median of an even count is
// the upper middle value.
TEST(DecoderSteps, TheLineFitWeighsItsPointsAndTheMedianTakesTheUpperMiddle) {
    const std::vector<double> x{0, 1, 2, 3, 4, 5};
    const std::vector<double> y{1, 3, 5, 7, 100, -50};  // y = 2x + 1, two points far off
    const std::vector<double> w{1, 1, 2, 1, 0, 0};
    const LineFit fit = FitLine(x, y, w);
    EXPECT_DOUBLE_EQ(fit.slope, 2.0);
    EXPECT_DOUBLE_EQ(fit.centre, 8.0 / 5.0);
    EXPECT_DOUBLE_EQ(fit.intercept, 2 * fit.centre + 1);
    EXPECT_EQ(Median({4, 1, 3, 2}), 3);
}

// The carrier from a lead-in 20 Hz off 1000 Hz: its frequency and its phase along the tone, from
// the blocks' centres.
TEST(DecoderSteps, TheLeadInFitFindsTheCarriersFrequencyAndPhase) {
    const double offsetHz = 20;
    const double phase = 0.7;
    std::vector<float> x(4000);
    for (std::size_t n = 0; n < x.size(); ++n) {
        const double t = static_cast<double>(n);
        x[n] = static_cast<float>(
            0.5 * std::cos(2 * std::numbers::pi * (kCarrierHz + offsetHz) * t / kWorkRate + phase));
    }
    const Baseband bb(x, 0);
    const LeadIn lead = FitLeadIn(bb, 200, 3800);
    EXPECT_NEAR(lead.carrier.Hz(), kCarrierHz + offsetHz, 0.01);
    // The baseband of 2 x e^(-j w0 n) turns at the offset, from the tone's own phase; a sample
    // stands for [n, n + 1), so the phase at position p is that of the instant p - 1/2.
    const double omega = 2 * std::numbers::pi * offsetHz / kWorkRate;
    for (const double p : {400.0, 2000.0, 3600.0}) {
        const double expected = phase + omega * (p - kSampleCentre);
        EXPECT_NEAR(std::remainder(lead.carrier.At(p) - expected, 2 * std::numbers::pi), 0, 0.02)
            << p;
    }
}

// Eb/N0 from the decisions: bit sums of a known size in complex Gaussian noise of a known spread
// read back within a few tenths of a dB, on a steady path at 10 and at 20 dB.
TEST(DecoderSteps, TheQualityEstimateReadsTheNoiseItWasGiven) {
    for (const double ebN0Db : {10.0, 20.0}) {
        std::mt19937 random(3);
        const double size = 10;
        std::normal_distribution<double> noise(0, size / std::sqrt(2 * std::pow(10, ebN0Db / 10)));
        std::vector<Complex> y;
        Bits bits;
        for (int k = 0; k < kPacketBits; ++k) {
            const double sent = (random() & 1) ? 1 : -1;
            y.emplace_back(sent * size + noise(random), noise(random));
            bits.decision.push_back(y.back().real() >= 0 ? 1 : -1);
        }
        Packet packet;
        MeasureQuality(y, bits, packet);
        EXPECT_NEAR(packet.ebN0Db, ebN0Db, 0.4);
        EXPECT_NEAR(packet.marginDb, ebN0Db - kRequiredEbN0Db, 0.4);
    }
}

}  // namespace
}  // namespace zk::receive
