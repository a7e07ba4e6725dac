// The first look at every sample: where a steady tone begins and ends. The decoder searches for
// the data only a little after the end it is given, so a late end costs packets.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "recording.h"
#include "tonedetector.h"
#include "workrate.h"

namespace zk::receive::testing {
namespace {

// A lead-in of `leadSeconds` at `offsetHz` from 1000 Hz, then random phase-keyed data, at the
// working rate, after `silenceSeconds` of nothing.
std::vector<float> LeadInThenData(double leadSeconds, double offsetHz, double silenceSeconds) {
    std::vector<float> x(static_cast<std::size_t>(silenceSeconds * kWorkRate), 0.0f);
    const double w = 2 * std::numbers::pi * (kCarrierHz + offsetHz) / kWorkRate;
    const auto lead = static_cast<std::size_t>(leadSeconds * kWorkRate);
    const Bytes bytes = RandomArray(3);
    for (std::size_t n = 0; n < lead + kPacketBits * 32; ++n) {
        double sign = 1;
        if (n >= lead) {
            const std::size_t bit = (n - lead) / 32;
            sign = (bytes[bit / 8] >> (7 - bit % 8)) & 1 ? 1 : -1;
        }
        x.push_back(static_cast<float>(0.5 * sign * std::sin(w * static_cast<double>(n))));
    }
    return x;
}

std::vector<ToneSpan> Spans(const std::vector<float>& x) {
    ToneDetector detector;
    std::vector<ToneSpan> spans;
    detector.Process(x.data(), x.size(), 0, spans);
    detector.Finish(static_cast<std::int64_t>(x.size()), spans);
    return spans;
}

// The lead-in's end is where the data starts: the detector's end falls within the 40 ms window
// after it (the decoder looks for the data up to 100 ms before the end it is given), on the
// carrier and off it as far as a radio path moves it; the start lies at the tone's start.
TEST(ToneDetector, LeadInEndsWhereTheDataBegins) {
    for (const double offsetHz : {0.0, 12.0, -31.0}) {
        const std::int64_t silence = kWorkRate / 2;
        const std::int64_t dataStart = silence + kWorkRate;
        const std::vector<ToneSpan> spans = Spans(LeadInThenData(1.0, offsetHz, 0.5));
        ASSERT_FALSE(spans.empty()) << offsetHz;
        const ToneSpan& lead = spans.front();
        EXPECT_GE(lead.start, silence - kWorkRate / 100) << offsetHz;
        EXPECT_LT(lead.start, silence + kWorkRate / 10) << offsetHz;
        EXPECT_GE(lead.end, dataStart) << offsetHz;
        EXPECT_LE(lead.end, dataStart + kWorkRate / 25) << offsetHz;
    }
}

// A tone longer than any lead-in is followed from its last 1.1 s only.
TEST(ToneDetector, LongToneKeptToItsLastPart) {
    const std::vector<ToneSpan> spans = Spans(LeadInThenData(6.0, 0, 0.5));
    ASSERT_FALSE(spans.empty());
    EXPECT_EQ(spans.front().end - spans.front().start, ToneDetector::kMaxToneSamples);
}

}  // namespace
}  // namespace zk::receive::testing
