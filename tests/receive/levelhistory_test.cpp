// The level of every input sample: the whole input passes through a vectorised pass in lanes,
// with the samples left over after the last whole group handled one by one.
#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "levelhistory.h"

namespace zk::receive::testing {
namespace {

// A block of any length, with a full-scale sample, a NaN and its loudest sample last, where the
// lanes leave off: all three are counted.
TEST(LevelHistory, EverySampleCountedWhateverTheBlockLength) {
    for (const std::size_t length : {3u, 15u, 16u, 17u, 47u, 480u, 481u}) {
        std::vector<float> block(length, 0.01f);
        block[length - 1] = -0.5f;
        block[length - 2] = std::numeric_limits<float>::quiet_NaN();
        block[length - 3] = 1.0f;
        LevelHistory history(48000);
        const LevelSpan level = history.Add(block);
        EXPECT_FLOAT_EQ(level.peak, 1.0f) << length;
        EXPECT_EQ(level.clipped, 1) << length;
        EXPECT_EQ(level.nonFinite, 1) << length;
        block[length - 3] = 0.2f;
        const LevelSpan quieter = history.Add(block);
        EXPECT_FLOAT_EQ(quieter.peak, 0.5f) << length;
        EXPECT_EQ(quieter.clipped, 0) << length;
        EXPECT_EQ(history.Total().clipped, 1) << length;
    }
}

// Over a span of input time: only the 10 ms bins it covers, and only the last 8 s.
TEST(LevelHistory, OverASpanSeesOnlyItsBins) {
    LevelHistory history(1000);  // bins of 10 samples
    std::vector<float> x(20000, 0.1f);
    x[5] = 1.0f;      // long gone by the end
    x[15000] = 0.9f;  // inside the span asked for
    x[19990] = 1.0f;  // after it
    history.Add(x);
    const LevelSpan span = history.Over(14000, 16000);
    EXPECT_FLOAT_EQ(span.peak, 0.9f);
    EXPECT_EQ(span.clipped, 0);
    EXPECT_EQ(history.Over(0, 20000).clipped, 1);  // the first click has left the history
    EXPECT_EQ(history.Total().clipped, 2);
}

}  // namespace
}  // namespace zk::receive::testing
