#include "generate.h"

#include <gtest/gtest.h>

#include <vector>

#include "_2GL.h"
#include "accesscode.h"
#include "errors.h"
#include "freshglobals.h"
#include "panelstate.h"

namespace zk {
namespace {

// The array after one run with every control at its start value.
const std::vector<int> kStartArray = {
    0x7F, 0x04, 0x01, 0x01, 0x87, 0x82, 0x80, 0x84, 0xCE, 0x00, 0x00, 0x00, 0x88, 0x81, 0x83, 0x85,
    0xCF, 0x00, 0x00, 0x00, 0x86, 0x89, 0x81, 0x84, 0x40, 0x00, 0x00, 0x00, 0x08, 0x07, 0x00, 0x00,
    0x00, 0x1E, 0x00, 0x00, 0x00, 0x00, 0x05, 0x00, 0x01, 0x00, 0x00, 0x01, 0x01, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x6B, 0xD6, 0x00,
};

std::vector<int> ArrayNow() {
    std::vector<int> bytes;
    for (int i = 0; i < kTransferSize; ++i) {
        bytes.push_back(TransferArray[i]);
    }
    return bytes;
}

class Generate : public testing::FreshGlobals {
  protected:
    PanelState panel;
};

TEST_F(Generate, StartValuesGiveTheKnownArrayListingsAndStatus) {
    GenerateTransferArray(panel);

    EXPECT_EQ(ArrayNow(), kStartArray);
    EXPECT_EQ(panel.statusText, " *** нет ошибок ***");
    EXPECT_TRUE(panel.outputButtonVisible);
    for (const auto& info : kCodeFields) {
        EXPECT_EQ(panel.Colour(info.field), kColourWhite);
    }
    EXPECT_EQ(
        panel.memo1.lines,
        (std::vector<std::string>{"87828084", "CE000000", "88818385", "CF000000", "86898184", "01",
                                  "64", "  0 30  0", "  0  0", "  0  5", "  1  1", "6BD6"}));
    ASSERT_EQ(panel.memoMasIsh.lines.size(), 64u);
    for (int i = 0; i < 64; ++i) {
        char expected[8];
        std::snprintf(expected, sizeof expected, "%2d %02X", i, kStartArray[i]);
        EXPECT_EQ(panel.memoMasIsh.lines[static_cast<std::size_t>(i)], expected);
    }
    EXPECT_EQ(panel.memoMasIsh.lines.front(), " 0 7F");
    EXPECT_EQ(panel.memoMasIsh.lines.back(), "63 00");
    ASSERT_EQ(panel.memo2.lines.size(), 61u);
    EXPECT_EQ(panel.memo2.lines.back(), "60  6BD6");
}

TEST_F(Generate, OnlyTheFirstRejectedCodeIsReportedAndTheRunStopsThere) {
    GenerateTransferArray(panel);
    const std::vector<int> before = ArrayNow();
    const auto memo1 = panel.memo1.lines;

    panel.Code(CodeField::KodOtkrPols) = "12";
    panel.Code(CodeField::KodZakrAdm) = "xx";
    panel.Spin(SpinField::UrBip) = 7;
    GenerateTransferArray(panel);

    EXPECT_EQ(panel.statusText, kCodeLengthMessage);
    EXPECT_EQ(panel.Colour(CodeField::KodOtkrPols), kColourYellow);
    for (const auto field : {CodeField::KodZakrPols, CodeField::KodOtkrAdmin, CodeField::KodZakrAdm,
                             CodeField::KodPolz}) {
        EXPECT_EQ(panel.Colour(field), kColourWhite);
    }
    EXPECT_TRUE(panel.outputButtonVisible);
    EXPECT_EQ(ArrayNow(), before);  // byte 36 is not rewritten
    EXPECT_EQ(panel.memo1.lines, memo1);

    // The edit is painted white again by the next run, before its code is examined.
    panel.Code(CodeField::KodOtkrPols) = "7204";
    GenerateTransferArray(panel);
    EXPECT_EQ(panel.Colour(CodeField::KodOtkrPols), kColourWhite);
    EXPECT_EQ(panel.Colour(CodeField::KodZakrAdm), kColourYellow);
    EXPECT_EQ(panel.statusText, kCodeSymbolMessage);
}

TEST_F(Generate, EvenTheFirstRejectedRunShowsTheOutputButtonAndWritesTheHeader) {
    panel.Code(CodeField::KodOtkrPols) = "1 2";
    GenerateTransferArray(panel);
    EXPECT_TRUE(panel.outputButtonVisible);
    EXPECT_EQ(panel.statusText, kCodeSymbolMessage);
    std::vector<int> expected(64, 0);
    expected[0] = 0x7F;
    expected[1] = 0x04;
    expected[2] = 0x01;
    expected[3] = 0x01;
    expected[46] = 0xEE;
    expected[47] = 0xFF;
    EXPECT_EQ(ArrayNow(), expected);
    EXPECT_EQ(panel.memo1.lines, std::vector<std::string>{"Memo1"});
    EXPECT_EQ(panel.memo2.lines, std::vector<std::string>{"Memo1"});
    EXPECT_EQ(panel.memoMasIsh.lines, std::vector<std::string>{"Memo1"});
}

TEST_F(Generate, AStopAtTheAdministratorCloseCodeKeepsEverythingAfterIt) {
    for (int i = 16; i < 64; ++i) {
        TransferArray[i] = static_cast<std::uint8_t>(i);
    }
    panel.Code(CodeField::KodOtkrPols) = "1234";
    panel.Code(CodeField::KodZakrPols) = "5";
    panel.Code(CodeField::KodOtkrAdmin) = "ABCD";
    panel.Code(CodeField::KodZakrAdm) = "EEEE";
    GenerateTransferArray(panel);

    const std::vector<int> head = {0x7F, 0x04, 0x01, 0x01, 0x81, 0x82, 0x83, 0x84,
                                   0xC5, 0x00, 0x00, 0x00, 0x8A, 0x8B, 0x8C, 0x8D};
    const std::vector<int> now = ArrayNow();
    EXPECT_EQ(std::vector<int>(now.begin(), now.begin() + 16), head);
    for (int i = 16; i < 64; ++i) {
        EXPECT_EQ(now[static_cast<std::size_t>(i)], i) << "byte " << i;
    }
    EXPECT_EQ(panel.Colour(CodeField::KodZakrAdm), kColourYellow);
}

TEST_F(Generate, OneSymbolCodeAfterAFourSymbolCodeKeepsTheStaleBytes) {
    panel.Code(CodeField::KodZakrPols) = "1590";
    GenerateTransferArray(panel);
    panel.Code(CodeField::KodZakrPols) = "D";
    GenerateTransferArray(panel);
    EXPECT_EQ(panel.memo1.lines[1], "CD858980");
}

TEST_F(Generate, PeriodCountsSixtyMinutesAndSixtySeconds) {
    panel.Spin(SpinField::PP_Hour) = 64;
    panel.Spin(SpinField::PP_Min) = 60;
    panel.Spin(SpinField::PP_Sek) = 60;
    GenerateTransferArray(panel);
    const std::vector<int> now = ArrayNow();
    EXPECT_EQ(std::vector<int>(now.begin() + 28, now.begin() + 35),
              (std::vector<int>{0x4C, 0x92, 0x03, 0x00, 60, 60, 64}));
    EXPECT_EQ(panel.memo1.lines[7], " 64 60 60");

    panel.Spin(SpinField::PP_Hour) = 0;
    GenerateTransferArray(panel);
    EXPECT_EQ(TransferArray[28] | (TransferArray[29] << 8), 3660);
}

TEST_F(Generate, OverflowingPeriodRaisesIntegerOverflow) {
    panel.Spin(SpinField::PP_Hour) = 1 << 20;
    EXPECT_THROW(GenerateTransferArray(panel), IntegerOverflowError);
}

TEST_F(Generate, SquelchModesFollowThePageAndTheActiveLevel) {
    panel.Spin(SpinField::SQL0_PorogPerekl) = 42;
    panel.Spin(SpinField::SQL_PorogPerekl) = 7;

    panel.sqlPage = kSqlPageInput;
    panel.sqlLevel = kSqlLevelLow;
    GenerateTransferArray(panel);
    EXPECT_EQ(TransferArray[37], 1);
    EXPECT_EQ(TransferArray[38], 7);
    EXPECT_EQ(panel.memo1.lines[9], "  1  7");

    panel.sqlLevel = kSqlLevelHigh;
    GenerateTransferArray(panel);
    EXPECT_EQ(TransferArray[37], 2);
    EXPECT_EQ(TransferArray[38], 7);

    panel.sqlPage = kSqlPageAudio;  // the radio group is not read on the audio page
    GenerateTransferArray(panel);
    EXPECT_EQ(TransferArray[37], 0);
    EXPECT_EQ(TransferArray[38], 42);
}

// One flag at a time, so that two flags whose bytes were swapped cannot pass together.
TEST_F(Generate, EachFlagAloneSetsOnlyItsOwnByte) {
    const std::pair<CheckField, int> flags[] = {{CheckField::ZAmOtp, 39},
                                                {CheckField::Razr_DTMF, 40},
                                                {CheckField::KF_PRM, 43},
                                                {CheckField::KF_PRD, 44},
                                                {CheckField::RegSleep, 45}};
    for (const auto& [on, byte] : flags) {
        for (const auto& [field, ignored] : flags) {
            panel.Check(field) = field == on;
        }
        GenerateTransferArray(panel);
        for (const auto& [field, other] : flags) {
            EXPECT_EQ(TransferArray[other], other == byte ? 1 : 0)
                << "byte " << other << " with only byte " << byte << "'s flag set";
        }
    }
}

TEST_F(Generate, EverySettingLandsInItsByte) {
    panel.Check(CheckField::Razr_DTMF) = false;
    panel.Check(CheckField::KF_PRM) = false;
    panel.Check(CheckField::ZAmOtp) = true;
    panel.Check(CheckField::RegSleep) = true;
    panel.Spin(SpinField::MaxDlitZapRep) = 1;
    panel.Spin(SpinField::DlitBip) = 9;
    panel.Spin(SpinField::UrBip) = 20;
    panel.Spin(SpinField::UsilADC) = 13;
    panel.Spin(SpinField::OslDAC) = 17;
    GenerateTransferArray(panel);
    const std::vector<int> now = ArrayNow();
    EXPECT_EQ(now[24], 1);
    EXPECT_EQ(now[25], 0);
    EXPECT_EQ(now[35], 9);
    EXPECT_EQ(now[36], 20);
    EXPECT_EQ(now[39], 1);
    EXPECT_EQ(now[40], 0);
    EXPECT_EQ(now[41], 13);
    EXPECT_EQ(now[42], 17);
    EXPECT_EQ(now[43], 0);
    EXPECT_EQ(now[44], 1);
    EXPECT_EQ(now[45], 1);
    EXPECT_EQ(panel.memo1.lines[5], "00");
    EXPECT_EQ(panel.memo1.lines[6], " 1");
    EXPECT_EQ(panel.memo1.lines[8], "  9 20");
    EXPECT_EQ(panel.memo1.lines[10], "  0  1");
}

TEST_F(Generate, WithoutTheCheckWordOptionMarkersCheckWordAndTraceAreUntouched) {
    panel.Check(CheckField::RasKS) = false;
    TransferArray[61] = 0x12;
    TransferArray[62] = 0x34;
    GenerateTransferArray(panel);
    EXPECT_EQ(TransferArray[46], 0xEE);
    EXPECT_EQ(TransferArray[47], 0xFF);
    EXPECT_EQ(TransferArray[61], 0x12);
    EXPECT_EQ(TransferArray[62], 0x34);
    EXPECT_EQ(panel.memo2.lines, std::vector<std::string>{"Memo1"});
    EXPECT_EQ(panel.memo1.lines.back(), "1234");
    EXPECT_EQ(panel.memoMasIsh.lines[46], "46 EE");
}

}  // namespace
}  // namespace zk
