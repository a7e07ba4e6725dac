// The demodulator as a stream: packets one after another, blocks of any size, bad samples, and
// the live level display.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <stdexcept>

#include "_2GL.h"
#include "generate.h"
#include "panelstate.h"
#include "recording.h"
#include "workrate.h"

namespace zk::receive::testing {
namespace {

TEST(Stream, PacketsOneAfterAnotherAllReportedInOrder) {
    const Bytes first = Generated();
    const Bytes second = RandomArray(41);
    // Played twice in a row: the second lead-in starts right at the first packet's last bit.
    std::vector<float> sent = channel::Transmit(first);
    const std::vector<float> next = channel::Transmit(second);
    sent.insert(sent.end(), next.begin(), next.end());
    Channel c;
    c.rate = 22050;
    c.ebN0Db = 14;
    const Heard heard = Decode(channel::Pass(sent, c, 41), c.rate);
    ASSERT_EQ(heard.packets.size(), 2u);
    EXPECT_EQ(heard.packets[0].bytes, first);
    EXPECT_EQ(heard.packets[1].bytes, second);
    EXPECT_NEAR(heard.packets[1].startSeconds - heard.packets[0].startSeconds, 3.048, 0.0005);
    EXPECT_NEAR(heard.packets[0].endSeconds - heard.packets[0].startSeconds, 2.048, 0.0005);
}

// A level tone of several seconds, at its own phase, runs straight into a packet's lead-in:
// the detector follows only the tone's last second, and the carrier fit must not be pulled
// off by the other tone.
TEST(Stream, LongToneBeforeTheLeadIn) {
    std::vector<float> sent(16000 * 5);
    for (std::size_t i = 0; i < sent.size(); ++i) {
        sent[i] = 0.9f * static_cast<float>(std::sin(2 * std::numbers::pi * i / 16 + 2.0));
    }
    const Bytes bytes = RandomArray(45);
    const std::vector<float> packet = channel::Transmit(bytes);
    sent.insert(sent.end(), packet.begin(), packet.end());
    Channel c;
    c.ebN0Db = 12;
    const Heard heard = Decode(channel::Pass(sent, c, 45), c.rate);
    ASSERT_EQ(heard.packets.size(), 1u);
    EXPECT_EQ(heard.packets[0].bytes, bytes);
    // The lead-in reported is what the decoder followed, not the six seconds of tone.
    EXPECT_GT(heard.packets[0].leadInSeconds, 0.9);
    EXPECT_LT(heard.packets[0].leadInSeconds, 1.2);
}

// A recording of hours is fed in whatever blocks the file reader gives; live capture in tiny
// ones. The packets must not depend on it in any digit.
TEST(Stream, SameResultWhateverTheBlockSize) {
    Channel c;
    c.rate = 16000;
    c.ebN0Db = 12;
    c.clockOffset = 0.003;
    const Bytes bytes = RandomArray(51);
    const std::vector<float> recording = Record(bytes, c, 51, 0.4);
    const Heard whole = Decode(recording, c.rate, recording.size());
    const Heard single = Decode(recording, c.rate, 1);
    const Heard odd = Decode(recording, c.rate, 997);
    ASSERT_EQ(whole.packets.size(), 1u);
    EXPECT_EQ(whole.packets[0].bytes, bytes);
    for (const Heard* other : {&single, &odd}) {
        ASSERT_EQ(other->packets.size(), 1u);
        EXPECT_EQ(other->packets[0].bytes, whole.packets[0].bytes);
        EXPECT_DOUBLE_EQ(other->packets[0].startSeconds, whole.packets[0].startSeconds);
        EXPECT_DOUBLE_EQ(other->packets[0].ebN0Db, whole.packets[0].ebN0Db);
        EXPECT_DOUBLE_EQ(other->packets[0].carrierHz, whole.packets[0].carrierHz);
    }
}

// A glitch of NaN, infinity or absurd values from a broken file or driver must not poison the
// filters: the packet after it still decodes.
TEST(Stream, NonFiniteSamplesDoNotSilenceTheRest) {
    Channel c;
    c.ebN0Db = 14;
    const Bytes bytes = RandomArray(61);
    std::vector<float> recording = Record(bytes, c, 61);
    recording[100] = std::numeric_limits<float>::quiet_NaN();
    recording[101] = std::numeric_limits<float>::infinity();
    recording[102] = -std::numeric_limits<float>::infinity();
    recording[103] = 1e30f;  // finite, but its square overflows
    const Heard heard = Decode(recording, c.rate);
    ASSERT_EQ(heard.packets.size(), 1u);
    EXPECT_EQ(heard.packets[0].bytes, bytes);
}

// One NaN alone, in the middle of the data, from a float file written by a broken program: the
// cleaning must not depend on an infinity beside it.
TEST(Stream, OneNanInsideTheDataIsHarmless) {
    Channel c;
    c.ebN0Db = 14;
    const Bytes bytes = RandomArray(62);
    std::vector<float> recording = Record(bytes, c, 62);
    recording[static_cast<std::size_t>(c.rate * 2.5)] = std::numeric_limits<float>::quiet_NaN();
    const Heard heard = Decode(recording, c.rate);
    ASSERT_EQ(heard.packets.size(), 1u);
    EXPECT_EQ(heard.packets[0].bytes, bytes);
}

// A packet's level covers its own lead-in and data, nothing before: a click 3 s before it, and
// one 7.5 s before it that lies in the level history's slot that the packet's time reuses, must
// leave the packet unclipped at its own peak (the recording as a whole did clip).
TEST(Stream, ClicksBeforeAPacketAreNotItsLevel) {
    Channel c;
    c.ebN0Db = 40;  // the noise's own peaks far below the tone's
    c.silenceBefore = 8;
    const Bytes bytes = RandomArray(63);
    std::vector<float> recording = Record(bytes, c, 63);
    recording[static_cast<std::size_t>(c.rate * 0.5)] = 1.0f;
    recording[static_cast<std::size_t>(c.rate * 5.0)] = 1.0f;
    const Heard heard = Decode(recording, c.rate);
    ASSERT_EQ(heard.packets.size(), 1u);
    EXPECT_FALSE(heard.packets[0].clipped);
    EXPECT_NEAR(heard.packets[0].peakDbfs, 20 * std::log10(31000 / 32768.0) + c.levelDb, 1.5);
    EXPECT_TRUE(heard.diagnosis.Has(Problem::Clipping));
}

// A constant level (a DC-coupled input left on, a stuck converter) is no tone at all.
TEST(Stream, ConstantLevelIsNoTone) {
    for (const float level : {0.5f, -0.01f}) {
        const std::vector<float> recording(16000 * 3, level);
        const Heard heard = Decode(recording, 16000);
        EXPECT_TRUE(heard.packets.empty());
        EXPECT_TRUE(heard.diagnosis.Has(Problem::NoTone)) << level << Said(heard.diagnosis);
    }
}

TEST(Stream, LevelForTheLiveDisplay) {
    Channel c;
    c.levelDb = -40;  // the quietest level the decoder is meant for
    c.ebN0Db = 40;
    c.silenceBefore = 0.5;
    const std::vector<float> recording = Record(RandomArray(71), c, 71);
    Demodulator rx(c.rate);
    // Half a second of faint noise: too quiet, no tone.
    rx.Feed(std::span(recording).first(8000));
    LevelStatus status = rx.TakeLevel();
    EXPECT_FALSE(status.toneHeard);
    EXPECT_TRUE(status.tooQuiet);
    // Into the lead-in: the tone is heard, at the level it was sent with.
    rx.Feed(std::span(recording).subspan(8000, 8000));
    status = rx.TakeLevel();
    EXPECT_TRUE(status.toneHeard);
    EXPECT_FALSE(status.tooQuiet);
    EXPECT_FALSE(status.clipping);
    EXPECT_NEAR(status.peakDbfs, 20 * std::log10(31000 / 32768.0) - 40, 1.5);
    // Full scale: clipping, and the next call starts afresh.
    const std::vector<float> loud(100, 1.0f);
    rx.Feed(loud);
    EXPECT_TRUE(rx.TakeLevel().clipping);
    EXPECT_FALSE(rx.TakeLevel().clipping);
}

// Live, block by block, the receiver says which data bit is on the air: counting up from the
// end of the lead-in, never back, close to the bit actually sent, and never a tone during the
// data, though the steady zero bytes at the end of the array sound like one; between packets no
// bit at all.
TEST(Stream, TheDataBitCountsUpThroughThePacket) {
    Channel c;
    c.rate = 16000;
    c.silenceBefore = 0.5;
    c.ebN0Db = 20;
    const std::vector<float> recording = Record(Generated(), c, 73);
    const double dataStart = c.silenceBefore + kLeadInSecondsSent;
    constexpr double kBitSeconds = 0.004;
    constexpr std::size_t kBlock = 160;  // 10 ms
    Demodulator rx(c.rate);
    int previous = 0;
    for (std::size_t at = 0; at + kBlock <= recording.size(); at += kBlock) {
        rx.Feed(std::span(recording).subspan(at, kBlock));
        const LevelStatus status = rx.TakeLevel();
        const double t = static_cast<double>(at + kBlock) / c.rate;
        SCOPED_TRACE(t);
        if (t > dataStart + 0.1 && t < dataStart + 2.0) {
            const double sent = (t - dataStart) / kBitSeconds + 1;
            EXPECT_NEAR(status.dataBit, sent, 12);
            EXPECT_GE(status.dataBit, previous);
            EXPECT_FALSE(status.toneHeard);
        } else if (t < dataStart - 0.1 || t > dataStart + 2.048 + 0.2) {
            EXPECT_EQ(status.dataBit, 0);
        }
        previous = status.dataBit;
    }
}

TEST(Stream, RejectsRatesItCannotTakeAndFeedingAfterFinish) {
    EXPECT_THROW(Demodulator(7999), std::invalid_argument);
    EXPECT_THROW(Demodulator(96001), std::invalid_argument);
    EXPECT_THROW(Demodulator{std::numeric_limits<double>::quiet_NaN()}, std::invalid_argument);
    Demodulator rx(48000);
    rx.Finish();
    const std::vector<float> block(10, 0.0f);
    EXPECT_THROW(rx.Feed(block), std::logic_error);
    EXPECT_TRUE(rx.Finish().packets.empty());
}

}  // namespace
}  // namespace zk::receive::testing
