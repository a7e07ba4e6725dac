// Random arrays through the programmer's own synthesis, the channel model and the demodulator:
// every byte must come back, whatever the channel does within what radios and sound cards do.
#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "_8_CRC.h"
#include "arraylayout.h"
#include "packetdecoder.h"
#include "recording.h"
#include "workrate.h"

namespace zk::receive::testing {
namespace {

// Comfortable, but not so strong that a decoder with a few dB of loss would still pass.
constexpr double kComfortableEbN0 = 13.0;

TEST(RoundTrip, EverythingAtOnceWithMostOfTheLeadInLost) {
    for (std::uint64_t seed : {1u, 2u, 3u}) {
        const Bytes bytes = RandomArray(seed);
        const Channel c = Everything(kComfortableEbN0);
        const Heard heard = Decode(Record(bytes, c, seed, 0.1), c.rate);
        ASSERT_EQ(heard.packets.size(), 1u) << "seed " << seed;
        const Packet& p = heard.packets[0];
        EXPECT_EQ(p.bytes, bytes) << "seed " << seed;
        EXPECT_TRUE(p.HeaderAndCheckWordRight());
        EXPECT_NEAR(p.leadInSeconds, 0.1, 0.03);
        EXPECT_TRUE(heard.diagnosis.findings.empty()) << Said(heard.diagnosis);
    }
}

// The shortest lead-in the decoder still takes a phase reference from: 50 ms of tone, as a
// squelch that opens late or a VOX leaves of it.
TEST(RoundTrip, FiftyMillisecondsOfLeadInAreEnough) {
    Channel c;
    c.ebN0Db = 16;
    const Bytes bytes = RandomArray(17);
    const Heard heard = Decode(Record(bytes, c, 17, 0.05), c.rate);
    ASSERT_EQ(heard.packets.size(), 1u) << Said(heard.diagnosis);
    EXPECT_EQ(heard.packets[0].bytes, bytes);
}

// Arrays of one repeated byte leave almost no transitions: the fit of each bit on its
// neighbours has next to nothing to go on and must not turn the sums into garbage.
TEST(RoundTrip, NearlyConstantData) {
    for (const std::uint8_t fill : {0x00, 0xFF, 0x55}) {
        Bytes bytes{};
        bytes.fill(fill);
        std::copy(kTransferHeader.begin(), kTransferHeader.end(), bytes.begin());
        const std::uint16_t crc = CheckWordOf(bytes);
        bytes[61] = static_cast<std::uint8_t>(crc >> 8);
        bytes[62] = static_cast<std::uint8_t>(crc & 0xFF);
        Channel c = Everything(kComfortableEbN0);
        const Heard heard = Decode(Record(bytes, c, fill), c.rate);
        ASSERT_EQ(heard.packets.size(), 1u) << int{fill};
        EXPECT_EQ(heard.packets[0].bytes, bytes) << int{fill};
        EXPECT_TRUE(heard.packets[0].HeaderAndCheckWordRight());
        EXPECT_GT(heard.packets[0].ebN0Db, kComfortableEbN0 - 1.5) << int{fill};
    }
}

// Each rate with the sender's clock off the other way: the carrier and the bit length move
// together, and the decoder must follow both over the 2 s of data.
class RateAndClock : public ::testing::TestWithParam<std::tuple<int, double>> {};

TEST_P(RateAndClock, BytesExactAndClockMeasured) {
    const auto [rate, offset] = GetParam();
    Channel c;
    c.rate = rate;
    c.clockOffset = offset;
    c.ebN0Db = kComfortableEbN0;
    const Bytes bytes = RandomArray(static_cast<std::uint64_t>(rate));
    const Heard heard = Decode(Record(bytes, c, 7), rate);
    ASSERT_EQ(heard.packets.size(), 1u);
    const Packet& p = heard.packets[0];
    EXPECT_EQ(p.bytes, bytes);
    EXPECT_NEAR(p.carrierHz, kCarrierHz * (1 + offset), 0.1);
    EXPECT_NEAR(p.clockOffsetPpm, offset * 1e6, 100);
}

INSTANTIATE_TEST_SUITE_P(Rates, RateAndClock,
                         ::testing::Values(std::make_tuple(8000, 0.005),
                                           std::make_tuple(16000, 0.0),
                                           std::make_tuple(44100, -0.005),
                                           std::make_tuple(96000, 0.005)));

// Times are in the recording's own seconds whatever the rate and the filters' delays.
TEST(RoundTrip, StartOfDataInSeconds) {
    for (const int rate : {8000, 44100}) {
        Channel c;
        c.rate = rate;
        c.silenceBefore = 0.73;
        c.ebN0Db = 20;
        const Heard heard = Decode(Record(RandomArray(5), c, 5), rate);
        ASSERT_EQ(heard.packets.size(), 1u);
        // To a sixth of a working sample: the filters' delays are taken out exactly.
        EXPECT_NEAR(heard.packets[0].startSeconds, 0.73 + kLeadInSecondsSent, 0.00002) << rate;
        EXPECT_NEAR(heard.packets[0].leadInSeconds, kLeadInSecondsSent, 0.05) << rate;
    }
}

// The programmer's own file: full level, not a sample before the lead-in or after the last
// bit, so the filters' tails and the resampler's hold-back must be pushed through at the end.
TEST(RoundTrip, TheSendersOwnFileEndToEnd) {
    for (const int rate : {16000, 44100}) {
        Channel c;
        c.rate = rate;
        c.levelDb = 0;
        c.silenceBefore = 0;
        c.silenceAfter = 0;
        const Bytes bytes = RandomArray(15);
        const Heard heard = Decode(Record(bytes, c, 15), rate);
        ASSERT_EQ(heard.packets.size(), 1u) << rate << "\n" << Said(heard.diagnosis);
        EXPECT_EQ(heard.packets[0].bytes, bytes);
        EXPECT_FALSE(heard.packets[0].clipped);
    }
}

// Driven 6 dB past full scale: hard clipping costs margin but the bytes must survive, and the
// packet and the diagnosis must say that the recording clipped.
TEST(RoundTrip, HardClippingDecodesAndIsReported) {
    Channel c;
    c.levelDb = 6;
    c.ebN0Db = 16;
    const Bytes bytes = RandomArray(21);
    const Heard heard = Decode(Record(bytes, c, 21), c.rate);
    ASSERT_EQ(heard.packets.size(), 1u);
    EXPECT_EQ(heard.packets[0].bytes, bytes);
    EXPECT_TRUE(heard.packets[0].clipped);
    EXPECT_GT(heard.packets[0].peakDbfs, -0.1);
    EXPECT_TRUE(heard.diagnosis.Has(Problem::Clipping));
}

// The decoder's own estimate, which the operator reads as margin: within 1 dB from 8 to 20 dB.
TEST(RoundTrip, EbN0EstimateWithinOneDecibel) {
    for (const double truth : {8.0, 12.0, 16.0, 20.0}) {
        for (std::uint64_t seed : {31u, 32u}) {
            Channel c;
            c.ebN0Db = truth;
            const Heard heard = Decode(Record(RandomArray(seed), c, seed), c.rate);
            ASSERT_EQ(heard.packets.size(), 1u) << truth;
            const Packet& p = heard.packets[0];
            EXPECT_NEAR(p.ebN0Db, truth, 1.0) << "seed " << seed;
            EXPECT_DOUBLE_EQ(p.marginDb, p.ebN0Db - kRequiredEbN0Db);
        }
    }
}

}  // namespace
}  // namespace zk::receive::testing
