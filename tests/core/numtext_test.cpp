#include "numtext.h"

#include <gtest/gtest.h>

namespace zk {
namespace {

TEST(NumberText, HexUsesUpperCaseAndKeepsOnlyTheLowBits) {
    EXPECT_EQ(HexDigit(0x0), '0');
    EXPECT_EQ(HexDigit(0xA), 'A');
    EXPECT_EQ(HexDigit(0x3F), 'F');
    EXPECT_EQ(ByteToHex(0x7F), "7F");
    EXPECT_EQ(ByteToHex(4), "04");
    EXPECT_EQ(ByteToHex(0xD6), "D6");
    EXPECT_EQ(WordToHex(0x29B1), "29B1");
    EXPECT_EQ(WordToHex(0x000A), "000A");
}

TEST(NumberText, PaddingRightAlignsAndNeverCutsALongNumber) {
    EXPECT_EQ(IntToPadded(5, 3), "  5");
    EXPECT_EQ(IntToPadded(-3, 4), "  -3");
    EXPECT_EQ(IntToPadded(-111, 4), "-111");
    EXPECT_EQ(IntToPadded(12345, 2), "12345");
    EXPECT_EQ(IntToPadded(-121, 3), "-121");
    EXPECT_EQ(IntToPadded(0, 0), "0");
}

}  // namespace
}  // namespace zk
