// The receiver's run over recordings: packets and the channel they came on, the state at the
// end, the waterfall's rows, the kept minute, and the faults that reach the window. Recordings
// come from the channel model and are written with the monitor's own WAV writer, so that the
// writer is checked by reading its files back.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <numbers>
#include <random>

#include "../core/workfolder.h"
#include "channel.h"
#include "errors.h"
#include "receivesession.h"
#include "soundfilereader.h"
#include "soundfilewriter.h"
#include "waterfallrows.h"

namespace zk::monitor {
namespace {

using namespace std::chrono_literals;

constexpr auto kDecodeLimit = 120s;  // a limit against a hang, never a measure of speed

channel::Bytes Message(std::uint64_t seed) {
    std::mt19937_64 random(seed);
    return channel::RandomArray(random);
}

std::vector<std::int16_t> Pcm(const std::vector<float>& samples) {
    std::vector<std::int16_t> out;
    for (const float s : samples) {
        out.push_back(ToPcm16(s));
    }
    return out;
}

// Runs a session over `path` to its end and returns everything it reported.
struct Decoded {
    std::vector<HeardPacket> packets;
    std::vector<SpectrumRow> rows;
    SessionUpdate last;
    std::vector<std::int16_t> kept;
};

Decoded Decode(const std::string& path) {
    ReceiveSession session(std::make_unique<FileInput>(path));
    EXPECT_TRUE(session.WaitForEnd(kDecodeLimit));
    Decoded run;
    run.last = session.Take();
    run.packets = run.last.packets;
    run.rows = run.last.rows;
    run.kept = session.LastMinute();
    return run;
}

TEST(ReceiveSession, ARecordingGivesItsPacketTheStateAndTheKeptSound) {
    testing::WorkFolder folder;
    const channel::Bytes sent = Message(7);
    channel::Channel path;
    path.rate = 48000;
    const std::vector<std::int16_t> sound = Pcm(channel::Pass(channel::Transmit(sent), path, 1));
    WriteWaveRecording("air.wav", sound, 48000);

    const Decoded run = Decode("air.wav");
    ASSERT_EQ(run.packets.size(), 1u);
    EXPECT_EQ(run.packets[0].packet.bytes, sent);
    EXPECT_TRUE(run.packets[0].packet.HeaderAndCheckWordRight());
    EXPECT_EQ(run.packets[0].channel, 0);
    EXPECT_GT(run.packets[0].packet.marginDb, 6.0);
    EXPECT_TRUE(run.last.ended);
    EXPECT_TRUE(run.last.fault.english.empty());
    EXPECT_TRUE(run.last.findings.empty());
    EXPECT_EQ(run.last.state.phase, ReceivePhase::Ended);
    EXPECT_EQ(run.last.state.endedIn, ReceivePhase::Packet);
    EXPECT_NEAR(run.last.streamSeconds, sound.size() / 48000.0, 1e-9);
    // The whole recording is shorter than the minute kept: all of it, sample for sample.
    EXPECT_EQ(run.kept, sound);
    // A row every 10 ms, none dropped for a recording this short.
    EXPECT_NEAR(static_cast<double>(run.rows.size()), sound.size() / 480.0, 1.0);
}

// A stereo float WAV file: `left` and `right`, the shorter padded with silence.
void WriteStereo(const std::string& name, const std::vector<float>& left,
                 const std::vector<float>& right, int rate) {
    const std::size_t frames = std::max(left.size(), right.size());
    std::vector<float> stereo;
    for (std::size_t i = 0; i < frames; ++i) {
        stereo.push_back(i < left.size() ? left[i] : 0.0f);
        stereo.push_back(i < right.size() ? right[i] : 0.0f);
    }
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    SNDFILE* file = sf_open(name.c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr);
    sf_writef_float(file, stereo.data(), static_cast<sf_count_t>(frames));
    sf_close(file);
}

TEST(ReceiveSession, APacketOnTheSecondChannelIsHeardThere) {
    testing::WorkFolder folder;
    const channel::Bytes sent = Message(11);
    channel::Channel path;
    const std::vector<float> signal = channel::Pass(channel::Transmit(sent), path, 2);
    WriteStereo("stereo.wav", {}, signal, path.rate);  // the left channel is silent

    const Decoded run = Decode("stereo.wav");
    ASSERT_EQ(run.packets.size(), 1u);
    EXPECT_EQ(run.packets[0].channel, 1);
    EXPECT_EQ(run.packets[0].packet.bytes, sent);
}

// With nothing whole on any channel, the reasons are those of the channel that carries the
// signal (a packet with a broken check word on the right), not those of the silent left one.
TEST(ReceiveSession, TheReasonsAreThoseOfTheChannelThatCarriesTheSignal) {
    testing::WorkFolder folder;
    channel::Bytes broken = Message(13);
    broken[40] ^= 0x10;  // the check word no longer matches
    channel::Channel path;
    WriteStereo("stereo.wav", {}, channel::Pass(channel::Transmit(broken), path, 3), path.rate);

    const Decoded run = Decode("stereo.wav");
    ASSERT_EQ(run.packets.size(), 1u);
    EXPECT_EQ(run.packets[0].channel, 1);
    ASSERT_FALSE(run.last.findings.empty());
    EXPECT_EQ(run.last.findings[0].problem, receive::Problem::BadPackets);
    EXPECT_EQ(run.last.findings[0].count, 1);
}

TEST(ReceiveSession, SilenceEndsWithTheReasonAndNoPacket) {
    testing::WorkFolder folder;
    WriteWaveRecording("quiet.wav", std::vector<std::int16_t>(16000 * 3, 0), 16000);
    const Decoded run = Decode("quiet.wav");
    EXPECT_TRUE(run.packets.empty());
    EXPECT_TRUE(run.last.ended);
    EXPECT_FALSE(run.last.findings.empty());
    EXPECT_EQ(run.last.state.phase, ReceivePhase::Ended);
    EXPECT_EQ(run.last.state.endedIn, ReceivePhase::Waiting);
}

// A recording that stops 400 bits into the data: the state line says at which bit it ended.
TEST(ReceiveSession, ARecordingCutInsideThePacketEndsAtItsBit) {
    testing::WorkFolder folder;
    channel::Channel path;
    std::vector<std::int16_t> sound = Pcm(channel::Pass(channel::Transmit(Message(5)), path, 5));
    const double cutSeconds = path.silenceBefore + 1.0 + 400 * 0.004;
    sound.resize(static_cast<std::size_t>(cutSeconds * path.rate));
    WriteWaveRecording("cut.wav", sound, path.rate);
    const Decoded run = Decode("cut.wav");
    EXPECT_TRUE(run.packets.empty());
    EXPECT_EQ(run.last.state.phase, ReceivePhase::Ended);
    EXPECT_EQ(run.last.state.endedIn, ReceivePhase::Receiving);
    EXPECT_NEAR(run.last.state.bit, 400, 12);
}

TEST(ReceiveSession, InputsItCannotTakeAreRefusedWithTheirReason) {
    testing::WorkFolder folder;
    WriteWaveRecording("slow.wav", std::vector<std::int16_t>(100, 0), 4000);
    try {
        ReceiveSession session(std::make_unique<FileInput>("slow.wav"));
        FAIL() << "a 4000 Hz recording was taken";
    } catch (const Fault& fault) {
        EXPECT_NE(std::string(fault.what()).find("4000 Hz"), std::string::npos) << fault.what();
    }
    EXPECT_THROW(FileInput("missing.wav"), SoundFileError);
}

// The sound of a programming message carries the access codes: kept owner-only, never written
// through a link, never left torn or half-made.
TEST(WaveRecording, ReadsBackExactlyKeptPrivateAndLeavesNothingWhenItCannotWrite) {
    testing::WorkFolder folder;
    const std::vector<std::int16_t> samples{0, 1, -1, 32767, -32768, 1234, -4321};
    WriteWaveRecording("kept.wav", samples, 48000);
    SoundFileReader reader("kept.wav");
    EXPECT_EQ(reader.Rate(), 48000);
    EXPECT_EQ(reader.Channels(), 1);
    std::vector<float> back;
    reader.Read(100, back);
    EXPECT_EQ(Pcm(back), samples);
    EXPECT_EQ(std::filesystem::status("kept.wav").permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);

    // A second save over the first replaces it whole.
    WriteWaveRecording("kept.wav", std::vector<std::int16_t>{5, 6}, 16000);
    EXPECT_EQ(SoundFileReader("kept.wav").Frames(), 2);

    EXPECT_THROW(WriteWaveRecording("no/such/folder/x.wav", samples, 48000), Fault);
    std::filesystem::create_directory("taken.wav");  // a folder in the file's place
    EXPECT_THROW(WriteWaveRecording("taken.wav", samples, 48000), Fault);
    std::filesystem::create_symlink("elsewhere.wav", "link.wav");
    EXPECT_THROW(WriteWaveRecording("link.wav", samples, 48000), Fault);
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(".")) {
        left.push_back(entry.path().filename().string());
    }
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"kept.wav", "link.wav", "taken.wav"}));
}

