#include "_8_CRC.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "_2GL.h"
#include "freshglobals.h"

namespace zk {
namespace {

class CheckWord : public testing::FreshGlobals {
  protected:
};

// The check word worked out here byte by byte, independently of the routine under test: the
// running CRC-16 (polynomial 0x1021, start 0xFFFF, most significant bit first) after each byte.
std::vector<std::uint16_t> RunningCheckWords(const std::vector<std::uint8_t>& bytes) {
    std::vector<std::uint16_t> running;
    unsigned crc = 0xFFFF;
    for (const std::uint8_t byte : bytes) {
        for (int bit = 7; bit >= 0; --bit) {
            const bool top = ((crc >> 15) & 1u) != (((byte >> bit) & 1u) != 0);
            crc = ((crc << 1) & 0xFFFFu) ^ (top ? 0x1021u : 0u);
        }
        running.push_back(static_cast<std::uint16_t>(crc));
    }
    return running;
}

TEST(CheckWordLoop, GivesThePublishedCheckValue) {
    std::uint16_t crc = 0xFFFF;
    for (const char c : std::string("123456789")) {
        crc = CrcAddByte(crc, static_cast<std::uint8_t>(c));
    }
    EXPECT_EQ(crc, 0x29B1);
}

TEST_F(CheckWord, TraceListsTheRunningWordAfterEachOfTheSixtyOneBytes) {
    // Settings-like contents with the start-up markers still at 46 and 47.
    const std::vector<std::uint8_t> sent = {0x7F, 0x04, 0x01, 0x01, 0x81, 0x85, 0x89, 0x80,
                                            0x0E, 0x00, 0x00, 0x00, 0x88, 0x83, 0x85, 0x84};
    std::vector<std::uint8_t> summed(61, 0);
    for (std::size_t i = 0; i < sent.size(); ++i) {
        TransferArray[static_cast<long>(i)] = sent[i];
        summed[i] = sent[i];
    }
    TransferArray[40] = summed[40] = 1;
    TransferArray[60] = summed[60] = 0xA5;
    const std::vector<std::uint16_t> expected = RunningCheckWords(summed);  // 46, 47 as zero

    TextLinesInMemory trace({"Memo1", "stale"});
    const std::uint16_t crc = ComputeTransferCrc(trace);
    EXPECT_EQ(crc, expected.back());
    ASSERT_EQ(trace.lines.size(), 61u);
    for (int i = 0; i <= 60; ++i) {
        char line[16];
        std::snprintf(line, sizeof line, "%2d  %04X", i, expected[static_cast<std::size_t>(i)]);
        EXPECT_EQ(trace.lines[static_cast<std::size_t>(i)], line);
    }
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
