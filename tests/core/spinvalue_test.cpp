#include "spinvalue.h"

#include <gtest/gtest.h>

namespace zk {
namespace {

TEST(SpinValue, NumbersTheFieldAccepts) {
    struct Case {
        const char* text;
        std::int32_t value;
    };
    const Case cases[] = {
        {"0", 0},
        {"64", 64},
        {"  7", 7},
        {"+5", 5},
        {"-5", -5},
        {"  -12", -12},
        {"$1F", 31},
        {"x10", 16},
        {"X10", 16},
        {"0x7f", 127},
        {"0XfF", 255},
        {"-$10", -16},
        {"007", 7},
        {"2147483647", INT32_MAX},
        {"-2147483648", INT32_MIN},
        {"$7FFFFFFF", INT32_MAX},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseSpinText(c.text), c.value) << '"' << c.text << '"';
    }
}

TEST(SpinValue, TextsThatAreNotNumbersReadAsTheMinimum) {
    for (const char* text : {"",    " ",          "-",           "+",         "$",           "0x",
                             "x",   "5 ",         "1.5",         "1,5",       "12a",         "--1",
                             "+-1", "2147483648", "-2147483649", "$80000000", "99999999999", "\t5",
                             "5\n", "0x-1",       " - 1"}) {
        EXPECT_EQ(ParseSpinText(text), std::nullopt) << '"' << text << '"';
        EXPECT_EQ(SpinTextValue(text, 3), 3) << '"' << text << '"';
    }
    EXPECT_EQ(SpinTextValue("99", 0), 99);  // reading never clamps
}

TEST(SpinValue, ArrowStepsClampAndStartFromTheMinimumForANonNumber) {
    EXPECT_EQ(SteppedSpinValue("59", 1, 0, 60), 60);
    EXPECT_EQ(SteppedSpinValue("60", 1, 0, 60), 60);
    EXPECT_EQ(SteppedSpinValue("0", -1, 0, 60), 0);
    EXPECT_EQ(SteppedSpinValue("", 1, 1, 64), 2);
    EXPECT_EQ(SteppedSpinValue("abc", -1, 1, 64), 1);
    EXPECT_EQ(SteppedSpinValue("500", -1, 0, 20), 20);
    EXPECT_EQ(SteppedSpinValue("2147483647", 1, 0, 20), 20);
    EXPECT_EQ(SteppedSpinValue("-2147483648", -1, -100, 100), -100);
}

TEST(SpinValue, FocusLossReplacesOnlyOutOfRangeNumbers) {
    EXPECT_EQ(SpinTextOnFocusLoss("-5", 1, 99), "1");
    EXPECT_EQ(SpinTextOnFocusLoss("99", 0, 20), "20");
    EXPECT_EQ(SpinTextOnFocusLoss("$FF", 0, 20), "20");
    EXPECT_EQ(SpinTextOnFocusLoss(" 7", 0, 20), std::nullopt);  // in range: kept as typed
    EXPECT_EQ(SpinTextOnFocusLoss("", 1, 64), std::nullopt);
    EXPECT_EQ(SpinTextOnFocusLoss("1.", 1, 64), std::nullopt);
}

}  // namespace
}  // namespace zk
