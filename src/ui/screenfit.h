// Where the window stands on a screen that may be smaller than the window expects.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

namespace zk::ui {

// The top-left corner for a window whose frame measures `frameSize` and would rather stand at
// `preferred`, in the same device-independent coordinates as `available`, the screen's area
// left free by panels and docks. Where the whole frame fits there, `preferred` itself; otherwise
// the frame moves left and up just far enough to fit, but never past the area's left or top
// edge, so a frame larger than the area keeps its title bar and left side in view.
QPoint FitOnScreen(const QSize& frameSize, const QRect& available, const QPoint& preferred);

}  // namespace zk::ui
