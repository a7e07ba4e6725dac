// The diagnostic chart zoomed along its X axis: wheel, dragged stretch, moving along the signal,
// back to the whole signal; zoomed in, the phase reversals between bits show.
#include <QChart>
#include <QImage>
#include <QLineSeries>
#include <QTabWidget>
#include <QValueAxis>
#include <QWheelEvent>

#include "_5FormFM.h"
#include "formfixture.h"
#include "zoomchartview.h"

namespace {

constexpr double kWhole = zk::kSignalSamples;

class ChartZoomTest : public FormTest {
  protected:
    void SetUp() override {
        FormTest::SetUp();
        view = Find<zk::ui::ZoomChartView>("Chart1");
        ASSERT_NE(view, nullptr);
        view->show();
        Find<QTabWidget>("PageControl1")->setCurrentIndex(3);
        // The message as generate leaves it, so that the bits carry its header.
        form->Button_FormFileClick();
        zk::SynthesizeSignal(*form);
        QApplication::processEvents();
    }

    QValueAxis* Axis(Qt::Orientation orientation) const {
        return qobject_cast<QValueAxis*>(view->chart()->axes(orientation).value(0));
    }
    // The plot's rectangle in the view's viewport.
    QRect Plot() const {
        return view->mapFromScene(view->chart()->mapToScene(view->chart()->plotArea()))
            .boundingRect();
    }
    // The viewport's x of a sample, at the range shown.
    int XOf(double sample) const {
        const QRect plot = Plot();
        return plot.left() + static_cast<int>((sample - view->ShownFrom()) /
                                              (view->ShownTo() - view->ShownFrom()) * plot.width());
    }
    void Wheel(const QPoint& at, int notches) const {
        QWheelEvent event(at, view->viewport()->mapToGlobal(at), QPoint(), QPoint(0, 120 * notches),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view->viewport(), &event);
    }
    void Drag(Qt::MouseButton button, const QPoint& from, const QPoint& to) const {
        QWidget* port = view->viewport();
        QTest::mousePress(port, button, {}, from);
        QTest::mouseMove(port, (from + to) / 2);
        QTest::mouseMove(port, to);
        QTest::mouseRelease(port, button, {}, to);
    }

    zk::ui::ZoomChartView* view = nullptr;
};

TEST_F(ChartZoomTest, TheWheelZoomsAroundTheSampleUnderThePointer) {
    ASSERT_TRUE(view->ShowsWhole());
    const QRect plot = Plot();
    const QPoint at(plot.left() + plot.width() / 4, plot.center().y());
    const double under = view->SampleAt(at.x());
    Wheel(at, 1);
    EXPECT_NEAR(view->ShownTo() - view->ShownFrom(), kWhole * 0.8, 1);
    EXPECT_NEAR(view->SampleAt(at.x()), under, 2) << "the sample under the pointer moved";
    Wheel(at, -1);
    EXPECT_TRUE(view->ShowsWhole());
    // Out beyond the whole signal, and in below two carrier cycles, it stops.
    Wheel(at, -3);
    EXPECT_TRUE(view->ShowsWhole());
    for (int i = 0; i < 60; ++i) {
        Wheel(at, 1);
    }
    EXPECT_EQ(view->ShownTo() - view->ShownFrom(), zk::ui::ZoomChartView::kMinimumSpan);
    EXPECT_GE(view->ShownFrom(), 0);
    // The Y axis never moves.
    EXPECT_EQ(Axis(Qt::Vertical)->min(), -32000);
    EXPECT_EQ(Axis(Qt::Vertical)->max(), 32000);
}

TEST_F(ChartZoomTest, ADraggedStretchIsZoomedToAndDoubleClickOrEscapeShowsTheWhole) {
    const QRect plot = Plot();
    const int left = XOf(16000);
    const int right = XOf(24000);
    Drag(Qt::LeftButton, QPoint(right, plot.center().y()), QPoint(left, plot.top() + 5));
    EXPECT_NEAR(view->ShownFrom(), 16000, kWhole / plot.width() + 1);
    EXPECT_NEAR(view->ShownTo(), 24000, kWhole / plot.width() + 1);

    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, plot.center());
    EXPECT_TRUE(view->ShowsWhole());

    // A click is no stretch.
    Drag(Qt::LeftButton, plot.center(), plot.center() + QPoint(1, 0));
    EXPECT_TRUE(view->ShowsWhole());

    view->ShowRange(30000, 31000);
    view->setFocus();
    QTest::keyClick(view, Qt::Key_Escape);
    EXPECT_TRUE(view->ShowsWhole());
}

