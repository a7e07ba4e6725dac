// Enter and keypad Enter press the focused push button, as Space does.
#include <QKeyEvent>
#include <QLabel>
#include <QTextEdit>

#include "formfixture.h"

namespace {

class EnterKeyTest : public FormTest {
  protected:
    QPushButton* Focused(const char* name) const {
        auto* button = Find<QPushButton>(name);
        button->setFocus(Qt::TabFocusReason);
        EXPECT_TRUE(button->hasFocus()) << name;
        return button;
    }

    static void Send(QWidget* to, QEvent::Type type, Qt::Key key, Qt::KeyboardModifiers modifiers,
                     bool repeat = false) {
        QKeyEvent event(type, key, modifiers, key == Qt::Key_Space ? " " : "\r", repeat);
        QApplication::sendEvent(to, &event);
    }

    QString Listing() const { return Find<QTextEdit>("Memo_MasIsh")->toPlainText(); }
};

TEST_F(EnterKeyTest, EnterAndKeypadEnterPressTheFocusedButton) {
    QPushButton* generate = Focused("Button_FormFile");
    QTest::keyClick(generate, Qt::Key_Return);
    EXPECT_EQ(Find<QLabel>("StaticText_Error")->text(), " *** нет ошибок ***");
    EXPECT_EQ(Listing().split(QChar::LineFeed).size(), 64);
    ASSERT_FALSE(Find("Button_Out")->isHidden());

    QPushButton* output = Focused("Button_Out");
    QTest::keyClick(output, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(player.played.size(), 1u);
    // Space still does what it did.
    QTest::keyClick(output, Qt::Key_Space);
    EXPECT_EQ(player.played.size(), 2u);
}

TEST_F(EnterKeyTest, HoldingEnterSendsOnceAndChordsSendNothing) {
    QTest::keyClick(Focused("Button_FormFile"), Qt::Key_Return);
    QPushButton* output = Focused("Button_Out");

    // A held key repeats its press: one programming signal goes out, not one per repeat.
    Send(output, QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    for (int i = 0; i < 5; ++i) {
        Send(output, QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, true);
    }
    Send(output, QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier);
    EXPECT_EQ(player.played.size(), 1u);

    for (const Qt::KeyboardModifiers chord :
         {Qt::KeyboardModifiers(Qt::ControlModifier), Qt::KeyboardModifiers(Qt::AltModifier),
          Qt::ControlModifier | Qt::KeypadModifier}) {
        Send(output, QEvent::KeyPress, Qt::Key_Return, chord);
        Send(output, QEvent::KeyRelease, Qt::Key_Return, chord);
    }
    EXPECT_EQ(player.played.size(), 1u);

    output->setEnabled(false);
    Send(output, QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    EXPECT_EQ(player.played.size(), 1u);
}

TEST_F(EnterKeyTest, EnterInACodeFieldPressesNoButton) {
    QLineEdit* code = Find<QLineEdit>("LabeledEdit_KodOtkrPols");
    code->setFocus(Qt::TabFocusReason);
    QTest::keyClick(code, Qt::Key_Return);
    EXPECT_EQ(Listing(), "Memo1");
    EXPECT_TRUE(Find("Button_Out")->isHidden());
}

}  // namespace
