#include "output.h"

#include "_2GL.h"
#include "_5FormFM.h"
#include "_8RIFF.h"
#include "errors.h"
#include "generate.h"

namespace zk {

Sound WrittenSignal() {
    Sound sound;
    sound.fileName = FullPath(kWaveFileName);
    sound.channels = 1;
    sound.rate = kSampleRate;
    sound.samples = {SampleBuffer.From(0, kSignalSamples),
                     static_cast<std::size_t>(kSignalSamples)};
    return sound;
}

void WriteOutputFiles(ControlPanel& panel, ChartSink& chart) {
    GenerateTransferArray(panel);
    WriteWaveFile(chart);
}

void RunOutput(ControlPanel& panel, ChartSink& chart, Player& player) {
    WriteOutputFiles(panel, chart);
    player.Play(WrittenSignal());
}

}  // namespace zk
