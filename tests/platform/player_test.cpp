// Playback is routed away from any sound card: each test writes an ALSA configuration whose
// default device is the file plugin over a null device, points alsa-lib at it with
// ALSA_CONFIG_PATH, and reads back the bytes that reached the "device".
#include "audioplayer.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <numbers>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

#include "alsalibrary.h"
#include "errors.h"

namespace zk {
namespace {

namespace fs = std::filesystem;

using Bytes = std::vector<unsigned char>;

void PutLe(Bytes& out, std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i) {
        out.push_back(static_cast<unsigned char>(value >> (8 * i)));
    }
}

Bytes Samples16(const std::vector<std::int16_t>& samples) {
    Bytes out;
    for (std::int16_t s : samples) {
        PutLe(out, static_cast<std::uint16_t>(s), 2);
    }
    return out;
}

// The programming signal's shape: 48768 samples of a 1000 Hz tone at 16000 Hz whose phase flips
// every 64 samples, reaching both ends of the 16-bit range.
std::vector<std::int16_t> ToneSamples() {
    std::vector<std::int16_t> samples(48768);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const double sign = (i / 64) % 2 == 0 ? 1.0 : -1.0;
        const double v =
            sign * 32767.5 * std::sin(2.0 * std::numbers::pi * static_cast<double>(i) / 16.0);
        samples[i] = static_cast<std::int16_t>(std::clamp(std::lround(v), -32768L, 32767L));
    }
    samples[1] = -32768;
    samples[2] = 32767;
    return samples;
}

void WriteText(const fs::path& path, const std::string& text) {
    std::ofstream out(path);
    out << text;
    ASSERT_TRUE(out.good()) << path;
}

Bytes ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::uint32_t GetLe(const Bytes& bytes, std::size_t at, int size) {
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) {
        value = (value << 8) | bytes.at(at + static_cast<std::size_t>(i));
    }
    return value;
}

// A fresh folder as the working directory and an ALSA configuration of the test's own; both,
// and ALSA_CONFIG_PATH, restored afterwards.
class PlayerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "zk_player_XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = fs::canonical(pattern);
        oldCwd_ = fs::current_path();
        fs::current_path(dir_);
        if (const char* old = std::getenv("ALSA_CONFIG_PATH")) {
            oldConfig_ = old;
        }
    }

    void TearDown() override {
        if (oldConfig_) {
            setenv("ALSA_CONFIG_PATH", oldConfig_->c_str(), 1);
        } else {
            unsetenv("ALSA_CONFIG_PATH");
        }
        fs::current_path(oldCwd_);
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }

    void UseAlsaConfig(const std::string& text) {
        const fs::path config = dir_ / "asound.conf";
        WriteText(config, text);
        setenv("ALSA_CONFIG_PATH", config.c_str(), 1);
    }

    // The default device writes what it is given to `captured` in the given format.
    void CaptureInto(const fs::path& captured, const std::string& format = "raw") {
        UseAlsaConfig("pcm.!default { type file slave { pcm { type null } } file \"" +
                      captured.string() + "\" format \"" + format + "\" }\n");
    }

    // Plays `sound` on `device`, expecting a PlaybackError; returns its message, with alsa-lib's
    // stderr output (which must be none) checked on the way.
    static std::string FailedPlayMessage(const Sound& sound,
                                         const std::string& device = "default") {
        AlsaPlayer player(device);
        std::string message = "(no error)";
        ::testing::internal::CaptureStderr();
        try {
            player.Play(sound);
        } catch (const PlaybackError& e) {
            message = e.what();
        }
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
        return message;
    }

    fs::path dir_;
    fs::path oldCwd_;
    std::optional<std::string> oldConfig_;
};

// The sound as the output action hands it over: samples in memory, named by their file.
Sound SoundOf(const std::vector<std::int16_t>& samples, unsigned channels = 1,
              unsigned rate = 16000) {
    return Sound{"/work/_qq.wav", channels, rate, samples};
}

TEST_F(PlayerTest, PlaysTheSamplesByteForByte) {
    const std::vector<std::int16_t> samples = ToneSamples();
    CaptureInto(dir_ / "captured.raw");

    AlsaPlayer player;
    ::testing::internal::CaptureStderr();
    player.Play(SoundOf(samples));
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    EXPECT_TRUE(ReadFile(dir_ / "captured.raw") == Samples16(samples));

    // A second play on the same player opens the device afresh and sends the same bytes.
    player.Play(SoundOf(samples));
    EXPECT_TRUE(ReadFile(dir_ / "captured.raw") == Samples16(samples));
}

