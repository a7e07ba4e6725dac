// Recordings as the receiving side reads them: sound files through libsndfile, live capture
// through ALSA (the file plugin's infile stands in for a microphone).
#include <sndfile.h>
#include <stdlib.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "audiocapture.h"
#include "pulseserver.h"
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

// A file that is not there is the system's to explain; one that is there but holds no sound,
// libsndfile's. Each reason comes apart from the path, for callers with words of their own.
TEST_F(Recording, AFileThatIsNoSoundIsRefusedWithLibsndfilesReason) {
    std::ofstream(dir_ / "notes.wav") << "This is text, not a sound.\n";
    // A WAV file's header (PCM or float, mono) and samples, written byte for byte.
    const auto wave = [this](const char* name, std::uint16_t format, std::uint32_t rate,
                             const std::vector<float>& samples) {
        const std::uint16_t bits = format == 3 ? 32 : 16;
        std::string data;
        for (const float sample : samples) {
            if (format == 3) {
                data.append(reinterpret_cast<const char*>(&sample), 4);
            } else {
                const auto value = static_cast<std::int16_t>(sample * 32767);
                data.append(reinterpret_cast<const char*>(&value), 2);
            }
        }
        std::string bytes = "RIFF";
        const auto put = [&bytes](std::uint32_t value, int size) {
            for (int i = 0; i < size; ++i) {
                bytes += static_cast<char>((value >> (8 * i)) & 0xFFu);
            }
        };
        put(static_cast<std::uint32_t>(36 + data.size()), 4);
        bytes += "WAVEfmt ";
        put(16, 4);
        put(format, 2);
        put(1, 2);
        put(rate, 4);
        put(rate * bits / 8, 4);
        put(bits / 8, 2);
        put(bits, 2);
        bytes += "data";
        put(static_cast<std::uint32_t>(data.size()), 4);
        std::ofstream(dir_ / name, std::ios::binary) << bytes << data;
    };
    wave("rate0.wav", 1, 0, std::vector<float>(100, 0.0f));
    using Stage = SoundFileError::Stage;
    const struct {
        fs::path path;
        Stage stage;
        const char* what;
        const char* reason;
    } cases[] = {
        {dir_ / "notes.wav", Stage::Read, "Cannot read", "Format not recognised"},
        {dir_ / "missing.wav", Stage::Open, "Cannot open", "No such file or directory"},
        // A folder is no file at all, not a format libsndfile does not know.
        {dir_, Stage::Open, "Cannot open", "Is a directory"},
        // libsndfile's "SF_INFO struct incomplete" for a header without a rate.
        {dir_ / "rate0.wav", Stage::Read, "Cannot read",
         "its header gives no sample rate or channel count"},
    };
    for (const auto& c : cases) {
        try {
            SoundFileReader reader(c.path.string());
            std::vector<float> block;
            do {
                reader.Read(4096, block);
            } while (!block.empty());
            ADD_FAILURE() << c.path << " was read";
        } catch (const SoundFileError& error) {
            EXPECT_EQ(std::string(error.what()),
                      std::string(c.what) + " \"" + c.path.string() + "\". " + c.reason);
            EXPECT_EQ(error.FailedStage(), c.stage) << c.path;
            EXPECT_EQ(error.Reason(), c.reason);
            EXPECT_EQ(error.Path(), c.path.string());
        }
    }
}

TEST_F(Recording, CaptureHandsOutTheDevicesSamples) {
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
}

// Reads the whole of `path` and returns how many frames it held.
long long FramesRead(const fs::path& path, std::vector<float>& all) {
    SoundFileReader reader(path.string());
    std::vector<float> block;
    for (reader.Read(1000, block); !block.empty(); reader.Read(1000, block)) {
        all.insert(all.end(), block.begin(), block.end());
    }
    return static_cast<long long>(all.size()) / reader.Channels();
}

