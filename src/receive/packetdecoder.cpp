#include "packetdecoder.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>
#include <vector>

#include "_8_CRC.h"
#include "arraylayout.h"
#include "workrate.h"

namespace zk::receive {

namespace {

using Complex = std::complex<double>;
constexpr double kPi = std::numbers::pi;

// Bits of the lead-in (all ones, the phase reference) that the start search puts before the
// header, and the header's own bits.
constexpr int kLeadInTemplateBits = 8;
constexpr int kHeaderBits = 8 * layout::kHeaderBytes;
// More wrong header bits than this at the best start: no packet there.
constexpr int kMaxHeaderMismatches = 3;
// Lead-in blocks of one nominal bit needed for a phase reference (the shortest lead-in that
// still decodes is 0.1 s; the detector's edges eat into it).
constexpr int kMinLeadInBlocks = 8;
// The data starts within this window before the detector's tone end and a little after it.
constexpr double kSearchBeforeSamples = 0.100 * kWorkRate;
constexpr double kSearchAfterSamples = 0.010 * kWorkRate;
// Lead-in samples left out before the detector's tone end, where data may already have begun.
constexpr double kLeadInEndGuardSamples = 0.050 * kWorkRate;
// Lead-in samples left out after the tone's start, when the lead-in is long enough to spare
// them: a speech codec, an AGC or a squelch opening disturbs a tone's first milliseconds.
constexpr double kLeadInOnsetGuardSamples = 0.040 * kWorkRate;
// Lead-in blocks whose magnitude lies outside this share of the typical one, or whose phase lies
// further than kOutlierSpreads times the blocks' spread from the fitted line (and at least
// kOutlierFloorRadians), are taken for disturbances and left out of the carrier fit.
constexpr double kBlockMagnitudeLow = 0.25;
constexpr double kBlockMagnitudeHigh = 2.5;
constexpr double kOutlierSpreads = 3.0;
constexpr double kOutlierFloorRadians = 0.3;
// The longest bit the sender's clock can make, and the share by which the edge fit may still
// stretch the packet beyond the clock search's estimate of it.
constexpr double kLongestBitSamples = kNominalBitSamples * (1 + kMaxClockOffset);
constexpr double kTimingSlack = 0.0005;
// The bit clock search: clock offsets in steps that move the last bit by four samples (four
// times that in the first, coarse search), starts up to four samples either side of the
// header's.
constexpr double kClockStep = 0.00025;
constexpr int kCoarseClockSteps = 4;
constexpr int kStartSpreadSamples = 4;
// The data's clock and the one the carrier implies agree when this close (two steps of the search).
constexpr double kClockAgreement = 2 * kClockStep;
// Rounds of edge fit and phase smoothing. A band-limited path rounds the phase reversals, so each
// edge fit sees only part of the timing error: eight rounds bring it within a hundredth of a
// sample.
constexpr int kTimingRounds = 8;
// The first pass's carrier loop, the classic second-order loop with its gains derived from a
// noise bandwidth (per bit: about 27 bits of memory) and a damping factor.
constexpr double kLoopNoiseBandwidthPerBit = 0.01875;
constexpr double kLoopDamping = std::numbers::sqrt2 / 2;
// The highest Eb/N0 the estimate reports (10^4, 40 dB): a clean channel leaves no spread.
constexpr double kMaxEstimate = 1e4;
// Half-width, in bits, of the window over which later passes average the carrier phase.
constexpr int kPhaseWindowBits = 12;
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
// degrees for the polarity to count as known (a plain path at a usable level stays within 15
// degrees; a voice-band path with its own phase turns it by 50 or more).
constexpr double kPolarityToleranceRadians = kPi / 6;

struct LoopGains {
    double phase;
    double frequency;
};

constexpr LoopGains SecondOrderLoop(double noiseBandwidth, double damping) {
    const double natural = 2 * noiseBandwidth / (damping + 1 / (4 * damping));
    return {2 * damping * natural, natural * natural};
}

constexpr LoopGains kCarrierLoop = SecondOrderLoop(kLoopNoiseBandwidthPerBit, kLoopDamping);

int HeaderBit(int k) {
    return (kTransferHeader[static_cast<std::size_t>(k / 8)] >> (7 - k % 8)) & 1;
}

double Median(std::vector<double> values) {
    if (values.empty()) {
        return 0;
    }
    const auto middle = values.begin() + static_cast<long>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

// The complex baseband 2 x[n] e^(-j 2 pi n / 8) as running sums, so that the sum over any
// stretch, with fractional ends, costs two look-ups. Sample n stands for [n, n + 1), so an
// edge found at position p lies at the instant p - kSampleCentre.
class Baseband {
  public:
    Baseband(std::span<const float> x, std::int64_t firstIndex) : prefix_(x.size() + 1) {
        static const auto mixer = [] {
            std::array<Complex, kWorkPerCycle> t{};
            for (int n = 0; n < kWorkPerCycle; ++n) {
                t[static_cast<std::size_t>(n)] =
                    2.0 * std::polar(1.0, -2 * kPi * n / kWorkPerCycle);
            }
            return t;
        }();
        Complex sum{};
        for (std::size_t i = 0; i < x.size(); ++i) {
            const auto phase = static_cast<std::size_t>(
                (firstIndex + static_cast<std::int64_t>(i)) & (kWorkPerCycle - 1));
            sum += static_cast<double>(x[i]) * mixer[phase];
            prefix_[i + 1] = sum;
        }
    }
    double Size() const { return static_cast<double>(prefix_.size() - 1); }
    Complex Sum(double from, double to) const { return At(to) - At(from); }

  private:
    Complex At(double t) const {
        t = t > 0 ? std::min(t, Size()) : 0.0;  // also takes a NaN to 0
        const auto i = static_cast<std::size_t>(t);
        if (i + 1 >= prefix_.size()) {
            return prefix_.back();
        }
        return prefix_[i] + (t - static_cast<double>(i)) * (prefix_[i + 1] - prefix_[i]);
    }
    std::vector<Complex> prefix_;
};

// The carrier as a straight phase line: theta(t) = phase + omega (t - ref), omega in radians
// per sample off the 1000 Hz of the mixer.
struct CarrierModel {
    double ref = 0;
    double phase = 0;
    double omega = 0;
    double At(double t) const { return phase + omega * (t - ref); }
    double Hz() const { return kCarrierHz + omega * kWorkRate / (2 * kPi); }
    // The bit length the sender's clock gives when the carrier is off by that clock alone.
    double BitSamples() const { return 4.0 * kWorkRate / Hz(); }
};

struct LineFit {
    double slope = 0;
    double intercept = 0;  // at `centre`
    double centre = 0;
};

// Weighted least squares of y on x.
LineFit FitLine(const std::vector<double>& x, const std::vector<double>& y,
                const std::vector<double>& w) {
    double sw = 0, sx = 0, sy = 0;
    for (std::size_t i = 0; i < x.size(); ++i) {
        sw += w[i];
        sx += w[i] * x[i];
        sy += w[i] * y[i];
    }
    LineFit fit;
    if (sw <= 0) {
        return fit;
    }
    fit.centre = sx / sw;
    const double my = sy / sw;
    double sxx = 0, sxy = 0;
    for (std::size_t i = 0; i < x.size(); ++i) {
        sxx += w[i] * (x[i] - fit.centre) * (x[i] - fit.centre);
        sxy += w[i] * (x[i] - fit.centre) * (y[i] - my);
    }
    fit.slope = sxx > 0 ? sxy / sxx : 0.0;
    fit.intercept = my;
    return fit;
}

struct LeadIn {
    CarrierModel carrier;
    double amplitude = 0;  // per nominal bit
    double noise = 0;      // mean squared complex residual per nominal bit
    int blocks = 0;        // blocks the fit kept
};

// The lead-in's blocks of one nominal bit, and which of them look like the steady tone.
struct LeadInBlocks {
    double from = 0;
    std::vector<Complex> sums;
    std::vector<bool> kept;
    double Centre(std::size_t m) const {
        return from + (static_cast<double>(m) + 0.5) * kNominalBitSamples;
    }
};

LeadInBlocks CutLeadIn(const Baseband& bb, double from, double to) {
    LeadInBlocks blocks;
    const double spare = (to - from) - 2.0 * kMinLeadInBlocks * kNominalBitSamples;
    blocks.from = from + std::clamp(spare, 0.0, kLeadInOnsetGuardSamples);
    const int count = static_cast<int>((to - blocks.from) / kNominalBitSamples);
    std::vector<double> magnitudes;
    for (int m = 0; m < count; ++m) {
        const double start = blocks.from + m * kNominalBitSamples;
        blocks.sums.push_back(bb.Sum(start, start + kNominalBitSamples));
        magnitudes.push_back(std::abs(blocks.sums.back()));
    }
    const double typical = Median(magnitudes);
    for (const double magnitude : magnitudes) {
        blocks.kept.push_back(magnitude >= kBlockMagnitudeLow * typical &&
                              magnitude <= kBlockMagnitudeHigh * typical && typical > 0);
    }
    return blocks;
}

// A phase line through the kept blocks, starting from a frequency and phase guess; blocks too
// far off the line are dropped for good.
CarrierModel FitPhaseLine(LeadInBlocks& blocks, double omega, double phase) {
    std::vector<double> x, y, w;
    std::vector<std::size_t> index;
    const double first = blocks.Centre(0);
    for (std::size_t m = 0; m < blocks.sums.size(); ++m) {
        if (blocks.kept[m]) {
            const double t = blocks.Centre(m);
            x.push_back(t);
            y.push_back(std::arg(blocks.sums[m] * std::polar(1.0, -phase - omega * (t - first))));
            w.push_back(1.0);
            index.push_back(m);
        }
    }
    const LineFit fit = FitLine(x, y, w);
    double spread = 0;
    for (std::size_t i = 0; i < x.size(); ++i) {
        const double r = y[i] - fit.intercept - fit.slope * (x[i] - fit.centre);
        spread += r * r;
    }
    spread = std::sqrt(spread / std::max<std::size_t>(1, x.size()));
    const double limit = std::max(kOutlierSpreads * spread, kOutlierFloorRadians);
    for (std::size_t i = 0; i < x.size(); ++i) {
        const double r = y[i] - fit.intercept - fit.slope * (x[i] - fit.centre);
        if (std::abs(r) > limit) {
            blocks.kept[index[i]] = false;
        }
    }
    CarrierModel carrier;
    carrier.ref = fit.centre;
    carrier.omega = omega + fit.slope;
    carrier.phase = phase + omega * (fit.centre - first) + fit.intercept;
    return carrier;
}

// Frequency and phase of the steady tone in [from, to): one-bit blocks, their phase step for a
// first frequency, then a straight line through the phases, fitted twice so that blocks the
// first fit shows to be disturbed do not pull the second.
LeadIn FitLeadIn(const Baseband& bb, double from, double to) {
    LeadIn lead;
    LeadInBlocks blocks = CutLeadIn(bb, from, to);
    const std::size_t count = blocks.sums.size();
    Complex step{};
    for (std::size_t m = 1; m < count; ++m) {
        if (blocks.kept[m] && blocks.kept[m - 1]) {
            step += blocks.sums[m] * std::conj(blocks.sums[m - 1]);
        }
    }
    const double omega = std::arg(step) / kNominalBitSamples;
    Complex mean{};
    for (std::size_t m = 0; m < count; ++m) {
        if (blocks.kept[m]) {
            mean +=
                blocks.sums[m] * std::polar(1.0, -omega * (blocks.Centre(m) - blocks.Centre(0)));
        }
    }
    CarrierModel carrier = FitPhaseLine(blocks, omega, std::arg(mean));
    carrier = FitPhaseLine(blocks, carrier.omega, carrier.At(blocks.Centre(0)));

    double amplitude = 0;
    int kept = 0;
    for (std::size_t m = 0; m < count; ++m) {
        if (blocks.kept[m]) {
            amplitude += (blocks.sums[m] * std::polar(1.0, -carrier.At(blocks.Centre(m)))).real();
            ++kept;
        }
    }
    lead.blocks = kept;
    if (kept < 2) {
        return lead;
    }
    amplitude /= kept;
    double noise = 0;
    for (std::size_t m = 0; m < count; ++m) {
        if (blocks.kept[m]) {
            noise += std::norm(blocks.sums[m] * std::polar(1.0, -carrier.At(blocks.Centre(m))) -
                               amplitude);
        }
    }
    lead.carrier = carrier;
    lead.amplitude = amplitude;
    lead.noise = noise / std::max(1, kept - 2);  // two parameters fitted
    return lead;
}

// The bit sum over [start, start + length) turned back by the carrier model at its centre.
Complex BitSum(const Baseband& bb, const CarrierModel& carrier, double start, double length) {
    return bb.Sum(start, start + length) * std::polar(1.0, -carrier.At(start + length / 2));
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

// The start of the data: the best fit of lead-in end and header, to a fraction of a sample.
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

// The lead-in and the known header together give a longer phase line than the lead-in.
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

struct BitClock {
    double start = 0;
    double bitSamples = kNominalBitSamples;
};

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

// The clock the carrier implies when the carrier is off by the sender's clock alone, which the
// lead-in measures far more closely than the data can; the data's own clock when the two
// disagree (a path that shifts the carrier).
BitClock ChooseBitClock(const Baseband& bb, double tau, const CarrierModel& carrier) {
    const BitClock found = FitBitClock(bb, tau);
    const double implied = carrier.BitSamples();
    if (std::abs(found.bitSamples / implied - 1) <= kClockAgreement) {
        return {tau, implied};
    }
    return found;
}

struct Bits {
    std::vector<double> start;   // position of each bit
    std::vector<double> length;  // its length
    std::vector<Complex> sum;    // bit sum, turned back by the carrier model only
    std::vector<double> phase;   // phase correction on top of the model
    std::vector<int> decision;   // +1 or -1
};

// First pass: a second-order carrier loop on the decisions, bits laid at the clock found.
Bits FirstPass(const Baseband& bb, const CarrierModel& carrier, const BitClock& clock) {
    Bits bits;
    double phi = 0;
    double nu = 0;
    for (int k = 0; k < kPacketBits; ++k) {
        const double t = clock.start + k * clock.bitSamples;
        const Complex u = BitSum(bb, carrier, t, clock.bitSamples);
        const Complex y = u * std::polar(1.0, -phi);
        const int d = y.real() >= 0 ? 1 : -1;
        const double error = std::arg(y * static_cast<double>(d));
        bits.start.push_back(t);
        bits.length.push_back(clock.bitSamples);
        bits.sum.push_back(u);
        bits.phase.push_back(phi);
        bits.decision.push_back(d);
        phi += nu + kCarrierLoop.phase * error;
        nu += kCarrierLoop.frequency * error;
    }
    return bits;
}

// Later passes: each bit's phase is the direction of the decision-weighted bit sums around it,
// which neither lags nor leads a drifting carrier.
void SmoothPhases(Bits& bits) {
    const int n = static_cast<int>(bits.sum.size());
    std::vector<Complex> running(static_cast<std::size_t>(n) + 1);
    for (int k = 0; k < n; ++k) {
        running[static_cast<std::size_t>(k) + 1] =
            running[static_cast<std::size_t>(k)] +
            static_cast<double>(bits.decision[static_cast<std::size_t>(k)]) *
                bits.sum[static_cast<std::size_t>(k)];
    }
    for (int k = 0; k < n; ++k) {
        const int lo = std::max(0, k - kPhaseWindowBits);
        const int hi = std::min(n, k + kPhaseWindowBits + 1);
        const Complex around =
            running[static_cast<std::size_t>(hi)] - running[static_cast<std::size_t>(lo)];
        bits.phase[static_cast<std::size_t>(k)] = std::arg(around);
    }
    for (int k = 0; k < n; ++k) {
        const Complex y = bits.sum[static_cast<std::size_t>(k)] *
                          std::polar(1.0, -bits.phase[static_cast<std::size_t>(k)]);
        bits.decision[static_cast<std::size_t>(k)] = y.real() >= 0 ? 1 : -1;
    }
}

// Moves the bit edges to where the transitions are: around each change of decision, the sum
// over half a bit centred on the edge is zero when the edge is right and grows with the error.
// A straight line through those errors corrects the start and the bit length.
void RefineTiming(const Baseband& bb, const CarrierModel& carrier, Bits& bits) {
    const int n = static_cast<int>(bits.sum.size());
    double amplitude = 0;
    double samples = 0;
    for (int k = 0; k < n; ++k) {
        const auto i = static_cast<std::size_t>(k);
        amplitude += bits.decision[i] * (bits.sum[i] * std::polar(1.0, -bits.phase[i])).real();
        samples += bits.length[i];
    }
    const double perSample = amplitude / samples;
    if (perSample <= 0) {
        return;
    }
    std::vector<double> x, y, w;
    int previous = 1;  // the lead-in
    for (int k = 0; k < n; ++k) {
        const auto i = static_cast<std::size_t>(k);
        const int d = bits.decision[i];
        if (d != previous) {
            const double edge = bits.start[i];
            const double quarter = bits.length[i] / 4;
            const Complex s = bb.Sum(edge - quarter, edge + quarter) *
                              std::polar(1.0, -carrier.At(edge) - bits.phase[i]);
            const double shift =
                std::clamp(s.real() / (2 * perSample * previous), -quarter, quarter);
            x.push_back(k);
            y.push_back(shift);
            w.push_back(1.0);
        }
        previous = d;
    }
    if (x.size() < 8) {
        return;
    }
    const LineFit fit = FitLine(x, y, w);
    for (int k = 0; k < n; ++k) {
        const auto i = static_cast<std::size_t>(k);
        bits.start[i] += fit.intercept + fit.slope * (k - fit.centre);
        bits.length[i] += fit.slope;
        bits.sum[i] = BitSum(bb, carrier, bits.start[i], bits.length[i]);
    }
}

// Each bit's sum, turned back by its phase, less what its two neighbours leak into it. A
// tilted or band-limited channel spreads every bit a little into the next and the one before;
// a least-squares fit of the sums on the neighbours' decisions measures how much (the
// decisions of real arrays are far from independent: long runs of zero bytes), and the
// decisions are taken again without it.
std::vector<Complex> WithoutNeighbours(Bits& bits) {
    const int n = static_cast<int>(bits.sum.size());
    std::vector<Complex> y(static_cast<std::size_t>(n));
    for (int k = 0; k < n; ++k) {
        const auto i = static_cast<std::size_t>(k);
        y[i] = bits.sum[i] * std::polar(1.0, -bits.phase[i]);
    }
    const auto d = [&](int k) {
        return k < 0    ? 1.0
               : k >= n ? 0.0
                        : static_cast<double>(bits.decision[static_cast<std::size_t>(k)]);
    };
    // Normal equations for y_k = a d_(k-1) + b d_k + c d_(k+1).
    double m[3][3] = {};
    Complex r[3] = {};
    for (int k = 0; k < n; ++k) {
        const double x[3] = {d(k - 1), d(k), d(k + 1)};
        for (int p = 0; p < 3; ++p) {
            for (int q = 0; q < 3; ++q) {
                m[p][q] += x[p] * x[q];
            }
            r[p] += x[p] * y[static_cast<std::size_t>(k)];
        }
    }
    // Cramer's rule; only the two neighbours' shares are needed.
    const auto determinant = [](const auto& x) {
        return x[0][0] * (x[1][1] * x[2][2] - x[1][2] * x[2][1]) -
               x[0][1] * (x[1][0] * x[2][2] - x[1][2] * x[2][0]) +
               x[0][2] * (x[1][0] * x[2][1] - x[1][1] * x[2][0]);
    };
    const double det = determinant(m);
    // Constant decisions say nothing about the neighbours: leave the sums as they are.
    if (std::abs(det) < 1e-3 * n * n * n) {
        return y;
    }
    const auto solve = [&](int column) {
        Complex x[3][3];
        for (int p = 0; p < 3; ++p) {
            for (int q = 0; q < 3; ++q) {
                x[p][q] = q == column ? r[p] : Complex(m[p][q]);
            }
        }
        return determinant(x) / det;
    };
    const Complex before = solve(0);
    const Complex after = solve(2);
    for (int k = 0; k < n; ++k) {
        const auto i = static_cast<std::size_t>(k);
        y[i] -= before * d(k - 1) + after * d(k + 1);
    }
    for (int k = 0; k < n; ++k) {
        const auto i = static_cast<std::size_t>(k);
        bits.decision[i] = y[i].real() >= 0 ? 1 : -1;
    }
    return y;
}

// Bytes from the decisions, most significant bit of byte 0 first; the header and check word
// tested as the repeater tests them.
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

// Eb/N0 as the decisions see it. The noise is what is left around the signal's own level in
// both parts of the turned-back sums (distortion that the neighbour fit did not take out counts
// as noise); the level is that of the weakest stretch of the packet (a fading path decides by
// its troughs); and a bit pushed further below that level than noise explains lowers the
// estimate to what would put it there.
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

// The carrier over the whole packet (the model plus the slope of the smoothed phases), the
// sender's clock from the bit length, and the polarity of the recording where it can be known:
// the sender's data starts at an upward zero crossing of its sine, so the carrier's phase at the
// first bit tells an inverted wire, unless the path shifted the carrier's frequency.
void MeasureCarrierAndClock(const Bits& bits, const CarrierModel& carrier,
                            const DecodeRequest& request, Packet& packet) {
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
    const LineFit fit = FitLine(x, y, w);
    CarrierModel whole = carrier;
    whole.omega += fit.slope;
    packet.carrierHz = whole.Hz();
    const double bitSamples = (bits.start.back() + bits.length.back() - bits.start.front()) /
                              static_cast<double>(kPacketBits);
    const double clock = kNominalBitSamples / bitSamples - 1;
    packet.clockOffsetPpm = clock * 1e6;
    packet.carrierShiftHz = packet.carrierHz - kCarrierHz * (1 + clock);

    // In the baseband of 2 x e^(-j w0 n) the sender's sine has phase -pi/2 - w0 n at the start
    // of every bit of the lead-in's sign (each bit is four whole cycles). Taken at the middle of
    // the packet, where both fitted lines are surest.
    const double start = bits.start[kPacketBits / 2];
    const double observed = carrier.At(start) + fit.intercept + fit.slope * (start - fit.centre);
    const double absolute = static_cast<double>(request.firstIndex) + start - kSampleCentre;
    const double w0 = 2 * kPi / kWorkPerCycle;
    const double expected = -kPi / 2 - std::fmod(w0 * absolute, 2 * kPi);
    const double off = std::remainder(observed - expected - request.carrierPhaseShift, 2 * kPi);
    packet.polarityInverted = std::cos(off) < 0;
    packet.polarityKnown = std::abs(std::remainder(off, kPi)) < kPolarityToleranceRadians &&
                           std::abs(packet.carrierShiftHz) < kShiftedCarrierHz;
}

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
    Bits bits = FirstPass(bb, carrier, ChooseBitClock(bb, tau, carrier));
    for (int round = 0; round < kTimingRounds; ++round) {
        RefineTiming(bb, carrier, bits);
        SmoothPhases(bits);
        SmoothPhases(bits);
    }

    // Decide, check, and say how sure.
    WithoutNeighbours(bits);
    const std::vector<Complex> y = WithoutNeighbours(bits);
    Packet& packet = out.packet;
    DecideBytes(bits, packet);
    MeasureQuality(y, bits, packet);
    MeasureCarrierAndClock(bits, carrier, request, packet);
    out.dataStart = bits.start.front();
    out.dataEnd = bits.start.back() + bits.length.back();
    out.kind = DecodeKind::Packet;
    return out;
}

}  // namespace zk::receive
