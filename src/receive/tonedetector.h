// The cheap first look at every sample: is a steady 1000 Hz tone on the air? It measures, over
// a sliding 40 ms window, the share of the band's power that sits in one coherent line at the
// carrier. A lead-in gives nearly all of it (less the noise), data only about a tenth (its phase
// turns every few milliseconds), noise 1/160. Only the spans it reports get the fine work.
#pragma once

#include <array>
#include <complex>
#include <cstdint>
#include <vector>

namespace zk::receive {

struct ToneSpan {
    std::int64_t start = 0;  // working-rate index where the tone surely was on
    std::int64_t end = 0;    // index of the first window in which the tone had given way
    double meanRatio = 0;    // the tone's mean share of the band power
};

class ToneDetector {
  public:
    // `firstIndex` is the working-rate index of samples[0]; indices run on without gaps.
    void Process(const float* samples, std::size_t count, std::int64_t firstIndex,
                 std::vector<ToneSpan>& finished);
    // Ends a tone still on at the end of the stream.
    void Finish(std::int64_t endIndex, std::vector<ToneSpan>& finished);
    bool ToneOn() const { return on_; }
    // The longest lead-in worth keeping: a tone that lasts longer is followed from its last
    // part only.
    static constexpr std::int64_t kMaxToneSamples = 8800;  // 1.1 s

  private:
    void EndOfBlock(std::int64_t blockEnd, std::vector<ToneSpan>& finished);

    static constexpr int kBlock = 40;        // 5 ms, five carrier cycles
    static constexpr int kWindowBlocks = 8;  // 40 ms

    // The last 40 ms as blocks of 5 ms, oldest first.
    struct Window {
        std::array<std::complex<double>, kWindowBlocks> blocks{};
        double power = 0;
        std::complex<double> turn{};  // the line's turn from one block to the next
        // The share of the window's band power in one steady line that turns by
        // `turnPerBlock`'s angle from block to block (1: right on 1000 Hz).
        double Share(std::complex<double> turnPerBlock) const;
    };
    Window CurrentWindow() const;

    std::array<std::complex<float>, kWindowBlocks> lines_{};
    std::array<float, kWindowBlocks> powers_{};
    int slot_ = 0;
    int filled_ = 0;
    std::complex<float> line_{};  // of the block being summed
    float power_ = 0;
    int inBlock_ = 0;

    bool on_ = false;
    int above_ = 0;  // consecutive windows above the switch-on share
    int below_ = 0;  // consecutive windows below the switch-off share while on
    std::int64_t start_ = 0;
    double ratioSum_ = 0;
    std::complex<double> toneTurn_{};  // the tone's turn per block, summed while it is on
    int ratioCount_ = 0;
};

}  // namespace zk::receive
