// Recordings as the receiving side reads them: sound files through libsndfile, live capture
// through ALSA (the file plugin's infile stands in for a microphone).
#include <sndfile.h>
#include <stdlib.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "audiocapture.h"
#include "soundfilereader.h"

namespace zk {
namespace {

namespace fs = std::filesystem;

class Recording : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "zk_recording_XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override {
        ::unsetenv("ALSA_CONFIG_PATH");
        fs::remove_all(dir_);
    }

    // Writes `frames` of a ramp through libsndfile in `format`; channel c of frame i holds
    // (i % 200 - 100) / 128 + c / 1024, exact in every format used.
    fs::path Write(const std::string& name, int format, int channels, int rate, int frames) {
        const fs::path path = dir_ / name;
        SF_INFO info{};
        info.channels = channels;
        info.samplerate = rate;
        info.format = format;
        SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
        EXPECT_NE(file, nullptr) << sf_strerror(nullptr);
        std::vector<float> data;
        for (int i = 0; i < frames; ++i) {
            for (int c = 0; c < channels; ++c) {
                data.push_back(Expected(i, c));
            }
        }
        sf_writef_float(file, data.data(), frames);
        sf_close(file);
        return path;
    }

    static float Expected(int frame, int channel) {
        return static_cast<float>(frame % 200 - 100) / 128.0f + static_cast<float>(channel) / 1024;
    }

    fs::path dir_;
};

TEST_F(Recording, FilesOfEveryCommonFormatReadBackInBlocksAtFullScale) {
    const struct {
        const char* name;
        int format;
        int channels;
        int rate;
    } cases[] = {
        {"pcm16.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, 16000},
        {"pcm24.wav", SF_FORMAT_WAVEX | SF_FORMAT_PCM_24, 3, 44100},
        {"float.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 2, 96000},
        {"u8.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_U8, 1, 8000},
        {"pcm16.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 2, 48000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        constexpr int kFrames = 5000;
        SoundFileReader reader(Write(c.name, c.format, c.channels, c.rate, kFrames).string());
        EXPECT_EQ(reader.Channels(), c.channels);
        EXPECT_EQ(reader.Rate(), c.rate);
        EXPECT_EQ(reader.Frames(), kFrames);
        EXPECT_FALSE(reader.FormatName().empty());
        const float step = (c.format & SF_FORMAT_SUBMASK) == SF_FORMAT_PCM_U8 ? 1.0f / 128 : 1e-4f;
        int frame = 0;
        std::vector<float> block;
        for (reader.Read(777, block); !block.empty(); reader.Read(777, block)) {
            ASSERT_EQ(block.size() % static_cast<std::size_t>(c.channels), 0u);
            for (std::size_t k = 0; k < block.size(); ++k) {
                const int channel = static_cast<int>(k % static_cast<std::size_t>(c.channels));
                ASSERT_NEAR(block[k], Expected(frame, channel), step) << "frame " << frame;
                frame += channel == c.channels - 1 ? 1 : 0;
            }
        }
        EXPECT_EQ(frame, kFrames);
    }
}

TEST_F(Recording, AFileThatIsNoSoundIsRefusedWithLibsndfilesReason) {
    std::ofstream(dir_ / "notes.wav") << "This is text, not a sound.\n";
    const struct {
        fs::path path;
        const char* reason;
    } cases[] = {
        {dir_ / "notes.wav", "Format not recognised"},
        {dir_ / "missing.wav", "System error : No such file or directory"},
        {dir_, "Format not recognised"},
    };
    for (const auto& c : cases) {
        try {
            SoundFileReader reader(c.path.string());
            ADD_FAILURE() << c.path << " was opened";
        } catch (const SoundFileError& error) {
            EXPECT_EQ(std::string(error.what()),
                      "Cannot read \"" + c.path.string() + "\". " + c.reason);
        }
    }
}

TEST_F(Recording, CaptureHandsOutTheDevicesSamplesAndNamesAMissingDevice) {
    std::vector<std::int16_t> raw(3000);
    for (std::size_t i = 0; i < raw.size(); ++i) {
        raw[i] = static_cast<std::int16_t>(static_cast<int>(i * 37 % 65536) - 32768);
    }
    std::ofstream(dir_ / "in.raw", std::ios::binary)
        .write(reinterpret_cast<const char*>(raw.data()),
              static_cast<std::streamsize>(raw.size() * 2));
    std::ofstream(dir_ / "asound.conf")
        << "pcm.!default { type file slave { pcm { type null } } file \"/dev/null\" infile \""
        << (dir_ / "in.raw").string() << "\" format \"raw\" }\n";
    ::setenv("ALSA_CONFIG_PATH", (dir_ / "asound.conf").c_str(), 1);

    AlsaCapture capture("default", 48000);
    std::vector<float> got;
    std::vector<float> block;
    while (got.size() < raw.size()) {
        capture.Read(512, block);
        ASSERT_FALSE(block.empty());
        got.insert(got.end(), block.begin(), block.end());
    }
    for (std::size_t i = 0; i < raw.size(); ++i) {
        ASSERT_EQ(got[i], static_cast<float>(raw[i]) / 32768.0f) << i;
    }

    try {
        AlsaCapture missing("radio", 48000);
        ADD_FAILURE() << "a device that does not exist was opened";
    } catch (const CaptureError& error) {
        EXPECT_STREQ(error.what(),
                     "Cannot capture from ALSA device \"radio\". No such file or directory");
    }
}

}  // namespace
}  // namespace zk
