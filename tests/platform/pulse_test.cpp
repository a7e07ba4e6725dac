// Playback through a real sound server, as on a desktop: PulseAudio with a null sink at 48 kHz,
// its monitor recorded at 16 kHz. Unlike ALSA's file plugin the server plays in real time and
// resamples, so it tells a drained device from a dropped one, the right byte order from the wrong
// one, and a device opened with soft resampling from one that refuses 16 kHz.

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "_2GL.h"
#include "_5FormFM.h"
#include "audioplayer.h"
#include "freshglobals.h"
#include "output.h"
#include "panelstate.h"
#include "pulseserver.h"
#include "workfolder.h"

namespace zk {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using testing::Spawn;
using testing::WaitFor;

std::vector<std::int16_t> ReadSamples(const fs::path& path) {
    const std::string bytes = testing::ReadFile(path);
    std::vector<std::int16_t> samples(bytes.size() / 2);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        samples[i] = static_cast<std::int16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                               (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
    }
    return samples;
}

double Dot(const std::int16_t* a, const std::int16_t* b, int n) {
    double sum = 0;
    for (int i = 0; i < n; ++i) {
        sum += static_cast<double>(a[i]) * b[i];
    }
    return sum;
}

// Playback into a PulseAudio server of the test's own.
class PulsePlayback : public testing::FreshGlobals {
  protected:
    void SetUp() override {
        FreshGlobals::SetUp();
        if (!testing::PulseServer::Installed()) {
            GTEST_SKIP() << "pulseaudio or parec is not installed";
        }
        server_ = std::make_unique<testing::PulseServer>(folder_.path());
        ASSERT_TRUE(server_->Started()) << server_->Log();
    }

    void TearDown() override {
        if (recorder_ > 0) {
            ::kill(recorder_, SIGTERM);
            WaitFor(recorder_);
        }
        server_.reset();
        FreshGlobals::TearDown();
    }

    // Records the null sink's monitor, as the receiving radio would hear the transmitter.
    void StartRecording() {
        recorder_ = Spawn(
            {"parec", "--device=radio.monitor", "--format=s16le", "--rate=16000", "--channels=1"},
            recording().string());
        ASSERT_GT(recorder_, 0);
        // The monitor starts late: nothing is played before the recorder has heard something.
        ASSERT_TRUE(testing::WaitUntil([&] { return RecordedBytes() > 0; }))
            << "the recorder heard nothing";
        startBytes_ = RecordedBytes();
    }

    std::vector<std::int16_t> StopRecording() {
        // The recorder writes what it hears, silence too, so its file measures the time it has
        // heard. Keep it running until it has heard the signal's length and half a second more
        // from the moment playing began: the end of the signal, which arrives late, is then in.
        const std::uintmax_t enough = startBytes_ + 2 * (kSignalSamples + 8000);
        EXPECT_TRUE(testing::WaitUntil([&] { return RecordedBytes() >= enough; }))
            << "the recorder stopped hearing";
        ::kill(recorder_, SIGTERM);
        WaitFor(recorder_);
        recorder_ = -1;
        return ReadSamples(recording());
    }

    fs::path recording() const { return folder_.path() / "recording.raw"; }

    std::uintmax_t RecordedBytes() const {
        std::error_code error;
        const std::uintmax_t size = fs::file_size(recording(), error);
        return error ? 0 : size;
    }

    testing::WorkFolder folder_;
    std::unique_ptr<testing::PulseServer> server_;
    pid_t recorder_ = -1;
    std::uintmax_t startBytes_ = 0;
};

TEST_F(PulsePlayback, EveryDataCycleReachesTheAirInOrderAndPlayWaitsForTheEnd) {
    StartRecording();
    PanelState panel;
    panel.Code(CodeField::KodOtkrPols) = "1590";
    NoChart chart;
    AlsaPlayer speaker;
    const Clock::time_point start = Clock::now();
    RunOutput(panel, chart, speaker);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    const std::vector<std::int16_t> heard = StopRecording();

    // The signal lasts 3.048 s; a player that returns earlier has cut off its end.
    EXPECT_GE(seconds, 3.0);

    const std::int16_t* sent = SampleBuffer.From(0, kSignalSamples);
    constexpr int kDataSamples = kSignalSamples - kLeadInSamples;
    ASSERT_GT(static_cast<int>(heard.size()), kDataSamples);

    // Where the data begin in the recording: the best match of the first 32 bits, whose phase
    // pattern (the header 7F 04 01 01) no shift of the lead-in tone imitates.
    constexpr int kProbe = 32 * kSamplesPerBit;
    int begin = 0;
    double best = -1;
    for (int at = 0; at + kDataSamples <= static_cast<int>(heard.size()); ++at) {
        const double match =
            Dot(&heard[static_cast<std::size_t>(at)], sent + kLeadInSamples, kProbe);
        if (match > best) {
            best = match;
            begin = at;
        }
    }
    ASSERT_GT(best, 0) << "no data found in " << heard.size() << " recorded samples";

    // Every carrier cycle of the data (16 samples, four per bit) is there with the phase sent and
    // about the level of the rest: none missing, none inverted, none garbled.
    const std::int16_t* data = &heard[static_cast<std::size_t>(begin)];
    const double gain = Dot(data, sent + kLeadInSamples, kDataSamples) /
                        Dot(sent + kLeadInSamples, sent + kLeadInSamples, kDataSamples);
    ASSERT_GT(gain, 0.5);
    // The server's 16-to-48 kHz resampler keeps the last 8 samples in its filter when the stream
    // ends, and they are never played: of the last cycle only its first half is judged.
    constexpr int kCycles = kDataSamples / 16;
    for (int cycle = 0; cycle < kCycles; ++cycle) {
        const std::int16_t* expected = sent + kLeadInSamples + 16 * cycle;
        const int n = cycle == kCycles - 1 ? 8 : 16;
        const double ratio = Dot(data + 16 * cycle, expected, n) / Dot(expected, expected, n);
        ASSERT_GT(ratio, 0.5 * gain) << "cycle " << cycle << " of bit " << cycle / 4;
        ASSERT_LT(ratio, 1.5 * gain) << "cycle " << cycle << " of bit " << cycle / 4;
    }
}

}  // namespace
}  // namespace zk
