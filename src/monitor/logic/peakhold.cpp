#include "peakhold.h"

#include <algorithm>

namespace zk::monitor {

void PeakHold::Update(double nowSeconds, double levelDbfs, bool clipped) {
    if (!started_ || levelDbfs >= held_) {
        held_ = levelDbfs;
        heldSince_ = nowSeconds;
    } else if (nowSeconds - heldSince_ > kPeakHoldSeconds) {
        // Past the hold: fall at a steady rate, never below the level now.
        const double fall = kPeakFallDbPerSecond *
                            (nowSeconds - std::max(lastUpdate_, heldSince_ + kPeakHoldSeconds));
        held_ = std::max(levelDbfs, held_ - fall);
    }
    if (clipped) {
        lastClip_ = nowSeconds;
    }
    clipShown_ = (clipped || (clipShown_ && nowSeconds - lastClip_ <= kClipShownSeconds));
    lastUpdate_ = nowSeconds;
    started_ = true;
}

}  // namespace zk::monitor
