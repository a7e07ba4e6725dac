#include "accesscode.h"

#include <gtest/gtest.h>

#include "_2GL.h"
#include "freshglobals.h"

namespace zk {
namespace {

class AccessCode : public testing::FreshGlobals {
  protected:
    // Validates `text`, expects it accepted, encodes it at byte 4 and returns bytes 4..7.
    std::array<int, 4> Encoded(std::string text) {
        EXPECT_EQ(ValidateAccessCode(text), "") << text;
        EncodeAccessCode(text, 4);
        return {TransferArray[4], TransferArray[5], TransferArray[6], TransferArray[7]};
    }
};

TEST_F(AccessCode, FourSymbolsEncodeInTypedOrder) {
    EXPECT_EQ(Encoded("ABCD"), (std::array<int, 4>{0x8A, 0x8B, 0x8C, 0x8D}));
    EXPECT_EQ(Encoded("D*#A"), (std::array<int, 4>{0x8D, 0x8E, 0x8F, 0x8A}));
    EXPECT_EQ(Encoded("0000"), (std::array<int, 4>{0x80, 0x80, 0x80, 0x80}));
    EXPECT_EQ(Encoded("7204"), (std::array<int, 4>{0x87, 0x82, 0x80, 0x84}));
}

TEST_F(AccessCode, OneSymbolWritesOnlyTheFirstByteAndKeepsTheRest) {
    EXPECT_EQ(Encoded("D")[0], 0xCD);
    EXPECT_EQ(Encoded("0")[0], 0xC0);
    EXPECT_EQ(Encoded("A")[0], 0xCA);
    EXPECT_EQ(Encoded(":")[0], 0xCA);  // the normalised form typed directly

    Encoded("1234");
    EXPECT_EQ(Encoded("D"), (std::array<int, 4>{0xCD, 0x82, 0x83, 0x84}));
}

TEST_F(AccessCode, NormalisedTextAndTrimming) {
    std::string text = " \t*AB#\r\n";
    EXPECT_EQ(ValidateAccessCode(text), "");
    EXPECT_EQ(text, ">:;?");

    text = "  5  ";
    EXPECT_EQ(ValidateAccessCode(text), "");
    EXPECT_EQ(text, "5");

    text = ":;<=";
    EXPECT_EQ(ValidateAccessCode(text), "");
    EXPECT_EQ(Encoded(":;<="), Encoded("ABCD"));
}

// The kind of each refusal and the window's text for it: the command line words the kinds in
// English, the window must go on showing exactly these texts for the same input.
TEST_F(AccessCode, FaultKindsTheirWindowTextsAndWhichOneWins) {
    struct Case {
        const char* text;
        CodeFault fault;
    };
    const Case cases[] = {
        {"", CodeFault::Length},
        {"   ", CodeFault::Length},
        {"12", CodeFault::Length},
        {"123", CodeFault::Length},
        {"12345", CodeFault::Length},
        {"  12 34", CodeFault::Symbol},  // five characters after trimming: the symbol fault wins
        {"abcd", CodeFault::Symbol},     // the window takes only capitals
        {"a", CodeFault::Symbol},
        {"12E4", CodeFault::Symbol},
        {"@", CodeFault::Symbol},
        {"/", CodeFault::Symbol},
        {"Ж", CodeFault::Symbol},
        {"12345678x", CodeFault::Symbol},
        {" 1590 ", CodeFault::None},
        {"#", CodeFault::None},
    };
    for (const auto& c : cases) {
        std::string checked = c.text;
        std::string validated = c.text;
        EXPECT_EQ(CheckAccessCode(checked), c.fault) << '"' << c.text << '"';
        const char* windowText = c.fault == CodeFault::Length   ? kCodeLengthMessage
                                 : c.fault == CodeFault::Symbol ? kCodeSymbolMessage
                                                                : "";
        EXPECT_EQ(ValidateAccessCode(validated), windowText) << '"' << c.text << '"';
        EXPECT_EQ(validated, checked) << "both normalise alike";
    }
    EXPECT_STREQ(kCodeLengthMessage, " код должен иметь одну или 4 цифры");
    EXPECT_STREQ(kCodeSymbolMessage, " символы должны быть:   0,1,2,3,4,5,6,7,8,9,A,B,C,D,*,#");
}

}  // namespace
}  // namespace zk
