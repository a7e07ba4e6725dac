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
constexpr int kHeaderBits = 32;
// More wrong header bits than this at the best start: no packet there.
constexpr int kMaxHeaderMismatches = 3;
// The carrier may be this far from 1000 Hz (clock offsets up to 1.2 %).
constexpr double kMaxCarrierOffsetHz = 12.0;
// Lead-in blocks of one nominal bit needed for a phase reference (the shortest lead-in that
// still decodes is 0.1 s; the detector's edges eat into it).
constexpr int kMinLeadInBlocks = 8;
// The data starts within this window before the detector's tone end and a little after it.
constexpr double kSearchBefore = 0.100 * kWorkRate;
constexpr double kSearchAfter = 0.010 * kWorkRate;
// Lead-in samples left out before the detector's tone end, where data may already have begun.
constexpr double kLeadInGuard = 0.050 * kWorkRate;
// The longest bit the sender's clock can make, and the share by which the edge fit may still
// stretch the packet beyond the carrier's estimate of it.
constexpr double kLongestBit = kNominalBitSamples * (1 + kMaxClockOffset);
constexpr double kTimingSlack = 0.0005;
// Carrier loop for the first pass: about 20 bits of memory, critically damped.
constexpr double kLoopGain = 0.05;
constexpr double kLoopFrequencyGain = 0.00125;
// The highest Eb/N0 the estimate reports (10^4, 40 dB): a clean channel leaves no spread.
constexpr double kMaxEstimate = 1e4;
// Half-width, in bits, of the window over which later passes average the carrier phase.
constexpr int kPhaseWindow = 12;

int HeaderBit(int k) {
    return (kTransferHeader[static_cast<std::size_t>(k / 8)] >> (7 - k % 8)) & 1;
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
    int blocks = 0;
};

// Frequency and phase of the steady tone in [from, to): one-bit blocks, their phase step for a
// first frequency, then a straight line through the phases that are left.
LeadIn FitLeadIn(const Baseband& bb, double from, double to) {
    LeadIn lead;
    const double block = kNominalBitSamples;
    const int count = static_cast<int>((to - from) / block);
    lead.blocks = count;
    if (count < 2) {
        return lead;
    }
    std::vector<Complex> q(static_cast<std::size_t>(count));
    for (int m = 0; m < count; ++m) {
        q[static_cast<std::size_t>(m)] = bb.Sum(from + m * block, from + (m + 1) * block);
    }
    Complex step{};
    for (int m = 1; m < count; ++m) {
        step += q[static_cast<std::size_t>(m)] * std::conj(q[static_cast<std::size_t>(m - 1)]);
    }
    const double omega1 = std::arg(step) / block;
    Complex mean{};
    for (int m = 0; m < count; ++m) {
        mean += q[static_cast<std::size_t>(m)] * std::polar(1.0, -omega1 * m * block);
    }
    const double phase0 = std::arg(mean);
    std::vector<double> x, y, w;
    for (int m = 0; m < count; ++m) {
        const Complex r =
            q[static_cast<std::size_t>(m)] * std::polar(1.0, -omega1 * m * block - phase0);
        x.push_back(from + (m + 0.5) * block);
        y.push_back(std::arg(r));
        w.push_back(1.0);
    }
    const LineFit fit = FitLine(x, y, w);
    lead.carrier.ref = fit.centre;
    lead.carrier.omega = omega1 + fit.slope;
    lead.carrier.phase = phase0 + fit.intercept + omega1 * (fit.centre - (from + 0.5 * block));

    double amplitude = 0;
    for (int m = 0; m < count; ++m) {
        amplitude += (q[static_cast<std::size_t>(m)] *
                      std::polar(1.0, -lead.carrier.At(from + (m + 0.5) * block)))
                         .real();
    }
    amplitude /= count;
    double noise = 0;
    for (int m = 0; m < count; ++m) {
        const Complex r = q[static_cast<std::size_t>(m)] *
                          std::polar(1.0, -lead.carrier.At(from + (m + 0.5) * block));
        noise += std::norm(r - amplitude);
    }
    lead.amplitude = amplitude;
    lead.noise = noise / std::max(1, count - 2);  // two parameters fitted
    return lead;
}

