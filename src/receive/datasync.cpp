#include "datasync.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "arraylayout.h"
#include "linefit.h"

namespace zk::receive {

namespace {

// The bit clock search: clock offsets in steps that move the last bit by four samples (four
// times that in the first, coarse search), starts up to four samples either side of the
// header's.
constexpr double kClockStep = 0.00025;
constexpr int kCoarseClockSteps = 4;
constexpr int kStartSpreadSamples = 4;
// The data's clock and the one the carrier implies agree when this close (two steps of the search).
constexpr double kClockAgreement = 2 * kClockStep;

int HeaderBit(int k) {
    return (kTransferHeader[static_cast<std::size_t>(k / 8)] >> (7 - k % 8)) & 1;
}

// How well the lead-in's last bits and the header fit at data start `tau`: the template's bits
// summed coherently in chunks of one byte and the chunk magnitudes added, so that a carrier
// phase drifting over the template does not spoil the measure.
double StartMetric(const Baseband& bb, const CarrierModel& carrier, double tau, double T) {
    double metric = 0;
    Complex chunk{};
    for (int k = -kLeadInTemplateBits; k < kHeaderBits; ++k) {
        const double sign = k < 0 || HeaderBit(k) ? 1.0 : -1.0;
        chunk += sign * BitSum(bb, carrier, tau + k * T, T);
        if ((k + kLeadInTemplateBits) % 8 == 7) {
            metric += std::abs(chunk);
            chunk = {};
        }
    }
    return metric;
}

// The energy of the packet's bit sums laid from `start` at `bitSamples` a bit.
double PacketEnergy(const Baseband& bb, double start, double bitSamples) {
    double energy = 0;
    for (int k = 0; k < kPacketBits; ++k) {
        energy += std::norm(bb.Sum(start + k * bitSamples, start + (k + 1) * bitSamples));
    }
    return energy;
}

// The best of a grid of clock offsets and starts around `around`.
BitClock BestOfGrid(const Baseband& bb, const BitClock& around, double offsetSpan,
                    double offsetStep, int startSpan, int startStep) {
    BitClock best = around;
    double bestEnergy = -1;
    const double centre = kNominalBitSamples / around.bitSamples - 1;
    for (double offset = centre - offsetSpan; offset <= centre + offsetSpan + 1e-12;
         offset += offsetStep) {
        const double T = kNominalBitSamples / (1 + offset);
        for (int shift = -startSpan; shift <= startSpan; shift += startStep) {
            const double energy = PacketEnergy(bb, around.start + shift, T);
            if (energy > bestEnergy) {
                bestEnergy = energy;
                best = {around.start + shift, T};
            }
        }
    }
    return best;
}

// The sender's bit clock over the whole packet, apart from its carrier (a path may shift the
// carrier): the start and bit length at which the bit sums hold the most energy. A window that
// straddles a phase reversal loses energy, so wrong timing shows wherever the data changes.
// Coarse steps over every clock a sound card may have, then fine ones around the best.
BitClock FitBitClock(const Baseband& bb, double tau) {
    const BitClock coarse = BestOfGrid(bb, {tau, kNominalBitSamples}, kMaxClockOffset,
                                       kCoarseClockSteps * kClockStep, kStartSpreadSamples, 2);
    return BestOfGrid(bb, coarse, kCoarseClockSteps * kClockStep, kClockStep, 1, 1);
}

}  // namespace

double FindDataStart(const Baseband& bb, const CarrierModel& carrier, double T, double from,
                     double to) {
    double best = -1;
    double tau = from;
    for (double t = std::floor(from); t <= to; t += 1.0) {
        const double m = StartMetric(bb, carrier, t, T);
        if (m > best) {
            best = m;
            tau = t;
        }
    }
    const double before = StartMetric(bb, carrier, tau - 1, T);
    const double after = StartMetric(bb, carrier, tau + 1, T);
    const double curve = before - 2 * best + after;
    if (curve < 0) {
        tau += std::clamp(0.5 * (before - after) / curve, -0.5, 0.5);
    }
    return tau;
}

CarrierModel FitCarrierToHeader(const Baseband& bb, CarrierModel carrier, double leadFrom,
                                double leadTo, double tau, double T) {
    std::vector<double> x, y, w;
    for (double s = leadFrom; s + kNominalBitSamples <= std::min(leadTo, tau);
         s += kNominalBitSamples) {
        const Complex r = BitSum(bb, carrier, s, kNominalBitSamples);
        x.push_back(s + kNominalBitSamples / 2);
        y.push_back(std::arg(r));
        w.push_back(std::abs(r));
    }
    for (int k = 0; k < kHeaderBits; ++k) {
        const Complex r = (HeaderBit(k) ? 1.0 : -1.0) * BitSum(bb, carrier, tau + k * T, T);
        x.push_back(tau + (k + 0.5) * T);
        y.push_back(std::arg(r));
        w.push_back(std::abs(r));
    }
    const LineFit fit = FitLine(x, y, w);
    carrier.phase = carrier.At(fit.centre) + fit.intercept;
    carrier.omega += fit.slope;
    carrier.ref = fit.centre;
    return carrier;
}

int HeaderMismatches(const Baseband& bb, const CarrierModel& carrier, double tau, double T) {
    int wrong = 0;
    for (int k = 0; k < kHeaderBits; ++k) {
        const int bit = BitSum(bb, carrier, tau + k * T, T).real() >= 0 ? 1 : 0;
        wrong += bit != HeaderBit(k);
    }
    return wrong;
}

BitClock ChooseBitClock(const Baseband& bb, double tau, const CarrierModel& carrier) {
    const BitClock found = FitBitClock(bb, tau);
    const double implied = carrier.BitSamples();
    if (std::abs(found.bitSamples / implied - 1) <= kClockAgreement) {
        return {tau, implied};
    }
    return found;
}

}  // namespace zk::receive
