#include "waterfall.h"

#include <QPainter>
#include <algorithm>
#include <cstring>

namespace zk::monitor {

namespace {
constexpr double kCarrierHz = 1000.0;
}

QRgb WaterfallColour(float dbfs) {
    // Black at the floor, then blue, purple, red and at the top yellow: a heat scale of the
    // usual kind, which never reaches white.
    const double t = std::clamp((dbfs - kWaterfallFloorDbfs) / -kWaterfallFloorDbfs, 0.0, 1.0);
    const auto channel = [](double x) { return static_cast<int>(std::clamp(x, 0.0, 1.0) * 255); };
    return qRgb(channel(3 * t - 1), channel(3 * t - 2), channel(t < 0.33 ? 3 * t : 2 - 3 * t));
}

Waterfall::Waterfall(QWidget* parent)
    : QWidget(parent), image_(kWaterfallColumns, kSpectrumBins, QImage::Format_RGB32) {
    setAccessibleName(tr("Waterfall, 0 to 4000 Hz"));
    setAccessibleDescription(
        tr("The input's spectrum over the last six seconds; the carrier is "
           "at 1000 Hz"));
    Clear();
}

void Waterfall::Clear() {
    image_.fill(Qt::black);
    update();
}

void Waterfall::AddRows(const std::vector<SpectrumRow>& rows) {
    if (rows.empty()) {
        return;
    }
    const int added = static_cast<int>(std::min<std::size_t>(rows.size(), kWaterfallColumns));
    const std::size_t first = rows.size() - static_cast<std::size_t>(added);
    for (int y = 0; y < image_.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image_.scanLine(y));
        std::memmove(line, line + added,
                     sizeof(QRgb) * static_cast<std::size_t>(kWaterfallColumns - added));
        const auto bin = static_cast<std::size_t>(kSpectrumBins - 1 - y);
        for (int k = 0; k < added; ++k) {
            line[kWaterfallColumns - added + k] =
                WaterfallColour(rows[first + static_cast<std::size_t>(k)][bin]);
        }
    }
    undrawn_ = true;
    if (!sinceDrawn_.isValid() || sinceDrawn_.elapsed() >= kWaterfallRepaintMilliseconds) {
        Flush();
    }
}

void Waterfall::Flush() {
    if (undrawn_) {
        undrawn_ = false;
        sinceDrawn_.start();
        update();
    }
}

void Waterfall::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(rect(), image_);
    // The carrier's frequency, and the kHz marks.
    const auto yOf = [this](double hz) {
        return static_cast<int>(height() * (1.0 - hz / kSpectrumTopHz));
    };
    painter.setPen(QPen(QColor(255, 255, 255, 90), 1, Qt::DashLine));
    painter.drawLine(0, yOf(kCarrierHz), width(), yOf(kCarrierHz));
    painter.setPen(QColor(255, 255, 255, 200));
    for (int khz = 1; khz < 4; ++khz) {
        painter.drawText(4, yOf(khz * 1000.0) - 2, tr("%1 kHz").arg(khz));
    }
}

}  // namespace zk::monitor
