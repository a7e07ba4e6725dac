// The level meter's peak mark: the highest level of the last moments, held still long enough to
// be read, then falling back towards the present level. And the clip warning, kept lit for a
// while after the last sample at full scale so that a single clip is not missed.
#pragma once

namespace zk::monitor {

inline constexpr double kPeakHoldSeconds = 1.5;
inline constexpr double kPeakFallDbPerSecond = 20.0;
inline constexpr double kClipShownSeconds = 2.0;

class PeakHold {
  public:
    // The level measured up to `nowSeconds` (a clock that never goes back), and whether it
    // clipped.
    void Update(double nowSeconds, double levelDbfs, bool clipped);
    double HeldDbfs() const { return held_; }
    bool ClipWarning() const { return clipShown_; }

  private:
    double held_ = -200;
    double heldSince_ = 0;
    double lastUpdate_ = 0;
    double lastClip_ = 0;
    bool clipShown_ = false;
    bool started_ = false;
};

}  // namespace zk::monitor
