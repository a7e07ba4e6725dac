#include "leadinfit.h"

#include <algorithm>
#include <cmath>

#include "linefit.h"

namespace zk::receive {

namespace {

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

}  // namespace

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

}  // namespace zk::receive
