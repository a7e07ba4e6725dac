// Playback through a real sound server, as on a desktop: PulseAudio with a null sink at 48 kHz,
// its monitor recorded at 16 kHz. Unlike ALSA's file plugin the server plays in real time and
// resamples, so it tells a drained device from a dropped one, the right byte order from the wrong
// one, and a device opened with soft resampling from one that refuses 16 kHz.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "_2GL.h"
#include "_5FormFM.h"
#include "audioplayer.h"
#include "freshglobals.h"
#include "output.h"
#include "panelstate.h"
#include "workfolder.h"

extern char** environ;

namespace zk {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Starts `argv` with its standard output going to `output` (or inherited when empty).
pid_t Spawn(const std::vector<std::string>& argv, const std::string& output = "") {
    std::vector<char*> args;
    for (const std::string& a : argv) {
        args.push_back(const_cast<char*>(a.c_str()));
    }
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!output.empty()) {
        posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
    }
    pid_t pid = -1;
    if (posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ) != 0) {
        pid = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

int WaitFor(pid_t pid) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

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

// A PulseAudio server of the test's own (its runtime folder, no system or user configuration),
// with ALSA's "default" routed to it through the pulse plugin.
class PulsePlayback : public testing::FreshGlobals {
  protected:
    void SetUp() override {
        FreshGlobals::SetUp();
        if (std::system("command -v pulseaudio parec >/dev/null 2>&1") != 0) {
            GTEST_SKIP() << "pulseaudio or parec is not installed";
        }
        runtime_ = folder_.path() / "run";
        fs::create_directory(runtime_);
        fs::permissions(runtime_, fs::perms::owner_all);
        ::setenv("XDG_RUNTIME_DIR", runtime_.c_str(), 1);
        ::setenv("PULSE_SERVER", ("unix:" + (runtime_ / "pulse" / "native").string()).c_str(), 1);
        testing::WriteFile("radio.pa",
                           "load-module module-native-protocol-unix\n"
                           "load-module module-null-sink sink_name=radio rate=48000\n"
                           "set-default-sink radio\n");
        testing::WriteFile("asound.conf", "pcm.!default { type pulse }\n");
        ::setenv("ALSA_CONFIG_PATH", (folder_.path() / "asound.conf").c_str(), 1);
        const pid_t server =
            Spawn({"pulseaudio", "-n", "-F", (folder_.path() / "radio.pa").string(),
                   "--exit-idle-time=-1", "--daemonize=yes", "--disallow-exit",
                   "--log-target=file:" + (folder_.path() / "pulse.log").string()});
        ASSERT_GT(server, 0);
        ASSERT_EQ(WaitFor(server), 0) << testing::ReadFile(folder_.path() / "pulse.log");
        started_ = true;
    }

    void TearDown() override {
        if (recorder_ > 0) {
            ::kill(recorder_, SIGTERM);
            WaitFor(recorder_);
        }
        if (started_) {
            const std::string pid = testing::ReadFile(runtime_ / "pulse" / "pid");
            if (!pid.empty()) {
                ::kill(std::stoi(pid), SIGTERM);
            }
        }
        for (const char* name : {"XDG_RUNTIME_DIR", "PULSE_SERVER", "ALSA_CONFIG_PATH"}) {
            ::unsetenv(name);
        }
        FreshGlobals::TearDown();
    }

    // Records the null sink's monitor, as the receiving radio would hear the transmitter.
    void StartRecording() {
        recorder_ = Spawn({"parec", "--device=radio.monitor", "--format=s16le", "--rate=16000",
                           "--channels=1"},
                          recording().string());
        ASSERT_GT(recorder_, 0);
        // The monitor starts late; give it a moment before anything is played.
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
    }

    std::vector<std::int16_t> StopRecording() {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        ::kill(recorder_, SIGTERM);
        WaitFor(recorder_);
        recorder_ = -1;
        return ReadSamples(recording());
    }

    fs::path recording() const { return folder_.path() / "recording.raw"; }

    testing::WorkFolder folder_;
    fs::path runtime_;
    bool started_ = false;
    pid_t recorder_ = -1;
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
        const double match = Dot(&heard[static_cast<std::size_t>(at)], sent + kLeadInSamples, kProbe);
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
    for (int cycle = 0; cycle < kDataSamples / 16; ++cycle) {
        const std::int16_t* expected = sent + kLeadInSamples + 16 * cycle;
        const double ratio = Dot(data + 16 * cycle, expected, 16) / Dot(expected, expected, 16);
        ASSERT_GT(ratio, 0.5 * gain) << "cycle " << cycle << " of bit " << cycle / 4;
        ASSERT_LT(ratio, 1.5 * gain) << "cycle " << cycle << " of bit " << cycle / 4;
    }
}

}  // namespace
}  // namespace zk
