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
//
// At a scale factor other than 1 (`devicePixelRatio`), Qt reports the window manager's frame in
// whole device-independent pixels, rounded: a title bar of an odd number of device pixels at 2x
// is half a pixel taller than reported. The frame is then fitted as one pixel larger each way,
// so that its last row of device pixels stays on the screen too.
QPoint FitOnScreen(const QSize& frameSize, const QRect& available, const QPoint& preferred,
                   double devicePixelRatio = 1.0);

}  // namespace zk::ui
