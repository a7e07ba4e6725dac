// Decodes a sound file the way `zk77q3 verify` will: libsndfile reads it in blocks, the first
// channel goes to the demodulator. For timing against `sox FILE -n sinc 300-3000` on the same
// file, and for trying recordings by hand.
//   zk_receive_file FILE
#include <sndfile.h>

#include <chrono>
#include <cstdio>
#include <vector>

#include "demodulator.h"
#include "findingwords.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: zk_receive_file FILE\n");
        return 2;
    }
    SF_INFO info{};
    SNDFILE* file = sf_open(argv[1], SFM_READ, &info);
    if (file == nullptr) {
        std::fprintf(stderr, "%s: %s\n", argv[1], sf_strerror(nullptr));
        return 1;
    }
    const auto start = std::chrono::steady_clock::now();
    zk::receive::Demodulator rx(info.samplerate);
    constexpr sf_count_t kFrames = 8192;
    std::vector<float> frames(static_cast<std::size_t>(kFrames * info.channels));
    std::vector<float> mono(static_cast<std::size_t>(kFrames));
    std::vector<zk::receive::Packet> packets;
    for (;;) {
        const sf_count_t got = sf_readf_float(file, frames.data(), kFrames);
        if (got <= 0) {
            break;
        }
        for (sf_count_t i = 0; i < got; ++i) {
            mono[static_cast<std::size_t>(i)] = frames[static_cast<std::size_t>(i * info.channels)];
        }
        for (const auto& p : rx.Feed({mono.data(), static_cast<std::size_t>(got)})) {
            packets.push_back(p);
        }
    }
    sf_close(file);
    auto rest = rx.Finish();
    packets.insert(packets.end(), rest.packets.begin(), rest.packets.end());
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    for (const auto& p : packets) {
        std::printf("%9.3f s  %s  Eb/N0 %.1f dB (margin %+.1f dB)  carrier %.2f Hz\n",
                    p.startSeconds, p.HeaderAndCheckWordRight() ? "valid  " : "INVALID", p.ebN0Db,
                    p.marginDb, p.carrierHz);
    }
    for (const zk::receive::Finding& f : rest.diagnosis.findings) {
        std::printf("%s\n", zk::FindingWords(f).c_str());
    }
    std::printf("%zu packets, %.3f s\n", packets.size(), seconds);
    return 0;
}
