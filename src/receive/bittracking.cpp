#include "bittracking.h"

#include <algorithm>
#include <cmath>

#include "linefit.h"

namespace zk::receive {

namespace {

// Rounds of edge fit and phase smoothing. A band-limited path rounds the phase reversals, so each
// edge fit sees only part of the timing error: eight rounds bring it within a hundredth of a
// sample.
constexpr int kTimingRounds = 8;
// The first pass's carrier loop, the classic second-order loop with its gains derived from a
// noise bandwidth (per bit: about 27 bits of memory) and a damping factor.
constexpr double kLoopNoiseBandwidthPerBit = 0.01875;
constexpr double kLoopDamping = std::numbers::sqrt2 / 2;
// Half-width, in bits, of the window over which later passes average the carrier phase.
constexpr int kPhaseWindowBits = 12;

struct LoopGains {
    double phase;
    double frequency;
};

constexpr LoopGains SecondOrderLoop(double noiseBandwidth, double damping) {
    const double natural = 2 * noiseBandwidth / (damping + 1 / (4 * damping));
    return {2 * damping * natural, natural * natural};
}

constexpr LoopGains kCarrierLoop = SecondOrderLoop(kLoopNoiseBandwidthPerBit, kLoopDamping);

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
// over about half a bit centred on the edge is zero when the edge is right and grows with the
// error. A straight line through those errors corrects the start and the bit length.
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
            const Complex s = bb.Sum(edge - kEdgeHalfWidthSamples, edge + kEdgeHalfWidthSamples) *
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
std::vector<Complex> WithoutNeighbours(Bits& bits, NeighbourLeak& leak) {
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
        leak = {};
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
    const Complex own = solve(1);
    leak = {before / own, after / own};
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

TrackedBits TrackBits(const Baseband& bb, const CarrierModel& carrier, const BitClock& clock) {
    TrackedBits tracked{FirstPass(bb, carrier, clock), {}, {}};
    for (int round = 0; round < kTimingRounds; ++round) {
        RefineTiming(bb, carrier, tracked.bits);
        SmoothPhases(tracked.bits);
        SmoothPhases(tracked.bits);
    }
    WithoutNeighbours(tracked.bits, tracked.leak);
    tracked.sums = WithoutNeighbours(tracked.bits, tracked.leak);
    return tracked;
}

}  // namespace zk::receive