// A tone at a known level and frequency reads back at that level in the bin that holds it, at
// every rate the monitor meets.
TEST(Spectrum, AToneShowsInItsBinAtItsLevel) {
    for (const double rate : {8000.0, 16000.0, 44100.0, 48000.0, 96000.0}) {
        for (const double hz : {1000.0, 2500.0}) {
            SpectrumAnalyzer analyzer(rate);
            std::vector<float> tone(static_cast<std::size_t>(rate / 2));
            for (std::size_t i = 0; i < tone.size(); ++i) {
                tone[i] = static_cast<float>(
                    0.1 * std::sin(2 * std::numbers::pi * hz * static_cast<double>(i) / rate));
            }
            std::vector<SpectrumRow> rows;
            analyzer.Feed(tone, rows);
            ASSERT_NEAR(static_cast<double>(rows.size()), 50.0, 1.0) << rate;
            const SpectrumRow& row = rows.back();
            const auto peak = std::max_element(row.begin(), row.end()) - row.begin();
            EXPECT_NEAR(SpectrumAnalyzer::BinHz(static_cast<int>(peak)), hz,
                        kSpectrumTopHz / kSpectrumBins)
                << rate;
            EXPECT_NEAR(row[static_cast<std::size_t>(peak)], -20.0, 1.6) << rate << " " << hz;
            EXPECT_LT(row[0], -60.0) << rate;  // nothing at DC
        }
    }
    EXPECT_THROW(SpectrumAnalyzer(6000), std::invalid_argument);
}

}  // namespace
}  // namespace zk::monitor
