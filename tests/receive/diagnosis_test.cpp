// When no valid packet comes out: nothing false is reported, and the operator is told why in
// words that point at the fix.
#include <gtest/gtest.h>

#include <algorithm>
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
// Recordings that hold the programmer's signal but no packet that can be read, each for its own
// reason: the diagnosis names what happened, or says less where the decoder cannot tell, and
// never names a cause that is not there (a lead-in too short, no data, a codec, two senders).
TEST(Diagnosis, EachFailureGetsATrueReason) {
    const Bytes bytes = RandomArray(5);
    const auto sent = [&](const Bytes& b) { return channel::Transmit(b); };
    struct Case {
        const char* name;
        std::vector<float> recording;
        std::vector<const char*> anyOf;  // the diagnosis holds one of these
    };
    std::vector<Case> cases;
    Channel clean;
    clean.ebN0Db = 25;
    {
        std::vector<float> s = sent(bytes);  // begins 462 bits into the data
        s.erase(s.begin(), s.end() - 462 * 64);
        cases.push_back({"inside the data", channel::Pass(s, clean, 1), {"no lead-in heard"}});
    }
    {
        Channel c;
        c.ebN0Db = -5;
        cases.push_back({"drowned in noise",
                         Record(bytes, c, 2),
                         {"no lead-in heard", "no 1000 Hz tone heard"}});
    }
    {
        Channel c = clean;
        c.shiftHz = 200;
        cases.push_back(
            {"on 1200 Hz", Record(bytes, c, 3), {"no lead-in heard", "no 1000 Hz tone heard"}});
    }
    {
        std::vector<float> s = sent(bytes);  // 40 ms of silence half a second into the data
        std::fill(s.begin() + 32000, s.begin() + 32640, 0.0f);
        cases.push_back({"a dropout", channel::Pass(s, clean, 4), {"or a dropout"}});
    }
    {
        Bytes wrong = bytes;
        wrong[0] = 0x12;
        wrong[1] = 0x34;
        cases.push_back(
            {"a wrong header", Record(wrong, clean, 5), {"no packet could be read after it"}});
    }
    {
        std::vector<float> s = sent(bytes);  // cut 400 bits into the data
        s.resize(16000 + 400 * 64);
        Channel c = clean;
        c.silenceAfter = 0;
        cases.push_back({"cut off", channel::Pass(s, c, 6), {"ends 400 bits into a packet"}});
    }
    {
        Channel c = clean;
        c.wowDepth = 0.002;
        c.wowHz = 1;
        cases.push_back({"wow", Record(bytes, c, 7), {"its pitch wandered"}});
    }
    for (const Case& k : cases) {
        const Heard heard = Decode(k.recording, clean.rate);
        const std::string text = heard.diagnosis.Text();
        EXPECT_TRUE(
            std::any_of(k.anyOf.begin(), k.anyOf.end(),
                        [&](const char* words) { return text.find(words) != std::string::npos; }))
            << k.name << ":\n"
            << text;
        EXPECT_FALSE(heard.diagnosis.Has(Problem::Overlap)) << k.name;
    }
}

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
