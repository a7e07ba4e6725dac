// The last seconds of the input's spectrum, 0..4000 Hz from bottom to top, time running from
// left to right: the lead-in shows as a thin line at 1000 Hz, the data as the line widened by
// its phase reversals, 750..1250 Hz.
#pragma once

#include <QElapsedTimer>
#include <QImage>
#include <QWidget>
#include <vector>

#include "waterfallrows.h"

namespace zk::monitor {

// Columns kept and shown: six seconds at one row every 10 ms, enough for a whole transmission.
inline constexpr int kWaterfallColumns = 600;
// The waterfall is drawn again at most this often: scaling its picture to the widget is most of
// the window's drawing while it listens, and ten steps a second still read as a moving picture.
inline constexpr int kWaterfallRepaintMilliseconds = 100;
// The colour scale: this level and below is black, 0 dBFS white.
inline constexpr double kWaterfallFloorDbfs = -90.0;

class Waterfall : public QWidget {
    Q_OBJECT

  public:
    explicit Waterfall(QWidget* parent = nullptr);
    void AddRows(const std::vector<SpectrumRow>& rows);
    // Draws the rows added since the last drawing now (at the input's end, say).
    void Flush();
    void Clear();
    QSize sizeHint() const override { return {kWaterfallColumns, 200}; }
    QSize minimumSizeHint() const override { return {200, 96}; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QImage image_;  // one column per row of the spectrum, one line per bin (top: 4000 Hz)
    QElapsedTimer sinceDrawn_;
    bool undrawn_ = false;  // rows added that are not on the screen yet
};

// The colour of a level in dBFS on the waterfall's scale.
QRgb WaterfallColour(float dbfs);

}  // namespace zk::monitor
