// zk77q3 tone and zk77q3 dtmf, captured through ALSA's file plugin as a radio would take them.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

#include "toolrun.h"
#include "workfolder.h"

namespace zk {
namespace {

using testing::CaptureConfig;
using testing::ReadFile;
using testing::RunTool;
using testing::ToolRun;
using testing::WorkFolder;

std::vector<std::int16_t> Samples(const std::string& bytes) {
    std::vector<std::int16_t> samples(bytes.size() / 2);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        samples[i] = static_cast<std::int16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                               static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
    }
    return samples;
}

TEST(TestSignals, ToneIsTheLeadInContinued) {
    WorkFolder folder;
    const std::string capture = CaptureConfig(folder.path() / "tone.raw");
    ToolRun run = RunTool("tone --seconds 3", capture);
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::int16_t> tone = Samples(ReadFile("tone.raw"));
    ASSERT_EQ(tone.size(), 48000u);
    const double w = 1000 * 2.0 * std::numbers::pi / 16000;
    for (std::size_t i = 0; i < tone.size(); ++i) {
        ASSERT_EQ(tone[i], std::nearbyint(31000 * std::sin(w * static_cast<double>(i))))
            << "sample " << i;
    }
    // The first second is the programming signal's lead-in, sample for sample.
    ASSERT_EQ(RunTool("generate").status, 0);
    const std::vector<std::int16_t> signal = Samples(ReadFile("_qq.wav").substr(44));
    EXPECT_TRUE(std::equal(tone.begin(), tone.begin() + 16000, signal.begin()));

    EXPECT_EQ(RunTool("tone", capture).status, 0);  // 10 seconds unless told
    EXPECT_EQ(ReadFile("tone.raw").size(), 320000u);
    EXPECT_EQ(RunTool("tone --seconds 0", capture).status, 2);
    run = RunTool("tone --seconds 1 --device nothing", capture);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err,
              "zk77q3: playing the 1000 Hz lead-in tone for 1 s on nothing\n"
              "zk77q3: Cannot play the level tone. ALSA device \"nothing\" cannot be opened: No "
              "such file or directory; `zk77q3 devices` lists the devices.\n");
}

// Signal power at `hz` in `block` (Goertzel), relative to the block's total power.
double Goertzel(const std::int16_t* block, int size, double hz) {
    const double k = 2 * std::cos(2 * std::numbers::pi * hz / 16000);
    double s1 = 0, s2 = 0, total = 0;
    for (int n = 0; n < size; ++n) {
        const double s0 = block[n] + k * s1 - s2;
        s2 = s1;
        s1 = s0;
        total += static_cast<double>(block[n]) * block[n];
    }
    const double power = s1 * s1 + s2 * s2 - k * s1 * s2;
    return total > 0 ? power / (total * size / 2) : 0;
}

// The symbols in a capture: each 100 ms tone is the strongest row and column frequency, both
// clearly present, followed by 100 ms of silence.
std::string DetectDtmf(const std::vector<std::int16_t>& samples) {
    static constexpr double kRows[] = {697, 770, 852, 941};
    static constexpr double kColumns[] = {1209, 1336, 1477, 1633};
    static constexpr char kKeys[] = "123A456B789C*0#D";
    std::string symbols;
    for (std::size_t start = 0; start + 3200 <= samples.size(); start += 3200) {
        const std::int16_t* tone = samples.data() + start;
        int row = 0, column = 0;
        double rowPower = 0, columnPower = 0, others = 0;
        for (int r = 0; r < 4; ++r) {
            const double p = Goertzel(tone, 1600, kRows[r]);
            others = std::max(others, std::min(p, rowPower));
            if (p > rowPower) {
                others = std::max(others, rowPower);
                rowPower = p;
                row = r;
            }
        }
        for (int c = 0; c < 4; ++c) {
            const double p = Goertzel(tone, 1600, kColumns[c]);
            if (p > columnPower) {
                others = std::max(others, columnPower);
                columnPower = p;
                column = c;
            } else {
                others = std::max(others, p);
            }
        }
        const bool silent = std::all_of(tone + 1600, tone + 3200, [](auto s) { return s == 0; });
        if (rowPower < 0.3 || columnPower < 0.3 || others > 0.05 || !silent) {
            symbols += '?';
        } else {
            symbols += kKeys[row * 4 + column];
        }
    }
    return symbols;
}

TEST(TestSignals, DtmfSymbolsAreRecoveredFromTheCapture) {
    WorkFolder folder;
    const std::string capture = CaptureConfig(folder.path() / "dtmf.raw");
    ToolRun run = RunTool("dtmf '0123456789ABCD*#'", capture);
    ASSERT_EQ(run.status, 0) << run.err;
    std::vector<std::int16_t> samples = Samples(ReadFile("dtmf.raw"));
    EXPECT_EQ(samples.size(), 16u * 3200);
    EXPECT_EQ(DetectDtmf(samples), "0123456789ABCD*#");
    const auto [low, high] = std::minmax_element(samples.begin(), samples.end());
    EXPECT_GE(*low, -31000);  // never louder than the programming signal's lead-in
    EXPECT_LE(*high, 31000);

    // A code of the settings, as the repeater hears it: ":;<=" is ABCD.
    testing::WriteFile("north.toml", "user-mode = \":;<=\"\nuser-open = \"1590\"\n");
    run = RunTool("dtmf --code user-mode --config north.toml --user-open 7777", capture);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(DetectDtmf(Samples(ReadFile("dtmf.raw"))), "ABCD");
    run = RunTool("dtmf --code user-open --config north.toml", capture);
    EXPECT_EQ(DetectDtmf(Samples(ReadFile("dtmf.raw"))), "1590");

    EXPECT_EQ(RunTool("dtmf 12E4", capture).err,
              "zk77q3: CODE: \"12E4\" must be DTMF symbols: 0-9 A B C D * #\n");
    EXPECT_EQ(RunTool("dtmf --code squelch", capture).status, 2);
    EXPECT_EQ(RunTool("dtmf 1234 --code user-open", capture).status, 2);
}

}  // namespace
}  // namespace zk