TEST_F(ChartZoomTest, DraggingWithTheRightButtonMovesAlongTheSignalAndStopsAtItsEnds) {
    view->ShowRange(20000, 21000);
    const QRect plot = Plot();
    const double perPixel = 1000.0 / plot.width();
    // The signal follows the pointer: dragged left by 100 pixels, later samples come in.
    Drag(Qt::RightButton, plot.center(), plot.center() - QPoint(100, 0));
    EXPECT_NEAR(view->ShownFrom(), 20000 + 100 * perPixel, 2 * perPixel + 1);
    EXPECT_NEAR(view->ShownTo() - view->ShownFrom(), 1000, 1);

    for (int i = 0; i < 30; ++i) {
        Drag(Qt::MiddleButton, QPoint(plot.right(), plot.center().y()),
             QPoint(plot.left(), plot.center().y()));
    }
    EXPECT_EQ(view->ShownTo(), kWhole);
    EXPECT_NEAR(view->ShownTo() - view->ShownFrom(), 1000, 1);
    for (int i = 0; i < 60; ++i) {
        Drag(Qt::RightButton, QPoint(plot.left(), plot.center().y()),
             QPoint(plot.right(), plot.center().y()));
    }
    EXPECT_EQ(view->ShownFrom(), 0);
    EXPECT_NEAR(view->ShownTo(), 1000, 1);
}

TEST_F(ChartZoomTest, AnOutputWhileZoomedInShowsAtOnceAndTheWholeSeriesComesBack) {
    QLineSeries* whole = form->Series1();
    view->ShowRange(20000, 20400);
    QLineSeries* drawn = view->DrawnSeries();
    ASSERT_NE(drawn, nullptr);
    EXPECT_EQ(drawn->chart(), view->chart());
    // Zoomed this far, the line is drawn through every sample shown.
    const auto drawsSamples = [&](int from, int to) {
        const QList<QPointF> all = whole->points();
        const QList<QPointF> shown = view->DrawnSeries()->points();
        for (int i = from; i <= to; ++i) {
            if (!shown.contains(all[i])) {
                return false;
            }
        }
        return true;
    };
    EXPECT_TRUE(drawsSamples(20000, 20400));

    // Another message makes other samples; the slice follows without a zoom step.
    Find<zk::ui::SpinEdit>("SpinEdit_UrBip")->setText("13");
    form->Button_FormFileClick();
    zk::SynthesizeSignal(*form);
    EXPECT_EQ(whole->count(), zk::kSignalSamples);
    EXPECT_TRUE(drawsSamples(20000, 20400)) << "the chart shows the earlier output";

    // Zoomed out less far, each pixel column still reaches the lowest and highest sample in it.
    view->ShowRange(16000, 40000);
    double low = 0;
    double high = 0;
    for (const QPointF& point : view->DrawnSeries()->points()) {
        low = std::min(low, point.y());
        high = std::max(high, point.y());
    }
    EXPECT_LT(view->DrawnSeries()->count(), 8 * view->width());
    EXPECT_EQ(low, -30000);
    EXPECT_EQ(high, 30000);

    view->ShowWhole();
    EXPECT_EQ(view->DrawnSeries(), whole);
    EXPECT_EQ(whole->chart(), view->chart());
    int visible = 0;
    for (QAbstractSeries* series : view->chart()->series()) {
        visible += series->isVisible() ? 1 : 0;
    }
    EXPECT_EQ(visible, 1);
    EXPECT_TRUE(whole->isVisible());
}

// Where the red line stands in a column of the chart: the mean height of its pixels, from 0 at
// the plot's top to 1 at its bottom; -1 without red.
double RedHeight(const QImage& picture, const QRect& plot, int x) {
    double sum = 0;
    int count = 0;
    for (int column = x - 1; column <= x + 1; ++column) {
        for (int y = plot.top(); y <= plot.bottom(); ++y) {
            const QColor c = picture.pixelColor(column, y);
            if (c.red() > 200 && c.green() < 100 && c.blue() < 100) {
                sum += static_cast<double>(y - plot.top()) / plot.height();
                ++count;
            }
        }
    }
    return count == 0 ? -1 : sum / count;
}

TEST_F(ChartZoomTest, ZoomedInThePhaseReversalBetweenTwoBitsShows) {
    // Byte 0 is 7F: its first bit, a 0, is sent at 180 degrees, the next, a 1, at 0 degrees. The
    // fifth sample of a bit is its first crest: low for the 0, high for the 1.
    const double firstBit = zk::kLeadInSamples;
    view->ShowRange(firstBit, firstBit + 128);
    QApplication::processEvents();
    const QImage zoomed = view->grab().toImage();
    const QRect plot = Plot();
    const double zeroCrest = RedHeight(zoomed, plot, XOf(firstBit + 4));
    const double oneCrest = RedHeight(zoomed, plot, XOf(firstBit + 64 + 4));
    EXPECT_GT(zeroCrest, 0.85) << "the 0 bit's first crest is not low";
    EXPECT_GE(oneCrest, 0);
    EXPECT_LT(oneCrest, 0.15) << "the 1 bit's first crest is not high";

    // At the whole signal the same columns are solid red from top to bottom.
    view->ShowWhole();
    QApplication::processEvents();
    const QImage whole = view->grab().toImage();
    EXPECT_NEAR(RedHeight(whole, Plot(), XOf(firstBit + 4)), 0.5, 0.1);
}

}  // namespace
