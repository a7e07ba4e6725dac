#include "packetquality.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "_8_CRC.h"
#include "arraylayout.h"
#include "linefit.h"

namespace zk::receive {

namespace {

// The highest Eb/N0 the estimate reports (10^4, 40 dB): a clean channel leaves no spread.
constexpr double kMaxEstimate = 1e4;
// Half-width, in bits, of the stretch over which the signal's own level is measured: long enough
// to average the noise, short enough to follow a fading path.
constexpr int kLevelWindowBits = 32;
// The weakest of the packet's stretches lies about this many of its own deviations below the
// level on a steady path.
constexpr double kStretchSpreads = 1.5;
// The weakest bit of 512 lies about three noise deviations below the level in Gaussian noise;
// one further out than kOutlierBitSpreads was pushed there by something the spread misses.
constexpr double kWeakestBitSpreads = 3.0;
constexpr double kOutlierBitSpreads = 4.5;
// A carrier this far from the one the bit clock implies shows a path that shifts frequencies,
// which leaves the sender's phase unknown.
constexpr double kShiftedCarrierHz = 0.5;
// The carrier's phase at a bit's start, against the sender's, must lie this close to 0 or 180
// degrees for the polarity to count as known (a plain path at 12 dB stays within 15 degrees).
constexpr double kPolarityToleranceRadians = kPi / 6;
// What the receiver's own filters leave of each bit in the one after it and the one before it
// (measured on a plain path at 30 dB, at 16 and 48 kHz alike).
constexpr Complex kOwnLeakBefore{0.0234, -0.0065};
constexpr Complex kOwnLeakAfter{0.002, 0.003};
// How far the neighbours' leak may stray from the receiver's own on a path that is taken for
// plain: noise at 20 dB moves it by up to 0.015; an echo, a notch, a voice band or a tilt moves
// it by 0.035 and more.
constexpr double kPlainPathLeak = 0.022;
// Below this the noise in the leak hides what a path does (at 10 dB a voice band with
// pre-emphasis and a short echo was taken for plain): no polarity is stated.
constexpr double kPolarityMinEbN0Db = 12.0;
// A bit whose sum is below this share of the packet's median strength had no sound in it: at
// the weakest Eb/N0 decoded (about 7 dB) noise takes a bit there about once in 700, and three
// in a row practically never.
constexpr double kDropoutShare = 0.2;

// A straight line through the bits' phases, unwrapped, against their centres.
LineFit PhaseLine(const Bits& bits) {
    std::vector<double> x, y, w;
    double unwrapped = bits.phase[0];
    for (int k = 0; k < kPacketBits; ++k) {
        const auto i = static_cast<std::size_t>(k);
        if (k > 0) {
            unwrapped += std::remainder(bits.phase[i] - bits.phase[i - 1], 2 * kPi);
        }
        x.push_back(bits.start[i] + bits.length[i] / 2);
        y.push_back(unwrapped);
        w.push_back(1.0);
    }
    return FitLine(x, y, w);
}

}  // namespace

void DecideBytes(const Bits& bits, Packet& packet) {
    for (int k = 0; k < kPacketBits; ++k) {
        if (bits.decision[static_cast<std::size_t>(k)] > 0) {
            packet.bytes[static_cast<std::size_t>(k / 8)] |=
                static_cast<std::uint8_t>(0x80u >> (k % 8));
        }
    }
    packet.headerOk =
        std::equal(kTransferHeader.begin(), kTransferHeader.end(), packet.bytes.begin());
    packet.crcReceived = static_cast<std::uint16_t>((packet.bytes[layout::kCheckWordHigh] << 8) |
                                                    packet.bytes[layout::kCheckWordLow]);
    packet.crcComputed = CheckWordOf(packet.bytes);
    packet.crcOk = packet.crcReceived == packet.crcComputed;
}

void MeasureQuality(const std::vector<Complex>& y, const Bits& bits, Packet& packet) {
    const int n = static_cast<int>(y.size());
    std::vector<double> strength(static_cast<std::size_t>(n));
    std::vector<double> running(static_cast<std::size_t>(n) + 1, 0.0);
    for (int k = 0; k < n; ++k) {
        const auto i = static_cast<std::size_t>(k);
        strength[i] = bits.decision[i] * y[i].real();
        running[i + 1] = running[i] + strength[i];
    }
    const auto levelAround = [&](int k) {
        const int lo = std::max(0, k - kLevelWindowBits);
        const int hi = std::min(n, k + kLevelWindowBits + 1);
        return (running[static_cast<std::size_t>(hi)] - running[static_cast<std::size_t>(lo)]) /
               (hi - lo);
    };
    double spread = 0;
    double weakestLevel = running.back() / n;
    for (int k = 0; k < n; ++k) {
        const auto i = static_cast<std::size_t>(k);
        const double level = levelAround(k);
        spread += (strength[i] - level) * (strength[i] - level) + y[i].imag() * y[i].imag();
        if (k >= kLevelWindowBits && k < n - kLevelWindowBits) {
            weakestLevel = std::min(weakestLevel, level);
        }
    }
    const double stretchBits = 2 * kLevelWindowBits + 1;
    const double freedom = 2.0 * n - static_cast<double>(n) / stretchBits;
    const double mean = running.back() / n;
    double noise = std::max(spread / freedom, mean * mean / (2 * kMaxEstimate));
    // The weakest of the stretches is low by its own noise too; what noise alone explains is
    // given back, so that a steady path reads its true level.
    weakestLevel = std::min(mean, weakestLevel + kStretchSpreads * std::sqrt(noise / stretchBits));

    const auto weakest = std::min_element(strength.begin(), strength.end());
    const double weakestStrength = *weakest;
    const int weakestIndex = static_cast<int>(weakest - strength.begin());
    const double below = levelAround(weakestIndex) - weakestStrength;
    if (below > kOutlierBitSpreads * std::sqrt(noise)) {
        const double deviation = below / kWeakestBitSpreads;
        noise = std::max(noise, deviation * deviation);
    }
    packet.ebN0Db =
        10 * std::log10(std::max(1e-12, std::max(0.0, weakestLevel) * weakestLevel / (2 * noise)));
    packet.marginDb = packet.ebN0Db - kRequiredEbN0Db;
    packet.weakestBit = weakestIndex;
    packet.weakestBitConfidence = mean > 0 ? weakestStrength / mean : 0.0;
}

DropoutBits FindDropout(const std::vector<Complex>& y) {
    std::vector<double> strength;
    for (const Complex& sum : y) {
        strength.push_back(std::abs(sum));
    }
    if (strength.empty()) {
        return {};
    }
    std::vector<double> sorted = strength;
    std::nth_element(sorted.begin(),
                     sorted.begin() + static_cast<std::ptrdiff_t>(sorted.size() / 2), sorted.end());
    const double gone = kDropoutShare * sorted[sorted.size() / 2];
    DropoutBits longest;
    int runStart = 0;
    for (int k = 0; k <= static_cast<int>(strength.size()); ++k) {
        const bool weak =
            k < static_cast<int>(strength.size()) && strength[static_cast<std::size_t>(k)] < gone;
        if (weak) {
            continue;
        }
        if (k - runStart > longest.count) {
            longest = {runStart, k - runStart};
        }
        runStart = k + 1;
    }
    return longest.count >= kDropoutMinBits ? longest : DropoutBits{};
}

LineFit MeasureCarrierAndClock(const Bits& bits, const CarrierModel& carrier, Packet& packet) {
    const LineFit fit = PhaseLine(bits);
    CarrierModel whole = carrier;
    whole.omega += fit.slope;
    packet.carrierHz = whole.Hz();
    const double bitSamples = (bits.start.back() + bits.length.back() - bits.start.front()) /
                              static_cast<double>(kPacketBits);
    const double clock = kNominalBitSamples / bitSamples - 1;
    packet.clockOffsetPpm = clock * 1e6;
    packet.carrierShiftHz = packet.carrierHz - kCarrierHz * (1 + clock);
    return fit;
}

void JudgePolarity(const Bits& bits, const NeighbourLeak& leak, const CarrierModel& carrier,
                   const LineFit& fit, const DecodeRequest& request, Packet& packet) {
    // In the baseband of 2 x e^(-j w0 n) the sender's sine has phase -pi/2 - w0 n at the start
    // of every bit of the lead-in's sign (each bit is four whole cycles). Taken at the middle of
    // the packet, where both fitted lines are surest.
    const double start = bits.start[kPacketBits / 2];
    const double observed = carrier.At(start) + fit.intercept + fit.slope * (start - fit.centre);
    const double absolute = static_cast<double>(request.firstIndex) + start - kSampleCentre;
    const double w0 = 2 * kPi / kWorkPerCycle;
    const double expected = -kPi / 2 - std::fmod(w0 * absolute, 2 * kPi);
    const double off = std::remainder(observed - expected - request.carrierPhaseShift, 2 * kPi);
    const double pathLeak =
        std::abs(leak.before - kOwnLeakBefore) + std::abs(leak.after - kOwnLeakAfter);
    packet.polarityInverted = std::cos(off) < 0;
    packet.polarityKnown = std::abs(std::remainder(off, kPi)) < kPolarityToleranceRadians &&
                           std::abs(packet.carrierShiftHz) < kShiftedCarrierHz &&
                           pathLeak < kPlainPathLeak && packet.ebN0Db >= kPolarityMinEbN0Db;
}

}  // namespace zk::receive
