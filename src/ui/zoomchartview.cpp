#include "zoomchartview.h"

#include <QKeyEvent>
#include <QLineSeries>
#include <QMouseEvent>
#include <QRubberBand>
#include <QValueAxis>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <utility>

namespace zk::ui {

ZoomChartView::ZoomChartView(QChart* chart, QLineSeries* whole, QValueAxis* axisX,
                             QValueAxis* axisY, double first, double last, QWidget* parent)
    : QChartView(chart, parent),
      whole_(whole),
      slice_(new QLineSeries(this)),
      axis_(axisX),
      zoomAxis_(new QValueAxis(this)),
      axisY_(axisY),
      first_(first),
      last_(last),
      from_(first),
      to_(last),
      band_(new QRubberBand(QRubberBand::Rectangle, viewport())) {
    setFocusPolicy(Qt::StrongFocus);
    setDragMode(QGraphicsView::NoDrag);
    slice_->setObjectName("Series1Shown");
    // Until they join the chart, the axes belong to the view.
    for (QValueAxis* axis : {axis_, axisY_}) {
        if (axis->parent() == nullptr) {
            axis->setParent(this);
        }
    }
    // A new output while zoomed in shows at once, at the same place.
    connect(whole_, &QLineSeries::pointsReplaced, this, [this] {
        if (onScreen_ && !ShowsWhole()) {
            RefreshSlice(from_, to_);
        }
    });
}

void ZoomChartView::PutOnChart(bool onScreen) {
    onScreen_ = onScreen;
    if (onScreen_ && !chart()->axes().contains(axis_)) {
        // The zoomed axis takes the place of the whole one, drawn the same way.
        zoomAxis_->setLabelFormat(axis_->labelFormat());
        zoomAxis_->setVisible(false);
        chart()->addAxis(axis_, Qt::AlignBottom);
        chart()->addAxis(zoomAxis_, Qt::AlignBottom);
        chart()->addAxis(axisY_, Qt::AlignLeft);
    }
    for (auto [series, x] : {std::pair{whole_, axis_}, std::pair{slice_, zoomAxis_}}) {
        if (onScreen_ && series->chart() == nullptr) {
            slice_->setPen(whole_->pen());
            chart()->addSeries(series);
            series->attachAxis(x);
            series->attachAxis(axisY_);
        } else if (!onScreen_ && series->chart() != nullptr) {
            chart()->removeSeries(series);
            // Taken off, a series belongs to nobody until given back to the view.
            series->setParent(this);
        }
    }
    if (onScreen_) {
        ShowScale();
    }
}

QLineSeries* ZoomChartView::DrawnSeries() const {
    QLineSeries* drawn = ShowsWhole() ? whole_ : slice_;
    return drawn->chart() != nullptr ? drawn : nullptr;
}

void ZoomChartView::ShowScale() {
    const bool whole = ShowsWhole();
    if (!whole) {
        RefreshSlice(from_, to_);
        zoomAxis_->setRange(from_, to_);
    }
    // The whole series keeps its axis and its layout while hidden: coming back to the whole
    // signal shows it again without laying 48768 points out anew.
    whole_->setVisible(whole);
    axis_->setVisible(whole);
    slice_->setVisible(!whole);
    zoomAxis_->setVisible(!whole);
    if (whole) {
        slice_->clear();
    }
}

void ZoomChartView::SetRange(double from, double to) {
    from_ = from;
    to_ = to;
    if (onScreen_) {
        ShowScale();
    }
}

void ZoomChartView::RefreshSlice(double from, double to) {
    const QList<QPointF> points = whole_->points();
    const auto before = [](const QPointF& point, double x) { return point.x() < x; };
    const auto after = [](double x, const QPointF& point) { return x < point.x(); };
    auto begin = std::lower_bound(points.cbegin(), points.cend(), from, before);
    auto end = std::upper_bound(begin, points.cend(), to, after);
    // One point beyond each end, so the line runs to the plot's edges.
    begin = begin == points.cbegin() ? begin : begin - 1;
    end = end == points.cend() ? end : end + 1;

    const int columns = std::max(1, PlotInView().width() > 0 ? PlotInView().width() : width());
    QList<QPointF> shown;
    if (end - begin <= static_cast<qsizetype>(kPointsPerColumn) * columns) {
        shown = QList<QPointF>(begin, end);
    } else {
        shown.reserve(4 * columns + 4);
        const double scale = columns / (to - from);
        auto column = begin;
        while (column != end) {
            const auto key = static_cast<long long>(std::floor((column->x() - from) * scale));
            auto next = column;
            auto low = column;
            auto high = column;
            for (; next != end && std::floor((next->x() - from) * scale) == key; ++next) {
                low = next->y() < low->y() ? next : low;
                high = next->y() > high->y() ? next : high;
            }
            // The column's first and last points join it to its neighbours; its extremes, in
            // the order they came, give its height.
            shown.append(*column);
            shown.append(low < high ? *low : *high);
            shown.append(low < high ? *high : *low);
            shown.append(*(next - 1));
            column = next;
        }
    }
    slice_->replace(shown);
}

double ZoomChartView::ShownFrom() const {
    return from_;
}

double ZoomChartView::ShownTo() const {
    return to_;
}

bool ZoomChartView::ShowsWhole() const {
    return ShownFrom() == first_ && ShownTo() == last_;
}

void ZoomChartView::ShowRange(double from, double to) {
    if (!std::isfinite(from) || !std::isfinite(to)) {
        return;
    }
    if (to < from) {
        std::swap(from, to);
    }
    const double whole = last_ - first_;
    double span = std::clamp(to - from, std::min(kMinimumSpan, whole), whole);
    const double middle = (from + to) / 2;
    from = std::clamp(middle - span / 2, first_, last_ - span);
    // Whole-sample ends keep the axis labels whole numbers.
    from = std::round(from);
    span = std::round(span);
    SetRange(from, std::min(from + span, last_));
}

void ZoomChartView::ZoomAround(double x, double factor) {
    const double from = ShownFrom();
    const double to = ShownTo();
    x = std::clamp(x, from, to);
    ShowRange(x - (x - from) * factor, x + (to - x) * factor);
}

void ZoomChartView::MoveBy(double samples) {
    const double span = ShownTo() - ShownFrom();
    const double from = std::round(std::clamp(ShownFrom() + samples, first_, last_ - span));
    SetRange(from, from + span);
}

void ZoomChartView::ShowWhole() {
    SetRange(first_, last_);
}

QRect ZoomChartView::PlotInView() const {
    return mapFromScene(chart()->mapToScene(chart()->plotArea())).boundingRect();
}

double ZoomChartView::SamplesPerPixel() const {
    const QRect plot = PlotInView();
    return plot.width() > 0 ? (ShownTo() - ShownFrom()) / plot.width() : 0;
}

double ZoomChartView::SampleAt(int viewX) const {
    const QRectF plot = chart()->plotArea();
    const QPointF inChart = chart()->mapFromScene(mapToScene(QPoint(viewX, 0)));
    if (plot.width() <= 0) {
        return ShownFrom();
    }
    return ShownFrom() + (inChart.x() - plot.left()) / plot.width() * (ShownTo() - ShownFrom());
}

void ZoomChartView::mousePressEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    const bool moveChord = (event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier)) != 0;
    if (event->button() == Qt::LeftButton && !moveChord) {
        drag_ = Drag::Stretch;
        const QRect plot = PlotInView();
        band_->setGeometry(QRect(at.x(), plot.top(), 0, plot.height()));
        band_->show();
    } else if (event->button() == Qt::RightButton || event->button() == Qt::MiddleButton ||
               event->button() == Qt::LeftButton) {
        drag_ = Drag::Move;
        setCursor(Qt::ClosedHandCursor);
    } else {
        QChartView::mousePressEvent(event);
        return;
    }
    dragStart_ = at;
    dragLast_ = at;
    event->accept();
}

