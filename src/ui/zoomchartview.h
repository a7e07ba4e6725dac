// The diagnostic chart with a movable window onto the signal. At its own scale 48768 samples
// share 809 pixels and the line is a solid block; the technician zooms the X axis in until the
// carrier's cycles and the phase reversals between bits show, and moves along the signal.
#pragma once

#include <QChartView>
#include <QPoint>

class QLineSeries;
class QRubberBand;
class QValueAxis;

namespace zk::ui {

// Mouse and keys (the Y axis never changes):
//   drag with the left button        zoom to the dragged stretch of samples
//   wheel                            zoom in or out around the sample under the pointer
//   drag with the right or middle button, or with Shift or Ctrl held: move along the signal
//   Left, Right                      move by a tenth of what is shown
//   +, -                             zoom in or out around the middle
//   double-click, Escape, Home       the whole signal again
//
// At the whole signal the chart draws the series it was given, every point of it, on the axis it
// was given. Zoomed in, that series and axis are hidden, and a slice series of the points shown
// is drawn on an axis of the view's own in the same place, so that a step costs what is on
// screen, not a layout of all 48768 points; where the slice still holds more than a few points
// per pixel column, each column keeps its lowest and highest point, which draws the same
// picture. The whole series stays laid out meanwhile, so going back to it is cheap.
class ZoomChartView : public QChartView {
    Q_OBJECT

  public:
    // No closer than two carrier cycles: 32 samples across the whole plot.
    static constexpr double kMinimumSpan = 32;
    // One wheel notch shows four fifths, or five quarters, of what was shown.
    static constexpr double kWheelZoom = 0.8;
    // A drag shorter than this is a click, not a stretch to zoom to.
    static constexpr int kMinimumDragPx = 4;
    // Above this many points per pixel column a zoomed slice keeps each column's extremes.
    static constexpr int kPointsPerColumn = 4;

    // `whole` is the signal's series, with X ascending; `axisX` and `axisY` are the chart's axes;
    // [first, last] is the whole signal. The series and the view's own slice are on the chart
    // only while the view is on screen (PutOnChart).
    ZoomChartView(QChart* chart, QLineSeries* whole, QValueAxis* axisX, QValueAxis* axisY,
                  double first, double last, QWidget* parent = nullptr);

    // Puts the series that draws what is shown on the chart, or takes every series off it. Off
    // the chart, a new batch of points costs no layout. The axes join the chart the first time
    // it comes on screen, and stay.
    void PutOnChart(bool onScreen);
    // The series the chart draws now: the whole one, the slice, or none.
    QLineSeries* DrawnSeries() const;

    double ShownFrom() const;
    double ShownTo() const;
    bool ShowsWhole() const;

    // Shows [from, to], moved inside the whole signal and widened to kMinimumSpan if needed.
    void ShowRange(double from, double to);
    // Multiplies the shown span by `factor`, keeping sample `x` at the same place on screen.
    void ZoomAround(double x, double factor);
    // Moves what is shown by `samples` (positive: later samples).
    void MoveBy(double samples);
    void ShowWhole();

    // The sample at a horizontal position in the view; positions left or right of the plot give
    // values outside what is shown.
    double SampleAt(int viewX) const;

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    enum class Drag { None, Stretch, Move };

    QRect PlotInView() const;
    double SamplesPerPixel() const;
    void SetRange(double from, double to);
    void ShowScale();
    void RefreshSlice(double from, double to);

    QLineSeries* whole_;
    QLineSeries* slice_;
    QValueAxis* axis_;
    QValueAxis* zoomAxis_;
    QValueAxis* axisY_;
    bool onScreen_ = false;
    double first_;
    double last_;
    double from_;
    double to_;
    Drag drag_ = Drag::None;
    QPoint dragStart_;
    QPoint dragLast_;
    QRubberBand* band_;
};

}  // namespace zk::ui
