#include "margingauge.h"

#include <QPainter>
#include <cmath>

#include "monitortexts.h"

namespace zk::monitor {

namespace {
constexpr int kTenths = 10;
}

QColor BandColour(MarginBand band) {
    switch (band) {
        case MarginBand::Green:
            return QColor(0x2E, 0xA0, 0x43);
        case MarginBand::Amber:
            return QColor(0xE0, 0x9A, 0x00);
        case MarginBand::Red:
            return QColor(0xD0, 0x30, 0x20);
    }
    return Qt::gray;
}

MarginGauge::MarginGauge(QWidget* parent) : QProgressBar(parent) {
    setRange(static_cast<int>(kGaugeLowDb) * kTenths, static_cast<int>(kGaugeHighDb) * kTenths);
    setTextVisible(false);
    setMinimumHeight(24);
    setAccessibleName(tr("Margin"));
    Clear();
}

void MarginGauge::Clear() {
    shown_ = false;
    setValue(minimum());
    setAccessibleDescription(tr("no packet"));
    update();
}

void MarginGauge::ShowMargin(double marginDb) {
    shown_ = true;
    margin_ = marginDb;
    band_ = BandOfMargin(marginDb);
    const double clamped = kGaugeLowDb + GaugeFraction(marginDb) * (kGaugeHighDb - kGaugeLowDb);
    setValue(static_cast<int>(std::lround(clamped * kTenths)));
    setAccessibleDescription(MonitorTexts::Margin(marginDb) + QStringLiteral(", ") +
                             MonitorTexts::Band(band_));
    update();
}

void MarginGauge::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect box = rect().adjusted(0, 0, -1, -1);
    painter.fillRect(box, palette().color(QPalette::Base));
    // The bands' limits as ticks, so that the colour's meaning can be read off the scale.
    painter.setPen(palette().color(QPalette::Mid));
    for (const double limit : {kAmberMarginDb, kGreenMarginDb}) {
        const int x = box.left() + static_cast<int>(box.width() * GaugeFraction(limit));
        painter.drawLine(x, box.top(), x, box.bottom());
    }
    if (shown_) {
        const int width = std::max(2, static_cast<int>(box.width() * GaugeFraction(margin_)));
        painter.fillRect(QRect(box.left(), box.top() + 3, width, box.height() - 6),
                         BandColour(band_));
    }
    painter.drawRect(box);
}

}  // namespace zk::monitor
