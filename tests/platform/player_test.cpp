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
#include <string>
#include <vector>

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

// A canonical 44-byte-header PCM WAV file around `data`.
Bytes WaveFile(unsigned channels, unsigned rate, unsigned bits, const Bytes& data) {
    const unsigned blockAlign = channels * bits / 8;
    Bytes out;
    out.reserve(44 + data.size());
    auto tag = [&out](const char* t) {
        for (int i = 0; i < 4; ++i) {
            out.push_back(static_cast<unsigned char>(t[i]));
        }
    };
    tag("RIFF");
    PutLe(out, static_cast<std::uint32_t>(36 + data.size()), 4);
    tag("WAVE");
    tag("fmt ");
    PutLe(out, 16, 4);
    PutLe(out, 1, 2);  // PCM
    PutLe(out, channels, 2);
    PutLe(out, rate, 4);
    PutLe(out, rate * blockAlign, 4);
    PutLe(out, blockAlign, 2);
    PutLe(out, bits, 2);
    tag("data");
    PutLe(out, static_cast<std::uint32_t>(data.size()), 4);
    out.insert(out.end(), data.begin(), data.end());
    return out;
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

void WriteFile(const fs::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << path;
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

    // Plays `name`, expecting a PlaybackError; returns its message, with alsa-lib's stderr
    // output (which must be none) checked on the way.
    std::string FailedPlayMessage(const std::string& name) {
        AlsaPlayer player;
        std::string message = "(no error)";
        ::testing::internal::CaptureStderr();
        try {
            player.Play(name);
        } catch (const PlaybackError& e) {
            message = e.what();
        }
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
        return message;
    }

    std::string Expected(const std::string& name, const std::string& text) const {
        return "Cannot play file \"" + (dir_ / name).string() + "\". " + text;
    }

    fs::path dir_;
    fs::path oldCwd_;
    std::optional<std::string> oldConfig_;
};

TEST_F(PlayerTest, PlaysTheSignalFileByteForByteFromTheWorkingDirectory) {
    const Bytes data = Samples16(ToneSamples());
    const Bytes wav = WaveFile(1, 16000, 16, data);
    ASSERT_EQ(wav.size(), 97580u);
    WriteFile(dir_ / "_qq.wav", wav);
    CaptureInto(dir_ / "captured.raw");

    AlsaPlayer player;
    ::testing::internal::CaptureStderr();
    player.Play("_qq.wav");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    EXPECT_TRUE(ReadFile(dir_ / "captured.raw") == data);

    // A second play on the same player opens the device afresh and sends the same bytes.
    player.Play((dir_ / "_qq.wav").string());
    EXPECT_TRUE(ReadFile(dir_ / "captured.raw") == data);
}

// The device is opened with the file's own channel count and rate (the file plugin's WAV output
// records both), and samples of other widths reach it as signed 16-bit.
TEST_F(PlayerTest, OpensTheDeviceWithTheFilesLayoutAndConvertsToSixteenBits) {
    struct Case {
        const char* name;
        unsigned channels;
        unsigned rate;
        unsigned bits;
        Bytes data;
        Bytes expected;
    };
    const std::vector<std::int16_t> stereo = {1, -1, 32767, -32768, 256, -256, 0, 12345};
    const Bytes unsigned8 = {0x00, 0x80, 0xFF, 0x01, 0x7F};
    const std::vector<Case> cases = {
        {"stereo.wav", 2, 8000, 16, Samples16(stereo), Samples16(stereo)},
        {"eightbit.wav", 1, 22050, 8, unsigned8, Samples16({-32768, 0, 32512, -32512, -256})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFile(dir_ / c.name, WaveFile(c.channels, c.rate, c.bits, c.data));
        CaptureInto(dir_ / "captured.wav", "wav");

        AlsaPlayer().Play(c.name);

        const Bytes captured = ReadFile(dir_ / "captured.wav");
        ASSERT_GE(captured.size(), 44u);
        EXPECT_EQ(GetLe(captured, 22, 2), c.channels);
        EXPECT_EQ(GetLe(captured, 24, 4), c.rate);
        EXPECT_EQ(GetLe(captured, 34, 2), 16u);
        EXPECT_TRUE(Bytes(captured.begin() + 44, captured.end()) == c.expected);
    }
}

TEST_F(PlayerTest, NoUsableDeviceNamesTheFullPathAndAlsasTextWithoutAStop) {
    WriteFile(dir_ / "_qq.wav", WaveFile(1, 16000, 16, Samples16({1, 2, 3})));
    const struct {
        const char* config;
        const char* text;
    } cases[] = {
        {"", "No such file or directory"},                           // no default device at all
        {"pcm.!default { type hw card 99 }\n", "Invalid argument"},  // beyond the card numbers
        // a device that takes only mu-law samples refuses signed 16-bit ones
        {"pcm.!default { type mulaw slave { pcm { type null } format S16_LE } }\n",
         "Invalid argument"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.config);
        UseAlsaConfig(c.config);
        const std::string message = FailedPlayMessage("_qq.wav");
        EXPECT_EQ(message, Expected("_qq.wav", c.text));
        EXPECT_NE(message.back(), '.');
    }
}

TEST_F(PlayerTest, FileThatIsNoSoundNamesTheFullPathAndNothingIsPlayed) {
    WriteText(dir_ / "notes.wav", "This is text, not a sound.\n");
    WriteFile(dir_ / "empty.wav", {});
    fs::create_directory(dir_ / "folder.wav");
    const struct {
        const char* name;
        const char* text;
    } cases[] = {
        {"missing.wav", "System error : No such file or directory"},
        {"notes.wav", "Format not recognised"},
        {"empty.wav", "Format not recognised"},
        {"folder.wav", "Format not recognised"},
    };
    const fs::path captured = dir_ / "captured.raw";
    CaptureInto(captured);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(FailedPlayMessage(c.name), Expected(c.name, c.text));
        EXPECT_FALSE(fs::exists(captured));
    }
}

// The file plugin reports its failed writes as an input/output error, which no recovery mends.
TEST_F(PlayerTest, DeviceWriteThatFailsIsReported) {
    WriteFile(dir_ / "_qq.wav", WaveFile(1, 16000, 16, Samples16(ToneSamples())));
    CaptureInto("/dev/full");
    EXPECT_EQ(FailedPlayMessage("_qq.wav"), Expected("_qq.wav", "Input/output error"));
}

}  // namespace
}  // namespace zk
