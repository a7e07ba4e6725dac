// The output action: the whole programming cycle behind "выдать".
#pragma once

#include "chartsink.h"
#include "controlpanel.h"
#include "player.h"

namespace zk {

// The signal as "_qq.wav" holds it, from the sample buffer the last write took it from; its
// file name is the full path of "_qq.wav".
Sound WrittenSignal();

// The output action up to the sound: generates the array from `panel` (an input error is shown and
// the output goes on with the array as generate left it), writes "_qq.wav" and "9_fmsig.h" and
// feeds `chart`. WrittenSignal() is then the sound to play.
void WriteOutputFiles(ControlPanel& panel, ChartSink& chart);

// The whole output action: WriteOutputFiles, then plays the very samples just written: never the
// file read back by name, which another program could have replaced in between. A file fault
// ends the action before playback.
void RunOutput(ControlPanel& panel, ChartSink& chart, Player& player);

}  // namespace zk
