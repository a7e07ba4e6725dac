#include "_5FormFM.h"

#include <cmath>
#include <numbers>

#include "_2GL.h"

namespace zk {

// The carrier phase is never reset, so every bit starts at a zero crossing (16000 and 64 are
// multiples of the 16-sample cycle).
long long CarrierSample(int amplitude, int index) {
    static const double w = (kCarrierHz * (2.0 * std::numbers::pi)) / double{kSampleRate};
    return static_cast<long long>(std::nearbyint(amplitude * std::sin(w * index)));
}

void SynthesizeSignal(ChartSink& chart) {
    int i = 0;
    for (; i < kLeadInSamples; ++i) {
        SampleBuffer.Store(i, CarrierSample(kLeadInAmplitude, i));
    }
    for (int j = 0; j < kTransferSize; ++j) {
        const unsigned byte = TransferArray[j];
        for (int k = 0; k < 8; ++k) {
            // The sign goes on after rounding, so a 0 bit is the exact mirror of a 1 bit.
            const long long sign = ((byte >> (7 - k)) & 1u) ? 1 : -1;
            for (int n = 0; n < kSamplesPerBit; ++n, ++i) {
                SampleBuffer.Store(i, sign * CarrierSample(kDataAmplitude, i));
            }
        }
    }

    chart.Clear();
    const std::int16_t* samples = SampleBuffer.From(0, i);
    for (int j = 0; j < i; ++j) {
        chart.AddPoint(j, samples[j]);
    }
    chart.EndOfPoints();
}

}  // namespace zk
