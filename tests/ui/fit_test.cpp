// Everything the operator needs stands where it can be seen: the whole array listing in its view,
// and the whole window on a screen that is smaller than the window expects, as at 2x scaling.
#include <QAbstractScrollArea>
#include <QFontInfo>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextEdit>
#include <cstdio>
#include <cstdlib>
#include <tuple>

#include "formfixture.h"
#include "screenfit.h"

namespace {

using ListingTest = FormTest;

// All 64 lines, the check word in lines 61 and 62 among them, stand in the 97 x 721 view at once,
// in an 11-pixel fixed-pitch font on an 11-pixel pitch: nothing left to scroll to, the last line
// wholly inside the view. A second run clears the view and lists again, at the same pitch.
TEST_F(ListingTest, AllSixtyFourLinesStandInTheViewWithoutScrolling) {
    auto* view = Find<QAbstractScrollArea>("Memo_MasIsh");
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->size(), QSize(97, 721));
    EXPECT_EQ(view->font().pixelSize(), 11);
    EXPECT_TRUE(QFontInfo(view->font()).fixedPitch());
    for (int run = 1; run <= 2; ++run) {
        Press("Button_FormFile");
        QApplication::processEvents();
        EXPECT_EQ(view->verticalScrollBar()->maximum(), 0) << "run " << run;
        EXPECT_EQ(view->verticalScrollBar()->value(), 0) << "run " << run;
        EXPECT_EQ(view->horizontalScrollBar()->maximum(), 0) << "run " << run;

        auto* listing = qobject_cast<QTextEdit*>(view);
        ASSERT_NE(listing, nullptr) << "the listing is no view whose line pitch can be fixed";
        const QTextDocument* text = listing->document();
        ASSERT_EQ(text->blockCount(), 64);
        EXPECT_EQ(text->lastBlock().text(), "63 00");
        QTextCursor lastLine(text->lastBlock());
        const QRect lineStart = listing->cursorRect(lastLine);
        lastLine.movePosition(QTextCursor::EndOfBlock);
        const QRect lastRect = lineStart | listing->cursorRect(lastLine);
        EXPECT_TRUE(listing->viewport()->rect().contains(lastRect))
            << "last line at " << lastRect.top() << ".." << lastRect.bottom() << ", view "
            << listing->viewport()->height() << " high";
        const QRect firstRect = listing->cursorRect(QTextCursor(text->firstBlock()));
        EXPECT_GE(firstRect.top(), 0);
        EXPECT_EQ(lastRect.top() - firstRect.top(), 63 * 11) << "run " << run;
    }
}

TEST(FitOnScreen, KeepsTheFirstPlaceWhereTheFrameFitsAndOtherwiseMovesJustEnough) {
    const QPoint first(259, 171);
    const QSize frame(1022, 810);  // the window with a title bar and borders
    const std::vector<std::tuple<const char*, QRect, double, QPoint>> cases{
        {"desktop", QRect(0, 0, 1920, 1080), 1.0, first},
        {"exactly wide and high enough", QRect(0, 0, 1281, 981), 1.0, first},
        {"a pixel short each way", QRect(0, 0, 1280, 980), 1.0, QPoint(258, 170)},
        {"2560 x 1600 at 2x, a panel below", QRect(0, 0, 1280, 760), 2.0, QPoint(257, 0)},
        // The frame's rounding at 2x: what fits exactly at 1x keeps a pixel free each way.
        {"exactly wide and high enough at 2x", QRect(0, 0, 1281, 981), 2.0, QPoint(258, 170)},
        {"a pixel to spare at 1.5x", QRect(0, 0, 1282, 982), 1.5, first},
        {"1366 x 900 less a 28-pixel top bar", QRect(0, 28, 1366, 872), 1.0, QPoint(259, 90)},
        {"a second screen to the right", QRect(1920, 0, 1440, 900), 1.0, QPoint(1920, 90)},
        {"a dock on the left", QRect(300, 0, 1620, 1080), 1.0, QPoint(300, 171)},
        {"smaller than the frame", QRect(0, 24, 800, 576), 1.0, QPoint(0, 24)},
    };
    for (const auto& [name, available, ratio, expected] : cases) {
        EXPECT_EQ(zk::ui::FitOnScreen(frame, available, first, ratio), expected) << name;
    }
}

// The real window under Qt's 2x scaling on a 2560 x 1600 screen, which is 1280 x 800 in the
// window's own coordinates: too low for 171 + 779 and the frame. The scale factor only takes
// effect when the application starts, so a fresh copy of the test program runs the check.
TEST(WindowPlacementDeathTest, AtTwiceTheScaleTheWholeWindowStaysOnTheScreen) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString config = folder.filePath("screen.json");
    QFile file(config);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(R"({"screens": [{"name": "2x", "x": 0, "y": 0, "width": 2560, "height": 1600,
                  "logicalDpi": 96, "logicalBaseDpi": 96}]})");
    file.close();

    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.toLocal8Bit());
    qputenv("QT_SCALE_FACTOR", "2");
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            RecordingPlayer player;
            TForm1 window(player);
            window.show();
            const bool exposed = QTest::qWaitForWindowExposed(&window);
            QApplication::processEvents();
            const QRect available = window.screen()->availableGeometry();
            const QRect frame = window.frameGeometry();
            std::fprintf(stderr, "exposed %d, scale %g, screen %d,%d %dx%d, frame %d,%d %dx%d\n",
                         exposed, window.devicePixelRatioF(), available.x(), available.y(),
                         available.width(), available.height(), frame.x(), frame.y(), frame.width(),
                         frame.height());
            const bool twice = window.devicePixelRatioF() == 2.0 && available.height() == 800;
            // Wide enough for the first place's left edge; only the top moves, just far enough,
            // with one pixel kept free for the frame's rounding.
            const bool placed = available.contains(frame) && frame.x() == 259 &&
                                frame.bottom() == available.bottom() - 1 &&
                                frame.topLeft() == window.pos();
            std::fflush(stderr);
            std::_Exit(exposed && twice && placed ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
    qunsetenv("QT_SCALE_FACTOR");
    qputenv("QT_QPA_PLATFORM", platform);
}

}  // namespace
