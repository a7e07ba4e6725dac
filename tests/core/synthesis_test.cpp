#include <gtest/gtest.h>

#include <vector>

#include "_2GL.h"
#include "_5FormFM.h"
#include "freshglobals.h"
#include "recordingchart.h"

namespace zk {
namespace {

using testing::RecordingChart;

const std::vector<int> kLeadInCycle = {0, 11863,  21920,  28640,  31000,  28640,  21920,  11863,
                                       0, -11863, -21920, -28640, -31000, -28640, -21920, -11863};
const std::vector<int> kOneCycle = {0, 11481,  21213,  27716,  30000,  27716,  21213,  11481,
                                    0, -11481, -21213, -27716, -30000, -27716, -21213, -11481};

std::vector<int> Negated(const std::vector<int>& cycle) {
    std::vector<int> out;
    for (const int v : cycle) {
        out.push_back(-v);
    }
    return out;
}

std::vector<int> Cycle(int first) {
    std::vector<int> out;
    for (int i = first; i < first + 16; ++i) {
        out.push_back(SampleBuffer[i]);
    }
    return out;
}

class Synthesis : public testing::FreshGlobals {
  protected:
    void FillArray(std::uint8_t value) {
        for (int i = 0; i < kTransferSize; ++i) {
            TransferArray[i] = value;
        }
    }
    RecordingChart chart;
};

TEST_F(Synthesis, AllOnesIsTheOneCycleThroughoutAfterTheLouderLeadIn) {
    FillArray(0xFF);
    SynthesizeSignal(chart);
    for (int c = 0; c < 1000; ++c) {
        ASSERT_EQ(Cycle(16 * c), kLeadInCycle) << "lead-in cycle " << c;
    }
    for (int c = 0; c < 2048; ++c) {
        ASSERT_EQ(Cycle(16000 + 16 * c), kOneCycle) << "data cycle " << c;
    }
}

TEST_F(Synthesis, AllZerosIsTheMirroredCycleThroughout) {
    FillArray(0x00);
    SynthesizeSignal(chart);
    for (int c = 0; c < 2048; ++c) {
        ASSERT_EQ(Cycle(16000 + 16 * c), Negated(kOneCycle)) << "data cycle " << c;
    }
}

TEST_F(Synthesis, BoundarySamplesAndTheHeaderByte) {
    TransferArray[0] = 0x7F;  // first bit 0, then seven 1 bits
    TransferArray[63] = 0x01;
    SynthesizeSignal(chart);
    EXPECT_EQ(SampleBuffer[15999], -11863);
    EXPECT_EQ(SampleBuffer[16000], 0);
    EXPECT_EQ(SampleBuffer[16001], -11481);  // rounded 11480.503, then negated; never -11480
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(Cycle(16000 + 16 * c), Negated(kOneCycle));
        EXPECT_EQ(Cycle(16064 + 16 * c), kOneCycle);
    }
    EXPECT_EQ(SampleBuffer[48767], -11481);

    TransferArray[63] = 0x00;
    SynthesizeSignal(chart);
    EXPECT_EQ(SampleBuffer[48767], 11481);
}

TEST_F(Synthesis, RepeatsExactlyAndLeavesTheRestOfTheBufferAlone) {
    TransferArray[0] = 0x7F;
    TransferArray[17] = 0xA5;
    SynthesizeSignal(chart);
    std::vector<int> first;
    for (int i = 0; i < kSignalSamples; ++i) {
        first.push_back(SampleBuffer[i]);
    }
    SynthesizeSignal(chart);
    for (int i = 0; i < kSignalSamples; ++i) {
        ASSERT_EQ(SampleBuffer[i], first[static_cast<std::size_t>(i)]) << i;
    }
    EXPECT_EQ(SampleBuffer[48768], 0);
    EXPECT_EQ(SampleBuffer[90000], 0);
}

TEST_F(Synthesis, ChartGetsEverySampleOnceAfterBeingCleared) {
    SynthesizeSignal(chart);
    chart.points.emplace_back(-1, -1);  // a stale point must not survive the next feed
    SynthesizeSignal(chart);
    EXPECT_EQ(chart.clears, 2);
    EXPECT_EQ(chart.ends, 2);
    ASSERT_EQ(chart.points.size(), 48768u);
    for (int j = 0; j < kSignalSamples; ++j) {
        ASSERT_EQ(chart.points[static_cast<std::size_t>(j)].first, j);
        ASSERT_EQ(chart.points[static_cast<std::size_t>(j)].second, SampleBuffer[j]);
    }
}

}  // namespace
}  // namespace zk
