#include "output.h"

#include "_8RIFF.h"
#include "generate.h"

namespace zk {

void RunOutput(ControlPanel& panel, ChartSink& chart, Player& player) {
    GenerateTransferArray(panel);
    WriteWaveFile(chart);
    player.Play(kWaveFileName);
}

}  // namespace zk
