// The real window, shown and active on the offscreen platform, with a player that records what
// it was asked to play and a counter in place of the system beep.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>
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

// A folder of its own, made current, holding the help file that the window's start reads; the
// folder before it is current again when this goes.
class HelpFolder {
  public:
    HelpFolder() : previous_(QDir::currentPath()) {
        QDir::setCurrent(folder_.path());
        QFile help(QStringLiteral("help.rtf"));
        written_ = help.open(QIODevice::WriteOnly) && help.write("{\\rtf1\\ansi Help\\par}") > 0;
    }
    ~HelpFolder() { QDir::setCurrent(previous_); }
    HelpFolder(const HelpFolder&) = delete;
    HelpFolder& operator=(const HelpFolder&) = delete;
    bool Ready() const { return folder_.isValid() && written_; }

  private:
    QTemporaryDir folder_;
    QString previous_;
    bool written_ = false;
};

// Records the file name of each sound played; `onPlay` sees the sound itself.
class RecordingPlayer : public zk::Player {
  public:
    void Play(const zk::Sound& sound) override {
        played.push_back(sound.fileName);
        if (onPlay) {
            onPlay(sound);
        }
    }
    std::vector<std::string> played;
    std::function<void(const zk::Sound&)> onPlay;
};

// The programmer's window among the top-level windows, if there is one.
inline TForm1* TopLevelForm() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* form = qobject_cast<TForm1*>(widget)) {
            return form;
        }
    }
    return nullptr;
}

// Watches for a modal box, records what it showed and closes it with its OK button.
class BoxCatcher {
  public:
    BoxCatcher() {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr) {
                return;
            }
            ++boxes;
            title = box->windowTitle();
            text = box->text();
            icon = box->icon();
            buttons = box->buttons().size();
            plainText = box->textFormat() == Qt::PlainText;
            const TForm1* form = TopLevelForm();
            windowShownUnderBox = form != nullptr && form->isVisible();
            box->button(QMessageBox::Ok)->click();
        });
        timer_.start(10);
    }

    int boxes = 0;
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    qsizetype buttons = 0;
    bool plainText = false;
    bool windowShownUnderBox = false;

  private:
    QTimer timer_;
};

class FormTest : public ::testing::Test {
  protected:
    void SetUp() override {
        zk::ResetGlobalsToStartValues();
        zk::ui::SpinEdit::SetBeepHook([this] { ++beeps; });
        StartForm(Arguments());
    }

    // The command line the window of each test starts with; none leaves FormCreate out.
    virtual std::optional<QStringList> Arguments() const { return std::nullopt; }

    // A fresh window; with `arguments`, its FormCreate runs before it is shown, in the current
    // working directory.
    void StartForm(const std::optional<QStringList>& arguments) {
        form.reset();
        form =
            route != nullptr ? std::make_unique<TForm1>(*route) : std::make_unique<TForm1>(player);
        if (arguments) {
            form->FormCreate(*arguments);
        }
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
    zk::ui::SendRoute* route = nullptr;  // when set before SetUp, the window sends through it
    std::unique_ptr<TForm1> form;
    int beeps = 0;
};
