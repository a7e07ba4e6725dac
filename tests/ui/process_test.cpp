// The programmer's process as its entry runs it, from the command line it received: Qt's own
// options in front of "xq" must not make it the first argument. Each run creates and ends an
// application of its own, so this program makes none.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <string>
#include <vector>

#include "Pr_221_1.h"
#include "formfixture.h"
#include "startup.h"

namespace {

// What the window showed once it was up.
struct Seen {
    bool window = false;
    bool diagnostic = false;
    bool rightToLeft = false;
    int boxes = 0;
};
Seen seen;

// Runs in every QApplication this program creates: closes any box, notes what the window shows
// once it is up and closes it, which ends the run. A window that never comes up ends it too.
void WatchTheWindow() {
    auto* poll = new QTimer(QCoreApplication::instance());
    QObject::connect(poll, &QTimer::timeout, [poll] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            ++seen.boxes;
            box->button(QMessageBox::Ok)->click();
            return;
        }
        TForm1* form = TopLevelForm();
        if (form == nullptr || !form->isVisible()) {
            return;
        }
        poll->stop();
        seen.window = true;
        seen.diagnostic = form->DiagnosticMode();
        seen.rightToLeft = form->layoutDirection() == Qt::RightToLeft;
        form->close();
    });
    poll->start(20);
    QTimer::singleShot(30000, QCoreApplication::instance(), &QCoreApplication::quit);
}
Q_COREAPP_STARTUP_FUNCTION(WatchTheWindow)

class ProgrammerProcessTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(helpFolder.Ready()); }

    // Runs the process's entry on `arguments` after the program's name, as the shell passes them.
    int Run(const std::vector<std::string>& arguments) {
        seen = {};
        std::vector<std::string> words{"zk77q3-programmer"};
        words.insert(words.end(), arguments.begin(), arguments.end());
        std::vector<char*> argv;
        for (std::string& word : words) {
            argv.push_back(word.data());
        }
        argv.push_back(nullptr);
        zk::ui::DirectRoute route(player);
        return zk::ui::ProgrammerMain(static_cast<int>(words.size()), argv.data(), route);
    }

    RecordingPlayer player;
    HelpFolder helpFolder;
};

// Qt still acts on its options wherever they stand: "-reverse" mirrors the layout, before the
// switch or after it.
TEST_F(ProgrammerProcessTest, OnlyTheFirstArgumentTheProcessReceivedCounts) {
    struct CommandLine {
        std::vector<std::string> arguments;
        bool diagnostic;
        bool rightToLeft;
    };
    const std::vector<CommandLine> commandLines{
        {{"xq", "-reverse"}, true, true},
        {{"-reverse", "xq"}, false, true},
        {{"-style", "fusion", "xq"}, false, false},
        {{"-platform", "offscreen", "xq"}, false, false},
    };
    for (const auto& [arguments, diagnostic, rightToLeft] : commandLines) {
        const std::string shown = arguments.front() + " " + arguments.back();
        EXPECT_EQ(Run(arguments), 0) << shown;
        EXPECT_TRUE(seen.window) << shown;
        EXPECT_EQ(seen.boxes, 0) << shown;
        EXPECT_EQ(seen.diagnostic, diagnostic) << shown;
        if (rightToLeft) {  // once mirrored, Qt keeps it so for the rest of the process
            EXPECT_TRUE(seen.rightToLeft) << shown;
        }
    }
}

}  // namespace
