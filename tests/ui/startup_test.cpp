// Start-up: the help page loaded from the working directory, the "xq" switch, the error box
// before the window, the exit status, and the hidden exit button.
#include <QChartView>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QScrollBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextEdit>
#include <cstdio>
#include <cstdlib>

#include "errors.h"
#include "formfixture.h"
#include "startup.h"

namespace {

// "Привет, мир" in Windows-1251, as a word processor writes it, with the NUL after the brace.
constexpr char kCyrillicRtf[] =
    "{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset204 Arial;}}\r\n"
    "\\f0\\fs20 \\'cf\\'f0\\'e8\\'e2\\'e5\\'f2, \\'ec\\'e8\\'f0\\par\r\n}\r\n";

class StartupTest : public FormTest {
  protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        previous = QDir::currentPath();
        QDir::setCurrent(folder.path());
        FormTest::SetUp();
    }
    void TearDown() override {
        FormTest::TearDown();
        QDir::setCurrent(previous);
    }

    void WriteHelp(const QByteArray& bytes) const {
        QFile file(QDir(folder.path()).filePath("help.rtf"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }

    // The help as the operator finds it on opening its page; the page in front before is
    // brought back.
    QString HelpText() const {
        auto* pages = Find<QTabWidget>("PageControl1");
        QWidget* front = pages->currentWidget();
        pages->setCurrentWidget(Find("TabSheet3"));
        QApplication::processEvents();
        const QString text = Find<QTextEdit>("RichEdit1")->toPlainText();
        pages->setCurrentWidget(front);
        QApplication::processEvents();
        return text;
    }

    // The diagnostic views as the operator would find them: the chart on its page and the group
    // on the programmer page, each explicitly shown or hidden.
    bool ChartShown() const { return !Find("Chart1")->isHidden(); }
    bool DiagnosticGroupShown() const { return !Find("GroupBox11")->isHidden(); }

    QTemporaryDir folder;
    QString previous;
};

TEST_F(StartupTest, OnlyAFirstArgumentOfExactlyXqShowsTheDiagnosticViews) {
    WriteHelp(kCyrillicRtf);
    const std::vector<std::pair<QStringList, bool>> commandLines{
        {{"zk77q3-programmer"}, false},
        {{"zk77q3-programmer", "XQ"}, false},
        {{"zk77q3-programmer", "Xq"}, false},
        {{"zk77q3-programmer", "xqz"}, false},
        {{"zk77q3-programmer", " xq"}, false},
        {{"zk77q3-programmer", "xq "}, false},
        {{"zk77q3-programmer", "\"xq\""}, false},  // quotes the shell did not take away
        {{"zk77q3-programmer", ""}, false},
        {{"zk77q3-programmer", "-", "xq"}, false},
        {{"zk77q3-programmer", "yq", "xq"}, false},
        {{"zk77q3-programmer", "xq"}, true},  // also what the shell makes of "xq" in quotes
        {{"zk77q3-programmer", "xq", "XQ"}, true},
    };
    for (const auto& [arguments, diagnostic] : commandLines) {
        const std::string shown = arguments.join('|').toStdString();
        StartForm(arguments);
        EXPECT_EQ(form->DiagnosticMode(), diagnostic) << shown;
        EXPECT_EQ(ChartShown(), diagnostic) << shown;
        EXPECT_EQ(Find("GroupBox11")->isVisible(), diagnostic) << shown;
        EXPECT_TRUE(Find("GroupBox12")->isVisible()) << shown;
        EXPECT_EQ(HelpText(), "Привет, мир") << shown;
        EXPECT_EQ(Find<QTabWidget>("PageControl1")->currentWidget(), Find("TabSheet2")) << shown;
    }
}

TEST_F(StartupTest, PlainTextHelpIsShownUnchangedAndStaysEditable) {
    const QString text = "Справка\n\tотступ  {скобки} \\rtf1 обратная черта\nпоследняя строка";
    WriteHelp(text.toUtf8());
    BoxCatcher catcher;
    StartForm(QStringList{"zk77q3-programmer"});
    EXPECT_EQ(catcher.boxes, 0);
    EXPECT_EQ(HelpText(), text);

    auto* help = Find<QTextEdit>("RichEdit1");
    EXPECT_FALSE(help->isReadOnly());
    help->moveCursor(QTextCursor::End);
    help->insertPlainText("!");
    EXPECT_TRUE(HelpText().endsWith("строка!"));
}

// The help is read when the window starts; its page, built when first shown, shows what was read
// then, even if the file has since changed or gone.
TEST_F(StartupTest, TheHelpPageShowsTheHelpAsItWasAtStart) {
    WriteHelp(kCyrillicRtf);
    BoxCatcher catcher;
    StartForm(QStringList{"zk77q3-programmer"});
    WriteHelp("{\\rtf1 changed}");
    EXPECT_EQ(HelpText(), "Привет, мир");
    ASSERT_TRUE(QFile::remove(QDir(folder.path()).filePath("help.rtf")));
    EXPECT_EQ(HelpText(), "Привет, мир");
    EXPECT_EQ(catcher.boxes, 0);
}

TEST_F(StartupTest, TheHelpPageOpensAtTheStartOfALongHelp) {
    QByteArray rtf = "{\\rtf1\\ansi First line\\par ";
    for (int i = 0; i < 300; ++i) {
        rtf += "Line " + QByteArray::number(i) + "\\par ";
    }
    WriteHelp(rtf + "Last line}");
    StartForm(QStringList{"zk77q3-programmer"});
    Find<QTabWidget>("PageControl1")->setCurrentWidget(Find("TabSheet3"));
    QApplication::processEvents();
    auto* help = Find<QTextEdit>("RichEdit1");
    EXPECT_TRUE(HelpText().startsWith("First line\nLine 0\n"));
    EXPECT_GT(help->verticalScrollBar()->maximum(), 0);
    EXPECT_EQ(help->verticalScrollBar()->value(), 0);
    EXPECT_EQ(help->textCursor().position(), 0);
}

TEST_F(StartupTest, AHelpFileThatIsNoTextFailsToLoadStreamAndTheSwitchStillCounts) {
    WriteHelp(QByteArray("not rich\0text", 13));
    BoxCatcher catcher;
    StartForm(QStringList{"zk77q3-programmer", "xq"});
    EXPECT_EQ(catcher.boxes, 1);
    EXPECT_EQ(catcher.text, "Failed to Load Stream.");
    EXPECT_EQ(catcher.icon, QMessageBox::Critical);
    EXPECT_FALSE(catcher.windowShownUnderBox);
    EXPECT_EQ(HelpText(), "RichEdit1");
    EXPECT_TRUE(form->DiagnosticMode());
    EXPECT_TRUE(ChartShown());
    EXPECT_TRUE(Find("GroupBox11")->isVisible());
}

// Runs the start-up as the executable does and, once the window is up, calls `look` with it and
// closes it. Returns the exit status; `seen` tells whether the window ever came up.
int RunAndClose(zk::Player& player, const QStringList& arguments,
                const std::function<void(TForm1&)>& look, bool& seen) {
    seen = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        TForm1* form = TopLevelForm();
        if (QApplication::activeModalWidget() != nullptr || form == nullptr || !form->isVisible()) {
            return;
        }
        poll.stop();
        seen = true;
        look(*form);
        form->close();
    });
    poll.start(20);
    zk::ui::DirectRoute route(player);
    return zk::ui::RunProgrammer(route, arguments);
}

