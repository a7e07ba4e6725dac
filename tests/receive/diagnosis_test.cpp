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
    EXPECT_TRUE(heard.diagnosis.Has(Problem::NoTone)) << Said(heard.diagnosis);
}

// Voices with harmonics sweeping through 1000 Hz and whistles near it set the tone detector
// off; header and check word together must keep every one of them from becoming a packet.
TEST(Diagnosis, SpeechGivesNoValidPacket) {
    for (std::uint64_t seed : {91u, 92u}) {
        const std::vector<float> speech = channel::SpeechLike(16000, 30, seed);
        const Heard heard = Decode(speech, 16000);
        for (const Packet& p : heard.packets) {
            EXPECT_FALSE(p.HeaderAndCheckWordRight());
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
    EXPECT_TRUE(heard.diagnosis.Has(Problem::ToneNoData)) << Said(heard.diagnosis);
}

TEST(Diagnosis, RecordingEndsInsideThePacket) {
    Channel c;
    c.ebN0Db = 15;
    c.silenceAfter = 0;
    std::vector<float> sent = channel::Transmit(RandomArray(111));
    sent.resize(16000 + 16000);  // one second of the 2.048 s of data
    const Heard heard = Decode(channel::Pass(sent, c, 111), c.rate);
    EXPECT_TRUE(heard.packets.empty());
    ASSERT_TRUE(heard.diagnosis.Has(Problem::DataCutOff)) << Said(heard.diagnosis);
}

// Far below what the decoder needs: the reason names the estimated Eb/N0, close to the truth,
// and the Eb/N0 needed.
// Recordings that hold the programmer's signal but no packet that can be read, each for its own
// reason: the diagnosis names what happened, or says less where the decoder cannot tell, and
// never names a cause that is not there (a lead-in too short, no data, noise, two senders).
TEST(Diagnosis, EachFailureGetsATrueReason) {
    const Bytes bytes = RandomArray(5);
    const auto sent = [&](const Bytes& b) { return channel::Transmit(b); };
    struct Case {
        const char* name;
        std::vector<float> recording;
        std::vector<Problem> anyOf;  // the diagnosis holds one of these
        long long count = -1;        // and, when not -1, this count with it
        double atSeconds = -1;       // and, when not -1, this time in the recording (+-5 ms)
    };
    std::vector<Case> cases;
    Channel clean;
    clean.ebN0Db = 25;
    {
        std::vector<float> s = sent(bytes);  // begins 462 bits into the data
        s.erase(s.begin(), s.end() - 462 * 64);
        cases.push_back({"inside the data", channel::Pass(s, clean, 1), {Problem::NoLeadIn}});
    }
    {
        Channel c;
        c.ebN0Db = -5;
        cases.push_back(
            {"drowned in noise", Record(bytes, c, 2), {Problem::NoLeadIn, Problem::NoTone}});
    }
    {
        Channel c = clean;
        c.shiftHz = 200;
        cases.push_back({"on 1200 Hz", Record(bytes, c, 3), {Problem::NoLeadIn, Problem::NoTone}});
    }
    {
        // 40 ms of silence half a second into the data, 2.5 s into the recording: named as a
        // dropout with its length and place, not as distortion
        std::vector<float> s = sent(bytes);
        std::fill(s.begin() + 32000, s.begin() + 32640, 0.0f);
        cases.push_back({"a dropout", channel::Pass(s, clean, 4), {Problem::Dropout}, 40, 2.5});
        // the same 280 bits into generate's own array, before its zero bytes 46..60: the run of
        // equal bits that resumes after it looks like a lead-in begun inside the packet, but a
        // second sender leaves no silence
        s = sent(Generated());
        std::fill(s.begin() + 16000 + 280 * 64, s.begin() + 16000 + 280 * 64 + 640, 0.0f);
        cases.push_back({"a dropout before a run of zero bytes",
                         channel::Pass(s, clean, 4),
                         {Problem::Dropout},
                         40,
                         0.5 + 1 + 280 * 0.004});
    }
    {
        Bytes wrong = bytes;
        wrong[0] = 0x12;
        wrong[1] = 0x34;
        cases.push_back({"a wrong header", Record(wrong, clean, 5), {Problem::ToneNoData}});
    }
    {
        std::vector<float> s = sent(bytes);  // cut 400 bits into the data
        s.resize(16000 + 400 * 64);
        Channel c = clean;
        c.silenceAfter = 0;
        cases.push_back({"cut off", channel::Pass(s, c, 6), {Problem::DataCutOff}, 400});
    }
    {
        Channel c = clean;
        c.wowDepth = 0.002;
        c.wowHz = 1;
        cases.push_back({"wow", Record(bytes, c, 7), {Problem::PitchWandered}});
    }
    for (const Case& k : cases) {
        const Heard heard = Decode(k.recording, clean.rate);
        const auto named = std::find_if(heard.diagnosis.findings.begin(),
                                        heard.diagnosis.findings.end(), [&](const Finding& f) {
                                            return std::find(k.anyOf.begin(), k.anyOf.end(),
                                                             f.problem) != k.anyOf.end();
                                        });
        ASSERT_NE(named, heard.diagnosis.findings.end()) << k.name << ":\n"
                                                         << Said(heard.diagnosis);
        if (k.count != -1) {
            EXPECT_EQ(named->count, k.count) << k.name;
        }
        if (k.atSeconds != -1) {
            EXPECT_NEAR(named->atSeconds, k.atSeconds, 0.005) << k.name;
        }
        EXPECT_FALSE(heard.diagnosis.Has(Problem::Overlap)) << k.name;
    }
}

TEST(Diagnosis, TooNoisyWithTheEstimate) {
    Channel c;
    c.ebN0Db = 3;
    const Heard heard = Decode(Record(RandomArray(121), c, 121), c.rate);
    for (const Packet& p : heard.packets) {
        EXPECT_FALSE(p.HeaderAndCheckWordRight());
    }
    ASSERT_TRUE(heard.diagnosis.Has(Problem::TooNoisy)) << Said(heard.diagnosis);
    for (const Finding& f : heard.diagnosis.findings) {
        if (f.problem == Problem::TooNoisy) {
            EXPECT_NEAR(f.ebN0Db, 3.0, 2.0);
        }
    }
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
    EXPECT_FALSE(p.HeaderAndCheckWordRight());
    EXPECT_EQ(p.crcReceived, (bytes[61] << 8) | bytes[62]);
    EXPECT_NE(p.crcComputed, p.crcReceived);
    EXPECT_TRUE(heard.diagnosis.Has(Problem::BadPackets)) << Said(heard.diagnosis);
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
    EXPECT_TRUE(heard.diagnosis.Has(Problem::BadPackets)) << Said(heard.diagnosis);
    EXPECT_FALSE(heard.diagnosis.Has(Problem::Overlap)) << Said(heard.diagnosis);
    EXPECT_FALSE(heard.diagnosis.Has(Problem::Distorted)) << Said(heard.diagnosis);
}

TEST(Diagnosis, TooQuiet) {
    Channel c;
    c.levelDb = -70;
    c.ebN0Db = 10;
    c.silenceBefore = 2;
    c.silenceAfter = 0;
    const Heard heard = Decode(channel::Pass({}, c, 141), c.rate);
    EXPECT_TRUE(heard.diagnosis.Has(Problem::TooQuiet)) << Said(heard.diagnosis);
}

// Zeros are a silence; NaN from a broken recorder is no silence and is not called one.
TEST(Diagnosis, SamplesThatAreNoNumbersAreNotCalledSilence) {
    const std::vector<float> zeros(16000, 0.0f);
    const std::vector<float> broken(16000, std::numeric_limits<float>::quiet_NaN());
    const Diagnosis silent = Decode(zeros, 16000).diagnosis;
    const Diagnosis nan = Decode(broken, 16000).diagnosis;
    EXPECT_TRUE(silent.Has(Problem::Silent)) << Said(silent);
    EXPECT_FALSE(nan.Has(Problem::Silent)) << Said(nan);
    ASSERT_TRUE(nan.Has(Problem::NotNumbers)) << Said(nan);
    EXPECT_EQ(nan.findings[1].count, 16000) << Said(nan);
}

}  // namespace
}  // namespace zk::receive::testing