void ZoomChartView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (drag_ == Drag::Stretch) {
        const QRect plot = PlotInView();
        const int left = std::clamp(std::min(dragStart_.x(), at.x()), plot.left(), plot.right());
        const int right = std::clamp(std::max(dragStart_.x(), at.x()), plot.left(), plot.right());
        band_->setGeometry(QRect(left, plot.top(), right - left + 1, plot.height()));
    } else if (drag_ == Drag::Move) {
        // The signal follows the pointer: dragging to the right shows earlier samples.
        MoveBy((dragLast_.x() - at.x()) * SamplesPerPixel());
    } else {
        QChartView::mouseMoveEvent(event);
        return;
    }
    dragLast_ = at;
    event->accept();
}

void ZoomChartView::mouseReleaseEvent(QMouseEvent* event) {
    if (drag_ == Drag::None) {
        QChartView::mouseReleaseEvent(event);
        return;
    }
    const QPoint at = event->position().toPoint();
    if (drag_ == Drag::Stretch) {
        band_->hide();
        if (std::abs(at.x() - dragStart_.x()) >= kMinimumDragPx) {
            const QRect plot = PlotInView();
            const int left =
                std::clamp(std::min(dragStart_.x(), at.x()), plot.left(), plot.right());
            const int right =
                std::clamp(std::max(dragStart_.x(), at.x()), plot.left(), plot.right());
            ShowRange(SampleAt(left), SampleAt(right));
        }
    } else {
        unsetCursor();
    }
    drag_ = Drag::None;
    event->accept();
}

void ZoomChartView::mouseDoubleClickEvent(QMouseEvent* event) {
    ShowWhole();
    event->accept();
}

void ZoomChartView::wheelEvent(QWheelEvent* event) {
    const double notches = event->angleDelta().y() / 120.0;
    if (notches == 0) {
        event->ignore();
        return;
    }
    ZoomAround(SampleAt(event->position().toPoint().x()), std::pow(kWheelZoom, notches));
    event->accept();
}

void ZoomChartView::keyPressEvent(QKeyEvent* event) {
    const double span = ShownTo() - ShownFrom();
    const double middle = (ShownFrom() + ShownTo()) / 2;
    switch (event->key()) {
        case Qt::Key_Escape:
        case Qt::Key_Home:
            ShowWhole();
            break;
        case Qt::Key_Left:
            MoveBy(-span / 10);
            break;
        case Qt::Key_Right:
            MoveBy(span / 10);
            break;
        case Qt::Key_Plus:
        case Qt::Key_Equal:
            ZoomAround(middle, kWheelZoom);
            break;
        case Qt::Key_Minus:
            ZoomAround(middle, 1 / kWheelZoom);
            break;
        default:
            QChartView::keyPressEvent(event);
            return;
    }
    event->accept();
}

}  // namespace zk::ui
