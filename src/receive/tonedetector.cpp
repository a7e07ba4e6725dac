#include "tonedetector.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "workrate.h"

namespace zk::receive {

namespace {

// Share of the band power in the carrier line that switches a tone on: the noise alone gives
// about 0.01, a lead-in at the weakest usable level about 0.1.
constexpr double kOnRatio = 0.06;
constexpr int kOnWindows = 6;  // 30 ms
// A tone is over when its share falls below this part of its own mean (data gives ~0.1).
constexpr double kOffFraction = 0.35;
constexpr int kOffWindows = 2;

// e^(-j 2 pi n / 8): the carrier is exactly one eighth of the working rate.
const std::array<std::complex<float>, kWorkPerCycle>& Mixer() {
    static const auto table = [] {
        std::array<std::complex<float>, kWorkPerCycle> t{};
        for (int n = 0; n < kWorkPerCycle; ++n) {
            const double a = -2 * std::numbers::pi * n / kWorkPerCycle;
            t[static_cast<std::size_t>(n)] = {static_cast<float>(std::cos(a)),
                                              static_cast<float>(std::sin(a))};
        }
        return t;
    }();
    return table;
}

}  // namespace

void ToneDetector::Process(const float* samples, std::size_t count, std::int64_t firstIndex,
                           std::vector<ToneSpan>& finished) {
    const auto& mixer = Mixer();
    for (std::size_t i = 0; i < count; ++i) {
        const std::int64_t index = firstIndex + static_cast<std::int64_t>(i);
        const float x = samples[i];
        line_ += x * mixer[static_cast<std::size_t>(index & (kWorkPerCycle - 1))];
        power_ += x * x;
        if (++inBlock_ == kBlock) {
            EndOfBlock(index + 1, finished);
        }
    }
}

ToneDetector::Window ToneDetector::CurrentWindow() const {
    Window window;
    for (int k = 0; k < kWindowBlocks; ++k) {
        const auto slot = static_cast<std::size_t>((slot_ + k) % kWindowBlocks);
        window.blocks[static_cast<std::size_t>(k)] = std::complex<double>(lines_[slot]);
        window.power += powers_[slot];
    }
    for (std::size_t k = 1; k < window.blocks.size(); ++k) {
        window.turn += window.blocks[k] * std::conj(window.blocks[k - 1]);
    }
    return window;
}

double ToneDetector::Window::Share(std::complex<double> turnPerBlock) const {
    // Below this power in a 40 ms window (-100 dBFS in the band) there is nothing to measure:
    // digital silence, or the residue of a constant level that the band-pass took away (float
    // sections left about -107 dBFS of their own rounding, which looked like a steady line; the
    // sections now run in double, and the floor stays for any other source of such a residue).
    constexpr double kSilentWindowPower = 1e-10 * kBlock * kWindowBlocks;
    if (power < kSilentWindowPower) {
        return 0.0;
    }
    // sqrt of the norm, not std::abs: hypot's care for overflow costs a verify 3 % of its time,
    // and these sums are nowhere near the limits of a double.
    const double size = std::sqrt(std::norm(turnPerBlock));
    const std::complex<double> back = size > 0 ? std::conj(turnPerBlock) / size : 1.0;
    std::complex<double> line{};
    std::complex<double> undo = 1.0;
    for (const std::complex<double>& block : blocks) {
        line += block * undo;
        undo *= back;
    }
    // 1 for a pure tone: |sum x e^-jwn|^2 = (A N / 2)^2 against sum x^2 = A^2 N / 2.
    constexpr double kWindow = kBlock * kWindowBlocks;
    return std::norm(line) / (power * kWindow / 2);
}

void ToneDetector::EndOfBlock(std::int64_t blockEnd, std::vector<ToneSpan>& finished) {
    lines_[static_cast<std::size_t>(slot_)] = line_;
    powers_[static_cast<std::size_t>(slot_)] = power_;
    slot_ = (slot_ + 1) % kWindowBlocks;
    filled_ = std::min(filled_ + 1, kWindowBlocks);
    line_ = {};
    power_ = 0;
    inBlock_ = 0;
    if (filled_ < kWindowBlocks) {
        return;
    }

    const Window window = CurrentWindow();
    if (!on_) {
        // A lead-in right on 1000 Hz, or one turned by its own offset (a radio tuned off, a
        // sound card's clock): whichever shows more (the turned line gains a little on noise
        // alone, the still one on a weak tone right on 1000 Hz).
        const double ratio = std::max(window.Share(1.0), window.Share(window.turn));
        above_ = ratio >= kOnRatio ? above_ + 1 : 0;
        if (above_ >= kOnWindows) {
            on_ = true;
            below_ = 0;
            toneTurn_ = window.turn;
            // The first window above the share may hold as little as a quarter of tone; the
            // tone was surely on from 10 ms before that window's end.
            start_ = blockEnd - (kOnWindows - 1) * kBlock - 2 * kBlock;
            ratioSum_ = 0;
            ratioCount_ = 0;
        }
        return;
    }
    // While on, the line is turned by the tone's own offset as measured so far: the data after
    // the lead-in cannot borrow coherence from a turn of its own.
    const double ratio = window.Share(toneTurn_);
    const double mean = ratioCount_ > 0 ? ratioSum_ / ratioCount_ : ratio;
    if (ratio < std::max(kOnRatio, kOffFraction * mean)) {
        if (++below_ >= kOffWindows) {
            on_ = false;
            above_ = 0;
            const std::int64_t end = blockEnd - (kOffWindows - 1) * kBlock;
            finished.push_back({std::max(start_, end - kMaxToneSamples), end, mean});
        }
        return;
    }
    below_ = 0;
    ratioSum_ += ratio;
    ++ratioCount_;
    toneTurn_ += window.turn;
}

void ToneDetector::Finish(std::int64_t endIndex, std::vector<ToneSpan>& finished) {
    if (on_) {
        on_ = false;
        const double mean = ratioCount_ > 0 ? ratioSum_ / ratioCount_ : 0.0;
        finished.push_back({std::max(start_, endIndex - kMaxToneSamples), endIndex, mean});
    }
}

}  // namespace zk::receive
