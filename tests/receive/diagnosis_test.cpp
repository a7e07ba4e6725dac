// When no valid packet comes out: nothing false is reported, and the operator is told why in
// words that point at the fix.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <string>
#include <vector>

#include "recording.h"

namespace zk::receive::testing {
namespace {

TEST(Diagnosis, NoiseHumAndDcGiveNothing) {
    Channel c;
    c.ebN0Db = 10;
    c.humRelative = 3;
    c.dc = 0.1;
    c.silenceBefore = 20;
    c.silenceAfter = 0;
    const Heard heard = Decode(channel::Pass({}, c, 81), c.rate);
    EXPECT_TRUE(heard.packets.empty());
    EXPECT_TRUE(heard.diagnosis.Has(Problem::NoTone)) << heard.diagnosis.Text();
}

// Voices with harmonics sweeping through 1000 Hz and whistles near it set the tone detector
// off; header and check word together must keep every one of them from becoming a packet.
TEST(Diagnosis, SpeechGivesNoValidPacket) {
    for (std::uint64_t seed : {91u, 92u}) {
        const std::vector<float> speech = channel::SpeechLike(16000, 30, seed);
        const Heard heard = Decode(speech, 16000);
        for (const Packet& p : heard.packets) {
            EXPECT_FALSE(p.Valid());
        }
        EXPECT_FALSE(heard.diagnosis.findings.empty());
    }
}

TEST(Diagnosis, ToneWithoutData) {
    Channel c;
    c.ebN0Db = 15;
    std::vector<float> tone(16000 * 3 / 2);
    for (std::size_t i = 0; i < tone.size(); ++i) {
        tone[i] = 0.9f * static_cast<float>(std::sin(2 * std::numbers::pi * 1000 * i / 16000.0));
    }
    c.silenceAfter = 3;
    const Heard heard = Decode(channel::Pass(tone, c, 101), c.rate);
    EXPECT_TRUE(heard.packets.empty());
    EXPECT_TRUE(heard.diagnosis.Has(Problem::ToneNoData)) << heard.diagnosis.Text();
}

TEST(Diagnosis, RecordingEndsInsideThePacket) {
    Channel c;
    c.ebN0Db = 15;
    c.silenceAfter = 0;
    std::vector<float> sent = channel::Transmit(RandomArray(111));
    sent.resize(16000 + 16000);  // one second of the 2.048 s of data
    const Heard heard = Decode(channel::Pass(sent, c, 111), c.rate);
    EXPECT_TRUE(heard.packets.empty());
    ASSERT_TRUE(heard.diagnosis.Has(Problem::DataCutOff)) << heard.diagnosis.Text();
}

// Far below what the decoder needs: the reason names the estimated Eb/N0, close to the truth,
// and the Eb/N0 needed.
TEST(Diagnosis, TooNoisyWithTheEstimate) {
    Channel c;
    c.ebN0Db = 3;
    const Heard heard = Decode(Record(RandomArray(121), c, 121), c.rate);
    for (const Packet& p : heard.packets) {
        EXPECT_FALSE(p.Valid());
    }
    ASSERT_TRUE(heard.diagnosis.Has(Problem::TooNoisy)) << heard.diagnosis.Text();
    const std::string text = heard.diagnosis.Text();
    EXPECT_NE(text.find("need 9.5 dB"), std::string::npos) << text;
    const std::size_t at = text.find("Eb/N0 ");
    ASSERT_NE(at, std::string::npos);
    EXPECT_NEAR(std::stod(text.substr(at + 6)), 3.0, 2.0) << text;
}

// A packet whose check word is wrong is still reported, with crcOk false: the operator sees
// what arrived and that it must not be trusted.
TEST(Diagnosis, WrongCheckWordReportedNotValid) {
    Bytes bytes = RandomArray(131);
    bytes[30] ^= 0x10;
    Channel c;
    c.ebN0Db = 15;
    const Heard heard = Decode(Record(bytes, c, 131), c.rate);
    ASSERT_EQ(heard.packets.size(), 1u);
    const Packet& p = heard.packets[0];
    EXPECT_EQ(p.bytes, bytes);
    EXPECT_TRUE(p.headerOk);
    EXPECT_FALSE(p.crcOk);
    EXPECT_FALSE(p.Valid());
    EXPECT_EQ(p.crcReceived, (bytes[61] << 8) | bytes[62]);
    EXPECT_NE(p.crcComputed, p.crcReceived);
    EXPECT_TRUE(heard.diagnosis.Has(Problem::BadPackets)) << heard.diagnosis.Text();
}

// Two broken packets one after the other (a sender whose check word is wrong, played twice):
// reported as broken, not as two senders at once, however close the second follows.
TEST(Diagnosis, BrokenPacketsInARowAreNoOverlap) {
    Bytes bytes = RandomArray(151);
    bytes[40] ^= 0x01;
    std::vector<float> sent = channel::Transmit(bytes);
    const std::vector<float> again = channel::Transmit(bytes);
    sent.insert(sent.end(), again.begin(), again.end());
    Channel c;
    c.ebN0Db = 20;
    const Heard heard = Decode(channel::Pass(sent, c, 151), c.rate);
    ASSERT_EQ(heard.packets.size(), 2u);
    EXPECT_TRUE(heard.diagnosis.Has(Problem::BadPackets)) << heard.diagnosis.Text();
    EXPECT_FALSE(heard.diagnosis.Has(Problem::Overlap)) << heard.diagnosis.Text();
    EXPECT_FALSE(heard.diagnosis.Has(Problem::Distorted)) << heard.diagnosis.Text();
}

TEST(Diagnosis, TooQuiet) {
    Channel c;
    c.levelDb = -70;
    c.ebN0Db = 10;
    c.silenceBefore = 2;
    c.silenceAfter = 0;
    const Heard heard = Decode(channel::Pass({}, c, 141), c.rate);
    EXPECT_TRUE(heard.diagnosis.Has(Problem::TooQuiet)) << heard.diagnosis.Text();
}

// Zeros are a silence; NaN from a broken recorder is no silence and is not called one.
TEST(Diagnosis, SamplesThatAreNoNumbersAreNotCalledSilence) {
    const std::vector<float> zeros(16000, 0.0f);
    const std::vector<float> broken(16000, std::numeric_limits<float>::quiet_NaN());
    const std::string silent = Decode(zeros, 16000).diagnosis.Text();
    const std::string nan = Decode(broken, 16000).diagnosis.Text();
    EXPECT_NE(silent.find("every sample zero"), std::string::npos) << silent;
    EXPECT_EQ(nan.find("every sample zero"), std::string::npos) << nan;
    EXPECT_NE(nan.find("16000 samples are no numbers (NaN or infinite)"), std::string::npos) << nan;
}

}  // namespace
}  // namespace zk::receive::testing
