// The monitor's own rules, without sound: the margin gauge's bands, the state line's steps, the
// kept minute, the level meter's peak hold, and the comparison of a packet with what was sent.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "_2GL.h"
#include "comparison.h"
#include "marginband.h"
#include "numtext.h"
#include "peakhold.h"
#include "receivestate.h"
#include "samplering.h"
#include "workfolder.h"

namespace zk::monitor {
namespace {

// The array a send carries does not depend on what the transfer array held before (another
// profile's longer code, a test signal), and making it leaves the array as it was.
TEST(Comparison, ExpectedArrayIsTheFreshRunsWhateverTheTransferArrayHeld) {
    const Array fresh = ArrayForSettings(ResolveSettings({}));
    for (int i = 0; i < kTransferSize; ++i) {
        TransferArray[i] = 0xAA;
    }
    EXPECT_EQ(ArrayForSettings(ResolveSettings({})), fresh);
    EXPECT_EQ(TransferArray[50], 0xAA);
    TransferArray.Reset();
}

TEST(Comparison, OutcomeFollowsThePacketAndWhatItIsComparedWith) {
    const Array sent = ArrayForSettings(ResolveSettings({}));
    receive::Packet heard;
    heard.bytes = sent;
    heard.headerOk = true;
    heard.crcOk = true;
    Expectation whole;
    whole.array = sent;

    EXPECT_EQ(Compare(heard, {}).outcome, ComparisonOutcome::NotCompared);
    EXPECT_EQ(Compare(heard, {whole, {}, {}}).outcome, ComparisonOutcome::AsSent);
    const Comparison unread =
        Compare(heard, {whole, {"the log cannot be read", "журнал не читается"}, {}});
    EXPECT_EQ(unread.outcome, ComparisonOutcome::Unavailable);
    EXPECT_EQ(unread.problem.english, "the log cannot be read");
    EXPECT_EQ(unread.problem.russian, "журнал не читается");

    // Bytes exactly as sent, but a check word that does not hold: the repeater ignores it.
    receive::Packet broken = heard;
    broken.crcOk = false;
    const Comparison brokenComparison = Compare(broken, {whole, {}, {}});
    EXPECT_EQ(brokenComparison.outcome, ComparisonOutcome::Different);
    EXPECT_TRUE(brokenComparison.differences.empty());

    // A marker byte no setting names differs: found for a whole array, by its place and role.
    Expectation marked = whole;
    marked.array[46] ^= 0x01;
    const Comparison byMarker = Compare(heard, {marked, {}, {}});
    ASSERT_EQ(byMarker.differences.size(), 1u);
    EXPECT_EQ(byMarker.differences[0].setting, nullptr);
    EXPECT_EQ(byMarker.differences[0].byte, 46);
    EXPECT_EQ(ByteRoleOf(46), ByteRole::Marker);
    EXPECT_EQ(DifferenceText(byMarker.differences[0]).substr(0, 27), "byte 46 (marker): expected ");

    // A switch byte of 2 reads as on, like the 1 sent: the setting agrees, its byte does not,
    // and that byte is a setting's, not one that nothing writes.
    Expectation switched = whole;
    switched.array[40] = 1;
    receive::Packet twice = heard;
    twice.bytes[40] = 2;
    const Comparison bySwitch = Compare(twice, {switched, {}, {}});
    ASSERT_EQ(bySwitch.differences.size(), 1u);
    EXPECT_EQ(DifferenceText(bySwitch.differences[0]).substr(0, 24), "byte 40 (setting field):");

    // Settings given one by one are compared one by one: a byte outside them is not looked at.
    Expectation beepOnly = marked;
    beepOnly.keys = {"beep-level"};
    EXPECT_EQ(Compare(heard, {beepOnly, {}, {}}).outcome, ComparisonOutcome::AsSent);
}

// Each comparison keeps which send it was set beside: the log's last entry by its number, time
// and repeater; a field that is not text is left out; an entry that cannot be read names none.
TEST(Comparison, KeepsWhichSendItWasComparedWith) {
    testing::WorkFolder folder;
    ::setenv("XDG_STATE_HOME", (folder.path() / "state").c_str(), 1);
    std::filesystem::create_directories("state/zk77q3");
    receive::Packet heard;
    heard.bytes = ArrayForSettings(ResolveSettings({}));
    heard.headerOk = true;
    heard.crcOk = true;
    const auto entry = [](const std::string& fields, Array array) {
        std::string hex;
        for (const std::uint8_t byte : array) {
            hex += ByteToHex(byte);
        }
        return "{" + fields + "\"array\":\"" + hex + "\"}\n";
    };
    Array other = heard.bytes;
    other[50] ^= 0x01;
    const std::string north =
        entry(R"("time":"2026-12-07T11:30:00Z","name":"North hill",)", heard.bytes);
    const struct {
        std::string log;
        std::size_t entry;
        std::string time;
        std::optional<std::string> name;
        ComparisonOutcome outcome;
    } cases[] = {
        {north, 1, "2026-12-07T11:30:00Z", "North hill", ComparisonOutcome::AsSent},
        {north + entry(R"("time":"2026-12-08T09:00:00Z",)", other), 2, "2026-12-08T09:00:00Z",
         std::nullopt, ComparisonOutcome::Different},
        {entry(R"("time":20261207,"name":["North"],)", heard.bytes), 1, "", std::nullopt,
         ComparisonOutcome::AsSent},
        {north + R"({"time":"2026-12-09T10:00:00Z"})", 0, "", std::nullopt,
         ComparisonOutcome::Unavailable},
    };
    for (const auto& c : cases) {
        testing::WriteFile("state/zk77q3/sent.jsonl", c.log);
        const Comparison compared =
            Compare(heard, ReadExpectationOf({ExpectationSource::LastSend, {}}));
        EXPECT_EQ(compared.outcome, c.outcome) << c.log;
        EXPECT_EQ(compared.with.source, ExpectationSource::LastSend);
        EXPECT_EQ(compared.with.logEntry, c.entry) << c.log;
        EXPECT_EQ(compared.with.loggedAt, c.time) << c.log;
        EXPECT_EQ(compared.with.repeater, c.name) << c.log;
    }
    ::unsetenv("XDG_STATE_HOME");
}

TEST(MarginBand, BandsMeetAtSixAndZeroDecibels) {
    const struct {
        double margin;
        MarginBand band;
    } cases[] = {
        {-30, MarginBand::Red},
        {-0.01, MarginBand::Red},
        {0.0, MarginBand::Amber},
        {5.99, MarginBand::Amber},
        {6.0, MarginBand::Green},
        {40, MarginBand::Green},
        {std::numeric_limits<double>::quiet_NaN(), MarginBand::Red},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(BandOfMargin(c.margin), c.band) << c.margin;
    }
}

TEST(MarginBand, GaugeFillsLinearlyAndStopsAtItsEnds) {
    EXPECT_DOUBLE_EQ(GaugeFraction(kGaugeLowDb - 5), 0.0);
    EXPECT_DOUBLE_EQ(GaugeFraction(kGaugeLowDb), 0.0);
    EXPECT_DOUBLE_EQ(GaugeFraction((kGaugeLowDb + kGaugeHighDb) / 2), 0.5);
    EXPECT_DOUBLE_EQ(GaugeFraction(kGaugeHighDb), 1.0);
    EXPECT_DOUBLE_EQ(GaugeFraction(kGaugeHighDb + 50), 1.0);
    EXPECT_LT(GaugeFraction(kAmberMarginDb), GaugeFraction(kGreenMarginDb));
}

// A transmission as the receiver reports it, step by step: silence, the lead-in, data bits (a
// steady run inside the data sounds like a tone, but the receiver gives a bit then), the packet
// shown for a while, and where a recording ended.
TEST(ReceiveState, FollowsTheReceiverFromLeadInToPacketAndTheEnd) {
    struct Step {
        double seconds;
        bool tone;
        int dataBit;
        bool packet;
        ReceivePhase phase;
        int bit;
    };
    const Step steps[] = {
        {0.5, false, 0, false, ReceivePhase::Waiting, 0},
        {1.0, true, 0, false, ReceivePhase::LeadIn, 0},
        {2.1, false, 1, false, ReceivePhase::Receiving, 1},
        {2.2, true, 26, false, ReceivePhase::Receiving, 26},
        {4.1, false, 512, false, ReceivePhase::Receiving, 512},
        {4.2, false, 0, true, ReceivePhase::Packet, 0},
        {4.2 + kPacketShownSeconds - 0.1, false, 0, false, ReceivePhase::Packet, 0},
        {4.2 + kPacketShownSeconds + 0.1, false, 0, false, ReceivePhase::Waiting, 0},
        {7.0, false, 0, true, ReceivePhase::Packet, 0},
        {7.5, true, 0, false, ReceivePhase::LeadIn, 0},  // a new lead-in ends the packet's display
        {8.0, false, 0, false, ReceivePhase::Waiting, 0},
    };
    ReceiveStateTracker t;
    EXPECT_EQ(t.State().phase, ReceivePhase::Waiting);
    for (const Step& step : steps) {
        SCOPED_TRACE(step.seconds);
        t.Advance(step.seconds, step.tone, step.dataBit, step.packet);
        EXPECT_EQ(t.State().phase, step.phase);
        EXPECT_EQ(t.State().bit, step.bit);
    }
}

TEST(ReceiveState, TheEndOfARecordingSaysWhereItCame) {
    ReceiveStateTracker inData;
    inData.Advance(1.0, true, 0, false);
    inData.Advance(2.6, false, 401, false);
    inData.End();
    EXPECT_EQ(inData.State().phase, ReceivePhase::Ended);
    EXPECT_EQ(inData.State().endedIn, ReceivePhase::Receiving);
    EXPECT_EQ(inData.State().bit, 401);

    ReceiveStateTracker inLeadIn;
    inLeadIn.Advance(1.0, true, 0, false);
    inLeadIn.End();
    EXPECT_EQ(inLeadIn.State().endedIn, ReceivePhase::LeadIn);
    EXPECT_EQ(inLeadIn.State().bit, 0);
}

std::vector<float> Ramp(int first, int count) {
    std::vector<float> samples;
    for (int i = first; i < first + count; ++i) {
        samples.push_back(static_cast<float>(i) / 32768.0f);
    }
    return samples;
}

TEST(SampleRing, KeepsTheNewestSamplesOldestFirst) {
    SampleRing ring(5);
    ring.Add(Ramp(1, 3));
    EXPECT_EQ(ring.Contents(), (std::vector<std::int16_t>{1, 2, 3}));
    ring.Add(Ramp(4, 4));  // wraps
    EXPECT_EQ(ring.Contents(), (std::vector<std::int16_t>{3, 4, 5, 6, 7}));
    EXPECT_EQ(ring.Size(), 5u);
    ring.Add(Ramp(10, 12));  // a block longer than the ring: only its end
    EXPECT_EQ(ring.Contents(), (std::vector<std::int16_t>{17, 18, 19, 20, 21}));
    ring.Add(Ramp(30, 5));  // exactly the ring
    EXPECT_EQ(ring.Contents(), (std::vector<std::int16_t>{30, 31, 32, 33, 34}));
}

TEST(SampleRing, RoundsAndClipsToSixteenBits) {
    const struct {
        float in;
        std::int16_t out;
    } cases[] = {
        {0.0f, 0},
        {1.0f / 32768, 1},
        {-1.0f / 32768, -1},
        {0.5f, 16384},
        {1.0f, 32767},
        {-1.0f, -32768},
        {3.0f, 32767},
        {-3.0f, -32768},
        {1.4f / 32768, 1},
        {1.6f / 32768, 2},
        {std::numeric_limits<float>::quiet_NaN(), 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ToPcm16(c.in), c.out) << c.in;
    }
}

TEST(PeakHold, HoldsThenFallsAndKeepsTheClipWarningLit) {
    PeakHold hold;
    hold.Update(0.0, -10, false);
    hold.Update(0.5, -40, false);
    EXPECT_DOUBLE_EQ(hold.HeldDbfs(), -10);  // held
    hold.Update(kPeakHoldSeconds + 0.5, -40, false);
    EXPECT_NEAR(hold.HeldDbfs(), -10 - kPeakFallDbPerSecond * 0.5, 1e-9);  // falling
    hold.Update(kPeakHoldSeconds + 10, -40, false);
    EXPECT_DOUBLE_EQ(hold.HeldDbfs(), -40);  // never below the level now
    hold.Update(20.0, -20, false);
    EXPECT_DOUBLE_EQ(hold.HeldDbfs(), -20);  // a new peak at once

    EXPECT_FALSE(hold.ClipWarning());
    hold.Update(30.0, 0, true);
    EXPECT_TRUE(hold.ClipWarning());
    hold.Update(30.0 + kClipShownSeconds - 0.1, -30, false);
    EXPECT_TRUE(hold.ClipWarning());
    hold.Update(30.0 + kClipShownSeconds + 0.1, -30, false);
    EXPECT_FALSE(hold.ClipWarning());
}

}  // namespace
}  // namespace zk::monitor