// A transmission cut under the sound (the PTT released by the transmit limit) stops the
// playback instead of sending the rest into a radio that no longer transmits.
TEST_F(PlayerTest, AStopRequestEndsThePlayWithAnErrorAndTheRestUnsent) {
    const std::vector<std::int16_t> samples = ToneSamples();
    CaptureInto(dir_ / "captured.raw");
    std::stop_source cut;
    cut.request_stop();

    AlsaPlayer player;
    try {
        player.Play(SoundOf(samples), cut.get_token());
        ADD_FAILURE() << "a stopped play returned as if the sound had been sent";
    } catch (const PlaybackError& e) {
        EXPECT_STREQ(e.what(),
                     "Cannot play file \"/work/_qq.wav\". ALSA device \"default\" stopped before "
                     "the end of the sound");
    }
    EXPECT_LT(ReadFile(dir_ / "captured.raw").size(), Samples16(samples).size());
}

// The device is opened with the sound's own channel count and rate (the file plugin's WAV output
// records both), and a device named by the caller is the one used.
TEST_F(PlayerTest, OpensTheNamedDeviceWithTheSoundsLayout) {
    const std::vector<std::int16_t> stereo = {1, -1, 32767, -32768, 256, -256, 0, 12345};
    UseAlsaConfig("pcm.radio { type file slave { pcm { type null } } file \"" +
                  (dir_ / "captured.wav").string() + "\" format \"wav\" }\n");

    AlsaPlayer("radio").Play(SoundOf(stereo, 2, 8000));

    const Bytes captured = ReadFile(dir_ / "captured.wav");
    ASSERT_GE(captured.size(), 44u);
    EXPECT_EQ(GetLe(captured, 22, 2), 2u);
    EXPECT_EQ(GetLe(captured, 24, 4), 8000u);
    EXPECT_EQ(GetLe(captured, 34, 2), 16u);
    EXPECT_TRUE(Bytes(captured.begin() + 44, captured.end()) == Samples16(stereo));
}

// A card that runs at 48000 Hz only still plays the 16000 Hz signal: ALSA's plug layer converts
// it (three device frames for each sample), never a refusal.
TEST_F(PlayerTest, ADeviceWithoutTheSoundsRateGetsItResampled) {
    UseAlsaConfig(
        "pcm.!default { type plug slave { pcm { type file slave { pcm { type null } } "
        "file \"" +
        (dir_ / "captured.raw").string() + "\" format \"raw\" } rate 48000 } }\n");
    const std::vector<std::int16_t> samples = ToneSamples();
    AlsaPlayer().Play(SoundOf(samples));
    const std::size_t frames = ReadFile(dir_ / "captured.raw").size() / 2;
    EXPECT_NEAR(static_cast<double>(frames), 3.0 * samples.size(), 0.01 * samples.size());
}

TEST_F(PlayerTest, NoUsableDeviceNamesTheFileTheDeviceAndAlsasTextWithoutAStop) {
    const std::vector<std::int16_t> samples = {1, 2, 3};
    const struct {
        const char* config;
        const char* device;
        const char* text;
    } cases[] = {
        {"", "default", "ALSA device \"default\" cannot be opened: No such file or directory"},
        {"", "radio", "ALSA device \"radio\" cannot be opened: No such file or directory"},
        {"pcm.!default { type hw card 99 }\n", "default",
         "ALSA device \"default\" cannot be opened: Invalid argument"},
        // a device that takes only mu-law samples refuses signed 16-bit ones
        {"pcm.!default { type mulaw slave { pcm { type null } format S16_LE } }\n", "default",
         "ALSA device \"default\" refuses 1-channel 16-bit sound at 16000 Hz: Invalid argument"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.config);
        UseAlsaConfig(c.config);
        const std::string message = FailedPlayMessage(SoundOf(samples), c.device);
        EXPECT_EQ(message, std::string("Cannot play file \"/work/_qq.wav\". ") + c.text);
        EXPECT_NE(message.back(), '.');
    }
}

// The file plugin reports its failed writes as an input/output error, which no recovery mends.
TEST_F(PlayerTest, DeviceWriteThatFailsIsReported) {
    CaptureInto("/dev/full");
    EXPECT_EQ(FailedPlayMessage(SoundOf(ToneSamples())),
              "Cannot play file \"/work/_qq.wav\". ALSA device \"default\" failed while playing: "
              "Input/output error");
}

// alsa-lib is opened on the first play; a library that cannot be loaded is reported with the
// dynamic loader's text, which names it.
TEST(AlsaLibrary, ALibraryThatCannotBeLoadedIsReportedByName) {
    try {
        alsa::LoadPlayback("libasound-not-installed.so.2");
        FAIL() << "no error";
    } catch (const alsa::LoadError& e) {
        EXPECT_NE(std::string(e.what()).find("libasound-not-installed.so.2"), std::string::npos)
            << e.what();
    }
    // A library without the playback functions is refused too, naming the missing function.
    try {
        alsa::LoadPlayback("libc.so.6");
        FAIL() << "no error";
    } catch (const alsa::LoadError& e) {
        EXPECT_NE(std::string(e.what()).find("snd_lib_error_set_handler"), std::string::npos)
            << e.what();
    }
}

}  // namespace
}  // namespace zk
