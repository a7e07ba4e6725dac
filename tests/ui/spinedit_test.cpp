// The spin edits as the operator meets them: what typing does, the arrows, leaving the field.
#include <QClipboard>
#include <QElapsedTimer>
#include <QToolButton>

#include "formfixture.h"

namespace {

using SpinEditTest = FormTest;

TEST_F(SpinEditTest, AValueAboveTheRangeIsClampedWhenTheButtonTakesTheFocus) {
    zk::ui::SpinEdit* level = Spin("SpinEdit_UrBip");
    TypeOver(level, "99");
    EXPECT_EQ(level->text(), "99");  // nothing changes while the field has the focus
    Press("Button_FormFile");
    EXPECT_EQ(level->text(), "20");
    EXPECT_EQ(zk::TransferArray[36], 20);
}

TEST_F(SpinEditTest, AnEmptiedFieldStaysEmptyAndCountsAsItsMinimum) {
    zk::ui::SpinEdit* length = Spin("SpinEdit_MaxDlitZapRep");
    TypeOver(length, "");
    ASSERT_EQ(length->text(), "");
    Press("Button_FormFile");
    EXPECT_EQ(length->text(), "");
    EXPECT_EQ(zk::TransferArray[24], 0x01);
    EXPECT_EQ(zk::TransferArray[25], 0x00);

    // Up from an empty field starts at the minimum.
    QTest::mouseClick(length, Qt::LeftButton);
    QTest::keyClick(length, Qt::Key_Up);
    EXPECT_EQ(length->text(), "2");
}

TEST_F(SpinEditTest, LeavingTheFieldBringsANumberIntoRangeAndLeavesOtherTextAlone) {
    zk::ui::SpinEdit* threshold = Spin("SpinEdit_SQL0_PorogPerekl");
    TypeOver(threshold, "-5");
    QTest::keyClick(threshold, Qt::Key_Tab);
    EXPECT_FALSE(threshold->hasFocus());
    EXPECT_EQ(threshold->text(), "1");

    TypeOver(threshold, "1.5");  // not a whole number: shown as typed, read as the minimum
    QTest::keyClick(threshold, Qt::Key_Tab);
    EXPECT_EQ(threshold->text(), "1.5");
    EXPECT_EQ(threshold->Value(), 1);
    EXPECT_EQ(beeps, 0);
}

TEST_F(SpinEditTest, ArrowsAndUpDownKeysStopAtTheBounds) {
    zk::ui::SpinEdit* minutes = Spin("SpinEdit_PP_Min");
    for (int i = 0; i < 35; ++i) {
        QTest::mouseClick(minutes->UpButton(), Qt::LeftButton);
    }
    EXPECT_EQ(minutes->text(), "60");
    EXPECT_TRUE(minutes->hasFocus());  // the arrows put the focus into their field
    QTest::keyClick(minutes, Qt::Key_Down);
    EXPECT_EQ(minutes->text(), "59");
    for (int i = 0; i < 65; ++i) {
        QTest::mouseClick(minutes->DownButton(), Qt::LeftButton);
    }
    EXPECT_EQ(minutes->text(), "0");
    QTest::keyClick(minutes, Qt::Key_Down);
    EXPECT_EQ(minutes->text(), "0");
    QTest::keyClick(minutes, Qt::Key_Up);
    EXPECT_EQ(minutes->text(), "1");
}

TEST_F(SpinEditTest, HoldingAnArrowRepeatsAfter400MsThenEvery100Ms) {
    zk::ui::SpinEdit* hours = Spin("SpinEdit_PP_Hour");
    QElapsedTimer held;
    held.start();
    QTest::mousePress(hours->UpButton(), Qt::LeftButton);
    EXPECT_EQ(hours->text(), "1");  // the press itself steps
    QTest::qWait(250);
    if (held.elapsed() < 390) {
        EXPECT_EQ(hours->text(), "1");  // no repeat before 400 ms
    }
    QTest::qWait(750);
    QTest::mouseRelease(hours->UpButton(), Qt::LeftButton);
    // Held about one second: the press, the repeat at 400 ms and one per 100 ms after it.
    const int steps = hours->text().toInt();
    const int mostPossible = 2 + static_cast<int>((held.elapsed() - 400) / 100);
    EXPECT_GE(steps, 3);
    EXPECT_LE(steps, mostPossible);
    EXPECT_EQ(hours->text().toInt(), steps);  // letting go adds nothing
}

TEST_F(SpinEditTest, ALetterOrEnterIsRefusedWithABeepInEveryField) {
    const char* names[] = {
        "SpinEdit_MaxDlitZapRep",    "SpinEdit_PP_Hour",         "SpinEdit_PP_Min",
        "SpinEdit_PP_Sek",           "SpinEdit_DlitBip",         "SpinEdit_UrBip",
        "SpinEdit_SQL0_PorogPerekl", "SpinEdit_SQL_PorogPerekl", "SpinEdit_UsilADC",
        "SpinEdit_OslDAC",
    };
    int expected = 0;
    for (const char* name : names) {
        zk::ui::SpinEdit* spin = Spin(name);
        const QString before = spin->text();
        spin->setFocus(Qt::TabFocusReason);
        QTest::keyClick(spin, Qt::Key_A);
        QTest::keyClick(spin, Qt::Key_Return);
        QTest::keyClicks(spin, "x ");
        expected += 4;
        EXPECT_EQ(spin->text(), before) << name;
        EXPECT_EQ(beeps, expected) << name;
    }
}

TEST_F(SpinEditTest, DigitsSignsAndPastedHexAreTaken) {
    zk::ui::SpinEdit* beepLength = Spin("SpinEdit_DlitBip");
    TypeOver(beepLength, "+7");
    EXPECT_EQ(beepLength->text(), "+7");
    QTest::keyClick(beepLength, Qt::Key_Backspace);
    QTest::keyClicks(beepLength, "-3");
    EXPECT_EQ(beepLength->text(), "+-3");  // typed as is; not a number, so read as 0
    EXPECT_EQ(beepLength->Value(), 0);
    EXPECT_EQ(beeps, 0);

    QApplication::clipboard()->setText("$C");
    beepLength->selectAll();
    QTest::keyClick(beepLength, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(beepLength->text(), "$C");
    QTest::keyClick(beepLength, Qt::Key_Tab);
    EXPECT_EQ(beepLength->text(), "9");  // 12, above the maximum
}

TEST_F(SpinEditTest, TheSecondsFieldRefusesTypingButFollowsItsArrows) {
    zk::ui::SpinEdit* seconds = Spin("SpinEdit_PP_Sek");
    QTest::mouseClick(seconds, Qt::LeftButton);
    ASSERT_TRUE(seconds->hasFocus());
    QTest::keyClicks(seconds, "5");
    QTest::keyClick(seconds, Qt::Key_Backspace);
    QTest::keyClick(seconds, Qt::Key_Home);
    QTest::keyClick(seconds, Qt::Key_Delete);
    EXPECT_EQ(seconds->text(), "0");
    EXPECT_EQ(beeps, 3);

    QApplication::clipboard()->setText("7");
    seconds->selectAll();
    QTest::keyClick(seconds, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(seconds, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(seconds->text(), "0");

    QTest::keyClick(seconds, Qt::Key_Up);
    QTest::mouseClick(seconds->UpButton(), Qt::LeftButton);
    EXPECT_EQ(seconds->text(), "2");
    Press("Button_FormFile");
    EXPECT_EQ(zk::TransferArray[32], 2);
}

TEST_F(SpinEditTest, OnlyTheSecondsFieldKeepsItsTextUnselectedOnEntry) {
    zk::ui::SpinEdit* minutes = Spin("SpinEdit_PP_Min");
    zk::ui::SpinEdit* seconds = Spin("SpinEdit_PP_Sek");
    minutes->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(minutes->selectedText(), "30");
    QTest::keyClick(minutes, Qt::Key_Tab);
    ASSERT_TRUE(seconds->hasFocus());
    EXPECT_TRUE(seconds->selectedText().isEmpty());
}

}  // namespace
