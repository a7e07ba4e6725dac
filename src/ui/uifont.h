// Fonts of the window. The window names the classic Windows faces; where they are missing the
// metric-compatible free faces stand in, so that captions keep their widths and nothing clips.
#pragma once

#include <QFont>

namespace zk::ui {

inline constexpr const char* kSansFamily = "MS Sans Serif";
inline constexpr const char* kMonoFamily = "Courier New";
inline constexpr const char* kNarrowFamily = "Arial Narrow";

// `family` at `pixelSize` pixels, with its stand-ins listed after it.
QFont UiFont(const char* family, int pixelSize, bool bold = false);

}  // namespace zk::ui
