#include "_8_CRC.h"

#include <gtest/gtest.h>

#include "_2GL.h"
#include "freshglobals.h"

namespace zk {
namespace {

class CheckWord : public testing::FreshGlobals {
  protected:
};

TEST(CheckWordLoop, GivesThePublishedCheckValue) {
    std::uint16_t crc = 0xFFFF;
    for (const char c : std::string("123456789")) {
        crc = CrcAddByte(crc, static_cast<std::uint8_t>(c));
    }
    EXPECT_EQ(crc, 0x29B1);
}

TEST_F(CheckWord, TraceHasSixtyOneNumberedLinesEndingInTheResult) {
    TransferArray[0] = 0x7F;
    TextLinesInMemory trace({"Memo1", "stale"});
    const std::uint16_t crc = ComputeTransferCrc(trace);
    ASSERT_EQ(trace.lines.size(), 61u);
    for (int i = 0; i <= 60; ++i) {
        const std::string& line = trace.lines[static_cast<std::size_t>(i)];
        ASSERT_EQ(line.size(), 8u) << line;
        EXPECT_EQ(std::stoi(line.substr(0, 2)), i);
        EXPECT_EQ(line.substr(2, 2), "  ");
    }
    EXPECT_EQ(trace.lines.front().substr(0, 4), " 0  ");
    char last[16];
    std::snprintf(last, sizeof last, "60  %04X", crc);
    EXPECT_EQ(trace.lines.back(), last);
}

TEST_F(CheckWord, MarkersAreZeroedBeforeSummingAndTheOutsideBytesDoNotCount) {
    TextLinesInMemory trace;
    const std::uint16_t base = ComputeTransferCrc(trace);
    EXPECT_EQ(TransferArray[46], 0);
    EXPECT_EQ(TransferArray[47], 0);

    // A run with the start-up markers still in place gives the same word.
    ResetGlobalsToStartValues();
    EXPECT_EQ(ComputeTransferCrc(trace), base);

    TransferArray[63] = 0x5A;
    TransferArray[61] = 0x11;  // 61 and 62 are outside the summed range as well
    TransferArray[62] = 0x22;
    EXPECT_EQ(ComputeTransferCrc(trace), base);

    for (const int i : {0, 20, 45, 48, 60}) {
        ResetGlobalsToStartValues();
        TransferArray[i] = 1;
        EXPECT_NE(ComputeTransferCrc(trace), base) << "byte " << i;
    }
}

}  // namespace
}  // namespace zk
