// The input level meter: the level of the last moment as a bar in dBFS, the held peak as a mark,
// and a clip warning. A progress bar underneath, so that a screen reader reads it as a value.
#pragma once

#include <QProgressBar>

#include "peakhold.h"

namespace zk::monitor {

// The meter's scale; a level below the bottom shows an empty bar.
inline constexpr double kMeterBottomDbfs = -60.0;

class LevelMeter : public QProgressBar {
    Q_OBJECT

  public:
    explicit LevelMeter(QWidget* parent = nullptr);
    // The level measured since the previous call, at `nowSeconds` on a steady clock.
    void ShowLevel(double nowSeconds, double peakDbfs, bool clipped);
    bool ClipWarning() const { return hold_.ClipWarning(); }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    double FractionOf(double dbfs) const;

    PeakHold hold_;
    double level_ = -200;
};

}  // namespace zk::monitor
