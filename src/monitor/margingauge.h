// A packet's margin on a gauge: the bar's length is the margin on a fixed scale, its colour the
// band (green at 6 dB and above, amber 0..6, red below). A progress bar underneath, so that a
// screen reader reads the margin and the band.
#pragma once

#include <QProgressBar>

#include "marginband.h"

namespace zk::monitor {

class MarginGauge : public QProgressBar {
    Q_OBJECT

  public:
    explicit MarginGauge(QWidget* parent = nullptr);
    void ShowMargin(double marginDb);
    void Clear();
    MarginBand Band() const { return band_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    bool shown_ = false;
    double margin_ = 0;
    MarginBand band_ = MarginBand::Red;
};

// The band's colour on the gauge.
QColor BandColour(MarginBand band);

}  // namespace zk::monitor
