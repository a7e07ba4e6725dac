// The margin gauge's colour bands: how much room a packet left above what decoding needs.
// Green leaves room for a worse day on the air, amber decodes now but barely, red is below the
// line where packets start to get lost.
#pragma once

namespace zk::monitor {

enum class MarginBand { Red, Amber, Green };

// Margin at and above which the gauge is green.
inline constexpr double kGreenMarginDb = 6.0;
// Margin at and above which it is amber; below it, red.
inline constexpr double kAmberMarginDb = 0.0;

// The gauge's scale: a margin is drawn between these two ends and clamped to them.
inline constexpr double kGaugeLowDb = -10.0;
inline constexpr double kGaugeHighDb = 30.0;

MarginBand BandOfMargin(double marginDb);

// Where on the gauge `marginDb` lies, 0 (kGaugeLowDb and below) to 1 (kGaugeHighDb and above).
double GaugeFraction(double marginDb);

}  // namespace zk::monitor
