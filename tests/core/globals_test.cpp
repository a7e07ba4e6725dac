#include <gtest/gtest.h>

#include "_2GL.h"
#include "checked.h"
#include "errors.h"
#include "freshglobals.h"

namespace zk {
namespace {

class Globals : public testing::FreshGlobals {
  protected:
};

TEST_F(Globals, StartValuesAreZeroButTheTwoMarkers) {
    for (int i = 0; i < kTransferSize; ++i) {
        const int expected = i == 46 ? 0xEE : i == 47 ? 0xFF : 0;
        EXPECT_EQ(TransferArray[i], expected) << "byte " << i;
    }
    EXPECT_EQ(SampleBuffer[0], 0);
    EXPECT_EQ(SampleBuffer[90000], 0);
}

TEST_F(Globals, IndexOutsideTheBoundsIsARangeCheckError) {
    EXPECT_THROW(TransferArray[64], RangeCheckError);
    EXPECT_THROW(TransferArray[-1], RangeCheckError);
    EXPECT_THROW(SampleBuffer[90001], RangeCheckError);
    EXPECT_THROW(SampleBuffer.Store(-1, 0), RangeCheckError);
    EXPECT_THROW(SampleBuffer.From(48768, 90001 - 48768 + 1), RangeCheckError);
    EXPECT_NO_THROW(SampleBuffer.From(0, 90001));
    try {
        TransferArray[64] = 1;
        FAIL();
    } catch (const Fault& fault) {
        EXPECT_STREQ(fault.what(), "Range check error");
    }
}

TEST_F(Globals, SampleOutsideSixteenBitsIsRefusedNotClipped) {
    SampleBuffer.Store(7, 32767);
    SampleBuffer.Store(8, -32768);
    EXPECT_EQ(SampleBuffer[7], 32767);
    EXPECT_EQ(SampleBuffer[8], -32768);
    EXPECT_THROW(SampleBuffer.Store(9, 32768), RangeCheckError);
    EXPECT_THROW(SampleBuffer.Store(9, -32769), RangeCheckError);
    EXPECT_EQ(SampleBuffer[9], 0);
}

TEST_F(Globals, ResetRestoresTheStartValues) {
    TransferArray[46] = 0;
    TransferArray[10] = 0x55;
    SampleBuffer.Store(100, -5);
    ResetGlobalsToStartValues();
    EXPECT_EQ(TransferArray[46], 0xEE);
    EXPECT_EQ(TransferArray[10], 0);
    EXPECT_EQ(SampleBuffer[100], 0);
}

TEST(CheckedArithmetic, OverflowRaisesIntegerOverflow) {
    EXPECT_EQ(CheckedMul(64, 3600), 230400);
    EXPECT_EQ(CheckedAdd(-5, 3), -2);
    EXPECT_THROW(CheckedMul(1 << 20, 1 << 12), IntegerOverflowError);
    EXPECT_THROW(CheckedAdd(INT32_MAX, 1), IntegerOverflowError);
    EXPECT_THROW(CheckedAdd(INT32_MIN, -1), IntegerOverflowError);
    try {
        CheckedMul(INT32_MIN, -1);
        FAIL();
    } catch (const Fault& fault) {
        EXPECT_STREQ(fault.what(), "Integer overflow");
    }
}

}  // namespace
}  // namespace zk