TEST_F(StartupTest, AMissingHelpFileIsReportedBeforeTheWindowWhichComesUpAllTheSame) {
    form.reset();  // the start-up makes its own window
    BoxCatcher catcher;
    bool seen = false;
    QString helpText;
    bool chartShown = false;
    bool groupShown = false;
    QWidget* front = nullptr;
    const int status = RunAndClose(
        player, {"zk77q3-programmer", "xq"},
        [&](TForm1& window) {
            helpText = window.findChild<QTextEdit*>("RichEdit1")->toPlainText();
            chartShown = !window.findChild<QWidget*>("Chart1")->isHidden();
            groupShown = window.findChild<QWidget*>("GroupBox11")->isVisible();
            front = window.findChild<QTabWidget*>("PageControl1")->currentWidget();
            EXPECT_EQ(front, window.findChild<QWidget*>("TabSheet2"));
        },
        seen);

    EXPECT_EQ(catcher.boxes, 1);
    EXPECT_FALSE(catcher.windowShownUnderBox);
    EXPECT_EQ(catcher.title, QString::fromStdString(zk::ErrorBoxCaption(
                                 QCoreApplication::applicationFilePath().toStdString())));
    EXPECT_EQ(catcher.text, "Cannot open file \"" + QDir(folder.path()).canonicalPath() +
                                "/help.rtf\". No such file or directory.");
    EXPECT_TRUE(seen) << "the window never came up after the box";
    EXPECT_EQ(status, 0);
    EXPECT_EQ(helpText, "RichEdit1");
    EXPECT_TRUE(chartShown);
    EXPECT_TRUE(groupShown);
}

TEST_F(StartupTest, ClosingTheWindowEndsWithStatusZero) {
    form.reset();
    WriteHelp(kCyrillicRtf);
    BoxCatcher catcher;
    bool seen = false;
    bool diagnostic = true;
    const int status = RunAndClose(
        player, {"zk77q3-programmer"},
        [&](TForm1& window) { diagnostic = window.DiagnosticMode(); }, seen);
    EXPECT_TRUE(seen);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(catcher.boxes, 0);
    EXPECT_FALSE(diagnostic);
    EXPECT_EQ(TopLevelForm(), nullptr);
}

using ExitButtonDeathTest = FormTest;

// The press ends this process; the test watches it from a fresh copy of the test program.
TEST_F(ExitButtonDeathTest, TheHiddenExitButtonReachedWithTabEndsTheProcessWithStatusZero) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            BoxCatcher catcher;  // a box instead of the exit would otherwise wait for ever
            auto* exitButton = Find<QPushButton>("Button2");
            Find("LabeledEdit_KodOtkrPols")->setFocus(Qt::TabFocusReason);
            for (int presses = 0; presses < 100 && QApplication::focusWidget() != exitButton;
                 ++presses) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            }
            if (QApplication::focusWidget() == exitButton) {
                QTest::keyClick(exitButton, Qt::Key_Space);
            }
            std::fprintf(stderr, "still running\n");
            std::_Exit(3);
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
