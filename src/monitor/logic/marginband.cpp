#include "marginband.h"

#include <algorithm>
#include <cmath>

namespace zk::monitor {

MarginBand BandOfMargin(double marginDb) {
    // A margin that could not be measured is no reason for confidence.
    if (std::isnan(marginDb)) {
        return MarginBand::Red;
    }
    if (marginDb >= kGreenMarginDb) {
        return MarginBand::Green;
    }
    if (marginDb >= kAmberMarginDb) {
        return MarginBand::Amber;
    }
    return MarginBand::Red;
}

double GaugeFraction(double marginDb) {
    if (std::isnan(marginDb)) {
        return 0.0;
    }
    return std::clamp((marginDb - kGaugeLowDb) / (kGaugeHighDb - kGaugeLowDb), 0.0, 1.0);
}

}  // namespace zk::monitor
