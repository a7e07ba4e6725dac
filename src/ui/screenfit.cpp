#include "screenfit.h"

#include <algorithm>

namespace zk::ui {

namespace {

// One axis: the start of a span of `length` that would rather begin at `preferred`, kept inside
// the span that starts at `first` and runs for `extent`, or at `first` when it is too long.
int FitSpan(int preferred, int length, int first, int extent) {
    return std::max(first, std::min(preferred, first + extent - length));
}

}  // namespace

QPoint FitOnScreen(const QSize& frameSize, const QRect& available, const QPoint& preferred,
                   double devicePixelRatio) {
    const int roundingSlack = devicePixelRatio == 1.0 ? 0 : 1;
    const QSize fitted = frameSize + QSize(roundingSlack, roundingSlack);
    return {FitSpan(preferred.x(), fitted.width(), available.left(), available.width()),
            FitSpan(preferred.y(), fitted.height(), available.top(), available.height())};
}

}  // namespace zk::ui
