// Radio paths met in the field beyond white noise: near the limit, a path that shifts the audio,
// a phone codec, a stronger transmission over a weaker one, echoes and fading; and the margin
// that the operator reads must say in advance when a packet is about to fail.
#include <gtest/gtest.h>

#include <cmath>

#include "recording.h"
#include "workrate.h"

namespace zk::receive::testing {
namespace {

// Near the physical limit, on the worst channel the tests know: the decoder needs 9.5 dB for 99
// of 100 packets on white noise; 10 dB leaves it no room for a careless step (a worse tone end,
// a weaker start search) without losing one of these sixty.
TEST(Channels, SixtyPacketsNearTheLimitAllExact) {
    constexpr double kNearTheLimitEbN0 = 10.0;
    int exact = 0;
    for (std::uint64_t seed = 1; seed <= 60; ++seed) {
        const Bytes bytes = RandomArray(seed);
        const Channel c = Everything(kNearTheLimitEbN0);
        const Heard heard = Decode(Record(bytes, c, seed), c.rate);
        const bool ok = heard.packets.size() == 1 && heard.packets[0].bytes == bytes;
        EXPECT_TRUE(ok) << "seed " << seed;
        exact += ok ? 1 : 0;
    }
    EXPECT_EQ(exact, 60);
}

// A single-sideband path moves the carrier; the sender's clock moves carrier and bit clock
// together. The decoder must follow each on its own, say which was which, and not claim to know
// the polarity once the path has shifted the carrier's phase.
TEST(Channels, CarrierShiftAndClockFollowedApart) {
    struct Case {
        double shiftHz;
        double clock;
    };
    for (const Case& k :
         {Case{20, -0.005}, Case{-20, 0.005}, Case{3, 0}, Case{-10, -0.005}, Case{25, 0.005}}) {
        Channel c;
        c.rate = 44100;
        c.shiftHz = k.shiftHz;
        c.clockOffset = k.clock;
        const Bytes bytes = RandomArray(200 + static_cast<std::uint64_t>(k.shiftHz + 100));
        const Heard heard = Decode(Record(bytes, c, 5), c.rate);
        ASSERT_EQ(heard.packets.size(), 1u) << k.shiftHz << " Hz\n" << Said(heard.diagnosis);
        const Packet& p = heard.packets[0];
        EXPECT_EQ(p.bytes, bytes) << k.shiftHz << " Hz";
        EXPECT_NEAR(p.clockOffsetPpm, k.clock * 1e6, 100) << k.shiftHz << " Hz";
        EXPECT_NEAR(p.carrierShiftHz, k.shiftHz, 0.3) << k.shiftHz << " Hz";
        EXPECT_NEAR(p.carrierHz, kCarrierHz * (1 + k.clock) + k.shiftHz, 0.3);
        EXPECT_FALSE(p.polarityKnown) << k.shiftHz << " Hz";
        EXPECT_GT(p.marginDb, 10) << k.shiftHz << " Hz: a noise-free path";
    }
}

// Beyond what any radio path does: named as a carrier off by so much, not as noise.
TEST(Channels, CarrierTooFarOffNamedWithItsOffset) {
    Channel c;
    c.shiftHz = -45;
    const Heard heard = Decode(Record(RandomArray(7), c, 7), c.rate);
    EXPECT_TRUE(heard.packets.empty());
    ASSERT_EQ(heard.diagnosis.findings.size(), 1u) << Said(heard.diagnosis);
    EXPECT_EQ(heard.diagnosis.findings[0].problem, Problem::OffCarrier);
    EXPECT_NEAR(heard.diagnosis.findings[0].carrierOffsetHz, -45.0, 0.5);
}

// The polarity is known on a plain path at a good level, at any rate, whichever way round the
// wire is. A path that turns the carrier's phase by its own filters or echoes may turn it to near
// 180 degrees as an inverted wire does (an echo half a cycle late notches the carrier; a voice
// band with pre-emphasis left in turns it by 140 to 157 degrees, a faint echo on top by the
// rest): there the polarity may be unknown, but where it is stated it must be right, upright or
// inverted, and at a level too low to tell the paths apart it is not stated.
TEST(Channels, PolarityKnownOnAPlainPathNeverWrongOnOthers) {
    for (const bool inverted : {false, true}) {
        for (const int rate : {8000, 16000, 44100, 96000}) {
            Channel c;
            c.rate = rate;
            c.inverted = inverted;
            c.ebN0Db = 20;
            const Heard heard = Decode(Record(RandomArray(9), c, 9), c.rate);
            ASSERT_EQ(heard.packets.size(), 1u);
            EXPECT_TRUE(heard.packets[0].polarityKnown) << rate;
            EXPECT_EQ(heard.packets[0].polarityInverted, inverted) << rate;
        }
    }
    struct Path {
        const char* name;
        double echoSeconds;
        double echoRelative;
        bool voiceBand;
        double tiltDbPerOctave;
        double ebN0Db;
        double shiftHz = 0;  // a path that shifts frequencies leaves the phase unknown
    };
    const Path paths[] = {
        {"echo 1 ms at -1 dB", 0.001, 0.89, false, 0, 30},
        {"echo 2.5 ms at -1 dB", 0.0025, 0.89, false, 0, 30},
        {"echo 0.5 ms at -4 dB", 0.0005, 0.6, false, 0, 30},
        {"echo 2 ms at -1 dB", 0.002, 0.89, false, 0, 25},
        {"voice band, pre-emphasis", 0, 0, true, 6, 25},
        {"voice band, pre-emphasis, faint echo", 0.001, 0.1, true, 6, 25},
        {"voice band, pre-emphasis, short echo, weak", 0.00025, 0.3, true, 6, 10},
        {"voice band, de-emphasis", 0, 0, true, -6, 25},
        {"carrier shifted by 1 Hz", 0, 0, false, 0, 30, 1.0},
        {"carrier shifted by 1.4 Hz", 0, 0, false, 0, 30, 1.4},
    };
    for (const Path& path : paths) {
        int wrong = 0;
        int heard = 0;
        for (const bool inverted : {false, true}) {
            for (std::uint64_t seed = 1; seed <= 6; ++seed) {
                Channel c;
                c.echoSeconds = path.echoSeconds;
                c.echoRelative = path.echoRelative;
                c.voiceBand = path.voiceBand;
                c.tiltDbPerOctave = path.tiltDbPerOctave;
                c.ebN0Db = path.ebN0Db;
                c.shiftHz = path.shiftHz;
                c.inverted = inverted;
                for (const Packet& p : Decode(Record(RandomArray(seed), c, seed), c.rate).packets) {
                    heard += p.HeaderAndCheckWordRight() ? 1 : 0;
                    wrong += p.polarityKnown && p.polarityInverted != inverted ? 1 : 0;
                }
            }
        }
        EXPECT_GE(heard, 8) << path.name;
        EXPECT_EQ(wrong, 0) << path.name;
    }
}

// A phone line or a gateway: the GSM full-rate codec and AMR at its highest rate disturb the
// tone's first milliseconds and the phase of every bit a little. Every packet must come through
// with nothing cut away.
TEST(Channels, PhoneCodecsRoundTrip) {
    for (std::uint64_t seed = 1; seed <= 6; ++seed) {
        Channel c;
        c.gsm = seed % 2 == 1;
        c.amrMode = seed % 2 == 0 ? 7 : -1;  // 12.2 kbit/s
        c.levelDb = -6;
        c.silenceBefore = 0;  // the file starts with the tone, as _qq.wav does
        const Bytes bytes = RandomArray(300 + seed);
        const Heard heard = Decode(Record(bytes, c, seed), c.rate);
        ASSERT_EQ(heard.packets.size(), 1u) << "seed " << seed << "\n" << Said(heard.diagnosis);
        EXPECT_EQ(heard.packets[0].bytes, bytes) << "seed " << seed;
    }
}

// FM receivers take the stronger signal: a second programmer 10 dB stronger that starts 1.5 s
// into a weaker one's packet spoils that packet, and must itself be decoded.
TEST(Channels, StrongerTransmissionOverAWeakerOneDecoded) {
    const Bytes weak = RandomArray(401);
    const Bytes strong = RandomArray(402);
    Channel c;
    c.ebN0Db = 25;
    const std::vector<float> sent = channel::TwoSenders(weak, strong, 1.5, 0.3162);  // 10 dB
    const Heard heard = Decode(channel::Pass(sent, c, 402), c.rate);
    int strongHeard = 0;
    for (const Packet& p : heard.packets) {
        strongHeard += p.HeaderAndCheckWordRight() && p.bytes == strong ? 1 : 0;
    }
    EXPECT_EQ(strongHeard, 1) << Said(heard.diagnosis);
}

// Two programmers at the same strength, the second keyed 1.5 s into the first's packet: neither
// comes through, and the operator is told why in those words, not as noise or a codec.
TEST(Channels, EqualTransmissionsOverlappingNamedAsSuch) {
    const std::vector<float> sent =
        channel::TwoSenders(RandomArray(701), RandomArray(702), 1.5, 1.0);
    Channel c;
    c.ebN0Db = 25;
    c.levelDb = -30;
    const Heard heard = Decode(channel::Pass(sent, c, 703), c.rate);
    for (const Packet& p : heard.packets) {
        EXPECT_FALSE(p.HeaderAndCheckWordRight());
    }
    EXPECT_TRUE(heard.diagnosis.Has(Problem::Overlap)) << Said(heard.diagnosis);
    EXPECT_FALSE(heard.diagnosis.Has(Problem::Distorted)) << Said(heard.diagnosis);
}

// The margin predicts failure: on paths that spoil the data without noise (a strong echo one bit
// late, the GSM codec with noise, AMR at a low rate), no packet that failed may show a margin of 3
// dB or more; on a clean path that fades slowly, packets that came through show the margin they
// had.
TEST(Channels, MarginPredictsFailure) {
    struct Path {
        const char* name;
        Channel channel;
    };
    Channel echo;
    echo.echoSeconds = 0.004;
    echo.echoRelative = 0.9;
    Channel gsmNoisy;
    gsmNoisy.gsm = true;
    gsmNoisy.levelDb = -6;
    gsmNoisy.ebN0Db = 14;
    Channel amrLow;
    amrLow.amrMode = 4;  // 7.4 kbit/s: too coarse for the data, every packet fails
    amrLow.levelDb = -6;
    for (const Path& path : {Path{"echo", echo}, Path{"gsm", gsmNoisy}, Path{"amr", amrLow}}) {
        for (std::uint64_t seed = 1; seed <= 6; ++seed) {
            const Heard heard =
                Decode(Record(RandomArray(500 + seed), path.channel, seed), path.channel.rate);
            for (const Packet& p : heard.packets) {
                if (!p.HeaderAndCheckWordRight()) {
                    EXPECT_LT(p.marginDb, 3.0) << path.name << " seed " << seed;
                }
            }
            EXPECT_FALSE(heard.diagnosis.Has(Problem::Overlap)) << path.name << " seed " << seed;
            if (path.channel.amrMode >= 0) {
                // A clean lead-in and spoiled data: named as distortion, not as noise.
                EXPECT_TRUE(heard.diagnosis.Has(Problem::Distorted)) << Said(heard.diagnosis);
                EXPECT_FALSE(heard.diagnosis.Has(Problem::TooNoisy)) << Said(heard.diagnosis);
            }
        }
    }
    Channel fading;
    fading.fadingHz = 0.5;
    fading.fadingFloor = 0.25;
    fading.ebN0Db = 24;
    const Heard heard = Decode(Record(RandomArray(600), fading, 600), fading.rate);
    ASSERT_EQ(heard.packets.size(), 1u);
    EXPECT_TRUE(heard.packets[0].HeaderAndCheckWordRight());
    // Its trough is 12 dB below 24 dB: about 2 dB of margin, not a negative one.
    EXPECT_GT(heard.packets[0].marginDb, 0.0);
    EXPECT_LT(heard.packets[0].marginDb, 6.0);
}

}  // namespace
}  // namespace zk::receive::testing