// The bit sum over [start, start + length) turned back by the carrier model at its centre.
Complex BitSum(const Baseband& bb, const CarrierModel& carrier, double start, double length) {
    return bb.Sum(start, start + length) * std::polar(1.0, -carrier.At(start + length / 2));
}

// How well the lead-in's last bits and the header fit at data start `tau`: the template's bits
// summed coherently in chunks of one byte and the chunk magnitudes added, so that a carrier
// phase drifting over the template does not spoil the measure.
double StartMetric(const Baseband& bb, const CarrierModel& carrier, double tau) {
    const double T = carrier.BitSamples();
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

struct Bits {
    std::vector<double> start;   // position of each bit
    std::vector<double> length;  // its length
    std::vector<Complex> sum;    // bit sum, turned back by the carrier model only
    std::vector<double> phase;   // phase correction on top of the model
    std::vector<int> decision;   // +1 or -1
};

// First pass: a second-order carrier loop on the decisions; the bit clock follows the loop's
// frequency, since the sender's carrier and bit clock come from the same crystal.
Bits FirstPass(const Baseband& bb, const CarrierModel& carrier, double tau, double phase,
               double omegaPerBit) {
    Bits bits;
    double t = tau;
    double phi = phase;
    double nu = omegaPerBit;
    for (int k = 0; k < kPacketBits; ++k) {
        CarrierModel now = carrier;
        now.omega += nu / kNominalBitSamples;
        const double T = now.BitSamples();
        const Complex u = BitSum(bb, carrier, t, T);
        const Complex y = u * std::polar(1.0, -phi);
        const int d = y.real() >= 0 ? 1 : -1;
        const double error = std::arg(y * static_cast<double>(d));
        bits.start.push_back(t);
        bits.length.push_back(T);
        bits.sum.push_back(u);
        bits.phase.push_back(phi);
        bits.decision.push_back(d);
        phi += nu + kLoopGain * error;
        nu += kLoopFrequencyGain * error;
        t += T;
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
        const int lo = std::max(0, k - kPhaseWindow);
        const int hi = std::min(n, k + kPhaseWindow + 1);
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

}  // namespace

DecodeOutcome DecodePacket(const DecodeRequest& request) {
    DecodeOutcome out;
    const Baseband bb(request.samples, request.firstIndex);
    const double toneStart = static_cast<double>(request.tone.start - request.firstIndex);
    const double toneEnd = static_cast<double>(request.tone.end - request.firstIndex);

    // Carrier from the lead-in.
    const double leadFrom = std::max(0.0, toneStart);
    const double leadTo = std::min(bb.Size(), toneEnd - kLeadInGuard);
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
    if (std::abs(lead.carrier.Hz() - kCarrierHz) > kMaxCarrierOffsetHz) {
        out.kind = DecodeKind::NotOnCarrier;
        return out;
    }
    CarrierModel carrier = lead.carrier;

    // Start of the data: the best fit of lead-in end and header, to a fraction of a sample.
    const double searchFrom =
        std::max(leadFrom + kNominalBitSamples * kLeadInTemplateBits, toneEnd - kSearchBefore);
    const double searchTo = std::min(toneEnd + kSearchAfter, bb.Size() - kHeaderBits * kLongestBit);
    if (searchTo <= searchFrom) {
        out.kind = DecodeKind::CutOff;
        out.bitsHeard = 0;
        return out;
    }
    double best = -1;
    double tau = searchFrom;
    for (double t = std::floor(searchFrom); t <= searchTo; t += 1.0) {
        const double m = StartMetric(bb, carrier, t);
        if (m > best) {
            best = m;
            tau = t;
        }
    }
    {
        const double before = StartMetric(bb, carrier, tau - 1);
        const double after = StartMetric(bb, carrier, tau + 1);
        const double curve = before - 2 * best + after;
        if (curve < 0) {
            tau += std::clamp(0.5 * (before - after) / curve, -0.5, 0.5);
        }
    }

    // The lead-in and the known header together give a longer phase line than the lead-in.
    {
        const double T = carrier.BitSamples();
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
    }

    const double T = carrier.BitSamples();
    out.dataStart = tau;
    out.leadInSamples = tau - toneStart;
    for (int k = 0; k < kHeaderBits; ++k) {
        const int bit = BitSum(bb, carrier, tau + k * T, T).real() >= 0 ? 1 : 0;
        out.headerMismatches += bit != HeaderBit(k);
    }
    if (out.headerMismatches > kMaxHeaderMismatches) {
        out.kind = DecodeKind::NoSync;
        return out;
    }
    if (tau + kPacketBits * T * (1 + kTimingSlack) > bb.Size()) {
        out.kind = DecodeKind::CutOff;
        out.bitsHeard = static_cast<int>(std::max(0.0, (bb.Size() - tau) / T));
        return out;
    }

    Bits bits = FirstPass(bb, carrier, tau, 0.0, 0.0);
    for (int round = 0; round < 2; ++round) {
        RefineTiming(bb, carrier, bits);
        SmoothPhases(bits);
        SmoothPhases(bits);
    }

    WithoutNeighbours(bits);
    const std::vector<Complex> y = WithoutNeighbours(bits);

    // The packet.
    Packet& packet = out.packet;
    double sum = 0;
    std::vector<double> strength(kPacketBits);
    for (int k = 0; k < kPacketBits; ++k) {
        const auto i = static_cast<std::size_t>(k);
        strength[i] = bits.decision[i] * y[i].real();
        sum += strength[i];
        if (bits.decision[i] > 0) {
            packet.bytes[i / 8] |= static_cast<std::uint8_t>(0x80u >> (i % 8));
        }
    }
    const double mean = sum / kPacketBits;
    double spread = 0;
    for (const double s : strength) {
        spread += (s - mean) * (s - mean);
    }
    // The noise lies in both parts of the turned-back sums; with the neighbours' leak taken
    // out, the quadrature part holds noise alone, and twice the samples halve the estimate's
    // own scatter.
    for (const Complex& v : y) {
        spread += v.imag() * v.imag();
    }
    spread /= 2 * kPacketBits - 1;
    const double noise = std::max(spread, mean * mean / (2 * kMaxEstimate));
    packet.ebN0Db = 10 * std::log10(std::max(1e-12, mean * mean / (2 * noise)));
    packet.marginDb = packet.ebN0Db - kRequiredEbN0Db;
    const auto weakest = std::min_element(strength.begin(), strength.end());
    packet.weakestBit = static_cast<int>(weakest - strength.begin());
    packet.weakestBitConfidence = mean > 0 ? *weakest / mean : 0.0;

    packet.headerOk =
        std::equal(kTransferHeader.begin(), kTransferHeader.end(), packet.bytes.begin());
    packet.crcReceived = static_cast<std::uint16_t>((packet.bytes[layout::kCheckWordHigh] << 8) |
                                                    packet.bytes[layout::kCheckWordLow]);
    packet.crcComputed = CheckWordOf(packet.bytes);
    packet.crcOk = packet.crcReceived == packet.crcComputed;

    // Carrier over the whole packet: the model plus the slope of the smoothed phases.
    {
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
        packet.clockOffsetPpm = (packet.carrierHz / kCarrierHz - 1) * 1e6;

        // The sender's data starts at an upward zero crossing of its sine; in the baseband of
        // 2 x e^(-j w0 n) that sine has phase -pi/2 - w0 n at its start.
        const double start = bits.start[0];
        const double observed =
            carrier.At(start) + fit.intercept + fit.slope * (start - fit.centre);
        const double absolute = static_cast<double>(request.firstIndex) + start - kSampleCentre;
        const double w0 = 2 * kPi / kWorkPerCycle;
        const double expected = -kPi / 2 - std::fmod(w0 * absolute, 2 * kPi);
        packet.polarityInverted = std::cos(observed - expected - request.carrierPhaseShift) < 0;
    }
    out.dataStart = bits.start[0];
    out.dataEnd = bits.start.back() + bits.length.back();
    out.kind = DecodeKind::Packet;
    return out;
}

}  // namespace zk::receive
