// The demodulator on arbitrary sample streams: never a crash, never a packet that breaks its own
// promises, and work bounded by the length of the input. The first two bytes pick the input rate
// and the block size; the rest are 16-bit samples.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "demodulator.h"

namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void CheckPacket(const zk::receive::Packet& p, double seconds) {
    Check(std::isfinite(p.startSeconds) && std::isfinite(p.ebN0Db) && std::isfinite(p.marginDb));
    Check(p.startSeconds >= 0 && p.startSeconds <= p.endSeconds && p.endSeconds <= seconds + 1);
    Check(p.weakestBit >= 0 && p.weakestBit < 512);
    Check(p.headerOk == (p.bytes[0] == 0x7F && p.bytes[1] == 0x04 && p.bytes[2] == 0x01 &&
                         p.bytes[3] == 0x01));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    static const double kRates[] = {8000, 11025, 16000, 22050, 44100, 48000, 96000};
    const double rate = kRates[data[0] % 7];
    const std::size_t block = 1 + data[1] * 7u;
    std::vector<float> samples;
    for (std::size_t i = 2; i + 1 < size; i += 2) {
        const auto value = static_cast<std::int16_t>(data[i] | (data[i + 1] << 8));
        samples.push_back(static_cast<float>(value) / 32768.0f);
    }
    const double seconds = static_cast<double>(samples.size()) / rate;
    zk::receive::Demodulator demodulator(rate);
    for (std::size_t at = 0; at < samples.size(); at += block) {
        const std::size_t n = std::min(block, samples.size() - at);
        for (const zk::receive::Packet& p : demodulator.Feed({samples.data() + at, n})) {
            CheckPacket(p, seconds);
        }
        const zk::receive::LevelStatus level = demodulator.TakeLevel();
        Check(level.peakDbfs <= 0.01);
    }
    for (const zk::receive::Packet& p : demodulator.Finish().packets) {
        CheckPacket(p, seconds);
    }
    return 0;
}
