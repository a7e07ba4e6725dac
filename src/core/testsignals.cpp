#include "testsignals.h"

#include <cmath>
#include <numbers>

#include "_5FormFM.h"

namespace zk {

std::vector<std::int16_t> LevelTone(int seconds) {
    std::vector<std::int16_t> samples(static_cast<std::size_t>(seconds) * kSampleRate);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        samples[i] =
            static_cast<std::int16_t>(CarrierSample(kLeadInAmplitude, static_cast<int>(i)));
    }
    return samples;
}

std::optional<std::pair<int, int>> DtmfFrequencies(char symbol) {
    static constexpr char kKeys[] = "123A456B789C*0#D";
    static constexpr int kRows[] = {697, 770, 852, 941};
    static constexpr int kColumns[] = {1209, 1336, 1477, 1633};
    for (int k = 0; k < 16; ++k) {
        if (kKeys[k] == symbol) {
            return std::pair{kRows[k / 4], kColumns[k % 4]};
        }
    }
    return std::nullopt;
}

std::vector<std::int16_t> DtmfSignal(std::string_view symbols) {
    std::vector<std::int16_t> samples;
    samples.reserve(symbols.size() * (kDtmfToneSamples + kDtmfPauseSamples));
    const double step = 2.0 * std::numbers::pi / double{kSampleRate};
    for (const char symbol : symbols) {
        const auto [row, column] = DtmfFrequencies(symbol).value();
        for (int n = 0; n < kDtmfToneSamples; ++n) {
            const double value =
                kDtmfAmplitude * (std::sin(step * row * n) + std::sin(step * column * n));
            samples.push_back(static_cast<std::int16_t>(std::nearbyint(value)));
        }
        samples.insert(samples.end(), kDtmfPauseSamples, 0);
    }
    return samples;
}

}  // namespace zk
