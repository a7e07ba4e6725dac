// The small tab icons, drawn at run time: filled squares on the main tabs, filled circles on the
// squelch-detector tabs.
#pragma once

#include <QIcon>
#include <QList>

namespace zk::ui {

inline constexpr int kIconSize = 16;

// ImageList2: red, yellow, green, cyan and blue squares.
QList<QIcon> ImageList2();

// ImageList1: yellow, green, cyan, blue and red circles.
QList<QIcon> ImageList1();

}  // namespace zk::ui
