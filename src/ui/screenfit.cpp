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

QPoint FitOnScreen(const QSize& frameSize, const QRect& available, const QPoint& preferred) {
    return {FitSpan(preferred.x(), frameSize.width(), available.left(), available.width()),
            FitSpan(preferred.y(), frameSize.height(), available.top(), available.height())};
}

}  // namespace zk::ui