// A recording cut short where it was copied or stored holds less than its header says. A WAV
// file's samples are plain bytes: what is there is good and is read, up to the cut. A FLAC file
// is a stream of compressed frames: libsndfile reports the damage, and the reader must not pass
// it off as the end of a shorter recording.
TEST_F(Recording, ACutWavReadsWhatItHoldsWhileADamagedFlacFailsWithLibsndfilesText) {
    constexpr int kFrames = 48000;
    const fs::path wav = Write("cut.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, 16000, kFrames);
    // 44 bytes of header, then 10000.5 samples: the last one, half there, is not read.
    fs::resize_file(wav, 44 + 20001);
    std::vector<float> samples;
    EXPECT_EQ(FramesRead(wav, samples), 10000);
    for (int i = 0; i < 10000; ++i) {
        ASSERT_NEAR(samples[static_cast<std::size_t>(i)], Expected(i, 0), 1e-4) << i;
    }

    const fs::path flac = Write("cut.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 1, 16000, kFrames);
    const std::string bytes = testing::ReadFile(flac);
    const struct {
        const char* name;
        std::string bytes;
    } damaged[] = {
        {"cut short", bytes.substr(0, bytes.size() / 2)},
        {"its tail overwritten",
         bytes.substr(0, bytes.size() / 2) + std::string(bytes.size() - bytes.size() / 2, '\0')},
    };
    for (const auto& d : damaged) {
        SCOPED_TRACE(d.name);
        std::ofstream(flac, std::ios::binary | std::ios::trunc) << d.bytes;
        samples.clear();
        try {
            const long long frames = FramesRead(flac, samples);
            ADD_FAILURE() << "read as a recording of " << frames << " frames";
        } catch (const SoundFileError& error) {
            EXPECT_EQ(std::string(error.what()),
                      "Cannot read \"" + flac.string() + "\". Error : flac decoder lost sync");
        }
    }
}

TEST_F(Recording, ACaptureDeviceThatCannotStartIsNamedWithAlsasReason) {
    const struct {
        const char* config;
        const char* device;
        const char* text;
        const char* russian;  // the monitor's words, ALSA's own text as it is
    } cases[] = {
        {"", "radio", "No such file or directory", "No such file or directory"},
        // takes only mu-law samples, never the signed 16-bit ones asked for
        {"pcm.!default { type mulaw slave { pcm { type null } format S16_LE } }\n", "default",
         "It refuses 16-bit mono sound at 16000 Hz: Invalid argument",
         "Устройство не даёт 16-битный монозвук с частотой 16000 Гц: Invalid argument"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.config);
        std::ofstream(dir_ / "asound.conf") << c.config;
        ::setenv("ALSA_CONFIG_PATH", (dir_ / "asound.conf").c_str(), 1);
        try {
            AlsaCapture capture(c.device, 16000);
            ADD_FAILURE() << "the device was opened";
        } catch (const CaptureError& error) {
            EXPECT_EQ(std::string(error.what()), std::string("Cannot capture from ALSA device \"") +
                                                     c.device + "\". " + c.text);
            EXPECT_EQ(error.Russian(),
                      std::string("Не удаётся записывать звук с устройства ALSA \"") + c.device +
                          "\". " + c.russian);
        }
    }
}

// Capture from a PulseAudio server of the test's own, through ALSA's pulse plugin: a device that
// runs in real time and can stall or vanish. Each capture runs in a child process watched with a
// deadline, so that a capture that hangs fails the test rather than hanging it.
class LiveCapture : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!testing::PulseServer::Installed()) {
            GTEST_SKIP() << "pulseaudio is not installed";
        }
        server_ = std::make_unique<testing::PulseServer>(folder_.path());
        ASSERT_TRUE(server_->Started()) << server_->Log();
        ::setenv("PULSE_SOURCE", "radio.monitor", 1);
    }
    void TearDown() override {
        ::unsetenv("PULSE_SOURCE");
        server_.reset();
    }

    // Runs `body` in a child process and returns what it returned, or nothing when the child
    // has not ended within 20 s (it is then killed).
    std::optional<std::string> InChild(const std::function<std::string()>& body) {
        const fs::path result = folder_.path() / "child.txt";
        std::fflush(nullptr);
        const pid_t pid = ::fork();
        if (pid == 0) {
            std::string text;
            try {
                text = body();
            } catch (const std::exception& error) {
                text = std::string("exception: ") + error.what();
            }
            std::ofstream(result) << text;
            std::_Exit(0);
        }
        if (testing::WaitFor(pid, std::chrono::seconds(20)) != 0) {
            return std::nullopt;
        }
        return ReadFile(result);
    }

    static std::string ReadFile(const fs::path& path) { return testing::ReadFile(path); }

    testing::WorkFolder folder_;
    std::unique_ptr<testing::PulseServer> server_;
};

// A suspended source delivers nothing, as a stalled card does; Read must come back empty-handed
// so that the caller can see its stop flag and its clock, and come back with sound once there.
TEST_F(LiveCapture, ReadReturnsEmptyHandedWhileTheSourceIsStalled) {
    ASSERT_TRUE(testing::PulseServer::Pactl("suspend-sink radio 1"));
    const std::optional<std::string> result = InChild([] {
        AlsaCapture capture("default", 16000);
        std::vector<float> block;
        for (int i = 0; i < 4; ++i) {
            capture.Read(1600, block);
            if (!block.empty()) {
                return std::string("sound from a suspended source");
            }
        }
        if (!testing::PulseServer::Pactl("suspend-sink radio 0")) {
            return std::string("cannot resume");
        }
        const bool heard = testing::WaitUntil([&] {
            capture.Read(1600, block);
            return !block.empty();
        });
        return std::string(heard ? "stalled, then sound" : "no sound after the resume");
    });
    ASSERT_TRUE(result) << "Read did not return from a stalled device";
    EXPECT_EQ(*result, "stalled, then sound");
}

// The server killed mid-capture: the device is gone for good. Read must say so with ALSA's
// reason, not restart the device for ever.
TEST_F(LiveCapture, ADeviceThatVanishesMidCaptureIsReported) {
    const std::optional<std::string> result = InChild([this] {
        AlsaCapture capture("default", 16000);
        std::vector<float> block;
        if (!testing::WaitUntil([&] {
                capture.Read(1600, block);
                return !block.empty();
            })) {
            return std::string("no sound before the server was killed");
        }
        server_->Kill();
        try {
            for (;;) {
                capture.Read(1600, block);
            }
        } catch (const CaptureError& error) {
            return std::string(error.what());
        }
    });
    ASSERT_TRUE(result) << "the capture went on after its device had gone";
    EXPECT_EQ(*result, "Cannot capture from ALSA device \"default\". Input/output error");
}

}  // namespace
}  // namespace zk
