// The output action: the whole programming cycle behind "выдать".
#pragma once

#include "chartsink.h"
#include "controlpanel.h"
#include "player.h"

namespace zk {

inline constexpr const char* kWaveFileName = "_qq.wav";
inline constexpr const char* kWaveTableFileName = "9_fmsig.h";

// Generates the array from `panel` (an input error is shown and the output goes on with the array
// as generate left it), writes "_qq.wav" and "9_fmsig.h", feeds `chart`, then plays "_qq.wav".
// A file fault ends the action before playback.
void RunOutput(ControlPanel& panel, ChartSink& chart, Player& player);

}  // namespace zk
