#include "levelmeter.h"

#include <QPainter>
#include <algorithm>

#include "monitortexts.h"

namespace zk::monitor {

namespace {
// Tenths of a dB as the bar's value, so that a screen reader reads the level itself.
constexpr int kTenths = 10;
// Above this the sound is loud enough to risk the top: yellow, then red at full scale.
constexpr double kHotDbfs = -6.0;
}  // namespace

LevelMeter::LevelMeter(QWidget* parent) : QProgressBar(parent) {
    setRange(static_cast<int>(kMeterBottomDbfs) * kTenths, 0);
    setValue(minimum());
    setTextVisible(false);
    setMinimumHeight(22);
    setAccessibleName(tr("Input level"));
}

double LevelMeter::FractionOf(double dbfs) const {
    return std::clamp((dbfs - kMeterBottomDbfs) / -kMeterBottomDbfs, 0.0, 1.0);
}

void LevelMeter::ShowLevel(double nowSeconds, double peakDbfs, bool clipped) {
    level_ = peakDbfs;
    hold_.Update(nowSeconds, peakDbfs, clipped);
    setValue(std::clamp(static_cast<int>(peakDbfs * kTenths), minimum(), maximum()));
    QString description =
        tr("level %1, peak %2")
            .arg(MonitorTexts::Level(peakDbfs), MonitorTexts::Level(hold_.HeldDbfs()));
    if (hold_.ClipWarning()) {
        description += tr(", clipping");
    }
    setAccessibleDescription(description);
    update();
}

void LevelMeter::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect box = rect().adjusted(0, 0, -1, -1);
    painter.fillRect(box, palette().color(QPalette::Base));
    const int barWidth = static_cast<int>(box.width() * FractionOf(level_));
    const QColor colour = level_ >= kHotDbfs ? QColor(0xE0, 0xA0, 0x00) : QColor(0x30, 0xA0, 0x40);
    painter.fillRect(QRect(box.left(), box.top(), barWidth, box.height()), colour);
    const int peakX = box.left() + static_cast<int>(box.width() * FractionOf(hold_.HeldDbfs()));
    painter.fillRect(QRect(peakX - 1, box.top(), 3, box.height()),
                     hold_.ClipWarning() ? Qt::red : palette().color(QPalette::Text));
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(box);
}

}  // namespace zk::monitor
