// The real window, shown and active on the offscreen platform, with a player that records what
// it was asked to play and a counter in place of the system beep.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "Pr_221_1.h"
#include "_2GL.h"
#include "spinedit.h"

// Failures print the text, not the bytes.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

class RecordingPlayer : public zk::Player {
  public:
    void Play(const std::string& fileName) override {
        played.push_back(fileName);
        if (onPlay) {
            onPlay(fileName);
        }
    }
    std::vector<std::string> played;
    std::function<void(const std::string&)> onPlay;
};

class FormTest : public ::testing::Test {
  protected:
    void SetUp() override {
        zk::ResetGlobalsToStartValues();
        zk::ui::SpinEdit::SetBeepHook([this] { ++beeps; });
        form = std::make_unique<TForm1>(player);
        form->show();
        QApplication::setActiveWindow(form.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }

    void TearDown() override {
        form.reset();
        zk::ui::SpinEdit::SetBeepHook({});
    }

    template <typename Widget = QWidget>
    Widget* Find(const char* name) const {
        auto* widget = form->findChild<Widget*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << "no control named " << name;
        return widget;
    }

    zk::ui::SpinEdit* Spin(const char* name) const { return Find<zk::ui::SpinEdit>(name); }

    // Clicks into the field, selects its text and types `text` over it.
    static void TypeOver(QLineEdit* edit, const QString& text) {
        QTest::mouseClick(edit, Qt::LeftButton, {}, QPoint(5, edit->height() / 2));
        edit->selectAll();
        if (text.isEmpty()) {
            QTest::keyClick(edit, Qt::Key_Backspace);
        } else {
            QTest::keyClicks(edit, text);
        }
    }

    // A mouse click on a button, as the operator presses it.
    void Press(const char* name) const {
        QTest::mouseClick(Find<QPushButton>(name), Qt::LeftButton);
    }

    static QStringList Lines(const QPlainTextEdit* memo) {
        return memo->toPlainText().split(QChar::LineFeed);
    }

    RecordingPlayer player;
    std::unique_ptr<TForm1> form;
    int beeps = 0;
};
