// What the window says about a packet and the receiver, in English and through the Russian
// translation: the words an operator acts on, so a swapped or missing text is a fault.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTranslator>

#include "monitortexts.h"

// Failures show the texts, not their bytes.
void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace zk::monitor {
namespace {

receive::Packet SamplePacket() {
    receive::Packet p;
    p.bytes = {0x7F, 0x04, 0x01, 0x01,                     // header
               0x87, 0x82, 0x80, 0x84, 0xCE, 0,    0, 0,   // 7204, *
               0x88, 0x81, 0x83, 0x85, 0xCF, 0,    0, 0,   // 8135, #
               0x86, 0x89, 0x81, 0x84,                     // 6914
               64,   0,    0,    0,    0x76, 0x4A, 0, 0,   // 64; 19062 s
               42,   17,   5,    3,    4,    2,    7, 1,   // 5:17:42, beep 3 and 4, sql-high 7
               1,    5,    6,    1,    0,    1,    0, 0};  // hang, dtmf, 5, 6, rx, tx, sleep
    p.headerOk = true;
    p.crcOk = true;
    p.crcReceived = 0x1A2B;
    p.crcComputed = 0x1A2B;
    p.marginDb = 7.25;
    p.startSeconds = 61.5;
    return p;
}

QString ValueOf(const QList<SettingLine>& lines, const QString& name) {
    for (const SettingLine& line : lines) {
        if (line.name == name) {
            return line.value;
        }
    }
    return QStringLiteral("(missing)");
}

TEST(MonitorTexts, StateLinesCountTheBits) {
    EXPECT_EQ(MonitorTexts::State({ReceivePhase::Waiting, 0}), "waiting for the lead-in");
    EXPECT_EQ(MonitorTexts::State({ReceivePhase::LeadIn, 0}), "lead-in tone");
    EXPECT_EQ(MonitorTexts::State({ReceivePhase::Receiving, 17}), "receiving: bit 17 of 512");
    EXPECT_EQ(MonitorTexts::State({ReceivePhase::Packet, 0}), "packet");
    EXPECT_EQ(MonitorTexts::State({ReceivePhase::Ended, 412, ReceivePhase::Receiving}),
              "the recording ended at bit 412 of 512");
    EXPECT_EQ(MonitorTexts::State({ReceivePhase::Ended, 0, ReceivePhase::LeadIn}),
              "the recording ended in a lead-in tone");
    EXPECT_EQ(MonitorTexts::State({ReceivePhase::Ended, 0, ReceivePhase::Packet}),
              "the recording ended");
}

TEST(MonitorTexts, VerdictFollowsHeaderThenCheckWordThenSettings) {
    receive::Packet p = SamplePacket();
    EXPECT_EQ(MonitorTexts::Verdict(VerdictOf(p)), "valid");
    p.bytes[40] = 9;  // DTMF allowed holds neither 0 nor 1
    EXPECT_EQ(MonitorTexts::Verdict(VerdictOf(p)), "check word right, settings impossible");
    p.crcOk = false;
    EXPECT_EQ(MonitorTexts::Verdict(VerdictOf(p)), "check word wrong");
    p.headerOk = false;
    EXPECT_EQ(MonitorTexts::Verdict(VerdictOf(p)), "not a programming message");
}

TEST(MonitorTexts, MarginAndCheckWordRead) {
    EXPECT_EQ(MonitorTexts::Margin(7.25), "+7.2 dB");
    EXPECT_EQ(MonitorTexts::Margin(-0.04), "+0.0 dB");
    EXPECT_EQ(MonitorTexts::Margin(-2.06), "-2.1 dB");
    EXPECT_EQ(MonitorTexts::Band(BandOfMargin(7)), "good");
    EXPECT_EQ(MonitorTexts::Band(BandOfMargin(3)), "marginal");
    EXPECT_EQ(MonitorTexts::Band(BandOfMargin(-1)), "too low");

    receive::Packet p = SamplePacket();
    EXPECT_EQ(MonitorTexts::CheckWord(p), "check word 1A2B: right");
    p.crcOk = false;
    p.crcComputed = 0x00F0;
    EXPECT_EQ(MonitorTexts::CheckWord(p),
              "check word heard 1A2B, computed from the bytes 00F0: wrong");
}

TEST(MonitorTexts, ListingIsTheProgrammersFormat) {
    const QStringList lines = MonitorTexts::Listing(SamplePacket());
    ASSERT_EQ(lines.size(), 64);
    EXPECT_EQ(lines[0], " 0 7F");
    EXPECT_EQ(lines[8], " 8 CE");
    EXPECT_EQ(lines[63], "63 00");
}

TEST(MonitorTexts, EverySettingByNameWithItsValue) {
    const QList<SettingLine> lines =
        MonitorTexts::Settings(receive::DecodeSettings(SamplePacket().bytes));
    EXPECT_EQ(lines.size(), 18);  // a sound array: no problems, no notes
    EXPECT_EQ(ValueOf(lines, "user open code"), "7204");
    EXPECT_EQ(ValueOf(lines, "user close code"), "*");
    EXPECT_EQ(ValueOf(lines, "administrator open code"), "8135");
    EXPECT_EQ(ValueOf(lines, "administrator close code"), "#");
    EXPECT_EQ(ValueOf(lines, "user mode code"), "6914");
    EXPECT_EQ(ValueOf(lines, "maximum recording"), "64");
    EXPECT_EQ(ValueOf(lines, "call-sign period"), "5:17:42");  // each part from its own byte
    EXPECT_EQ(ValueOf(lines, "beep length"), "3 x 100 ms");
    EXPECT_EQ(ValueOf(lines, "beep level"), "4 dB");
    EXPECT_EQ(ValueOf(lines, "squelch"), "SQL line, active high");
    EXPECT_EQ(ValueOf(lines, "squelch threshold"), "7");
    EXPECT_EQ(ValueOf(lines, "release delay (hang)"), "on");
    EXPECT_EQ(ValueOf(lines, "opening and closing by DTMF"), "on");
    EXPECT_EQ(ValueOf(lines, "ADC gain"), "5");
    EXPECT_EQ(ValueOf(lines, "DAC attenuation"), "6");
    EXPECT_EQ(ValueOf(lines, "receive correction filter"), "on");
    EXPECT_EQ(ValueOf(lines, "transmit correction filter"), "off");
    EXPECT_EQ(ValueOf(lines, "economy (sleep) mode"), "on");

    receive::Packet odd = SamplePacket();
    odd.bytes[63] = 0x55;
    const QList<SettingLine> noted = MonitorTexts::Settings(receive::DecodeSettings(odd.bytes));
    EXPECT_EQ(noted.back().name, "note");
}

TEST(MonitorTexts, WhenIsTheClockLiveAndThePlaceInARecording) {
    HeardPacket heard{SamplePacket(), 0, {}};
    EXPECT_EQ(MonitorTexts::When(heard, false), "at 1:01.50");
    heard.channel = 1;
    EXPECT_EQ(MonitorTexts::When(heard, false), "at 1:01.50, channel 2");
    heard.heardAt = std::chrono::system_clock::time_point(std::chrono::hours(24 * 365 * 30));
    EXPECT_EQ(MonitorTexts::When(heard, true).size(), 8);  // HH:mm:ss in the local zone
    EXPECT_EQ(MonitorTexts::Summary(heard, false, {}),
              "at 1:01.50, channel 2  valid, margin +7.2 dB");
}

TEST(MonitorTexts, RussianComesFromTheTranslation) {
    QTranslator russian;
    ASSERT_TRUE(russian.load(QStringLiteral(ZK_MONITOR_RU_QM)));
    QCoreApplication::installTranslator(&russian);
    EXPECT_EQ(MonitorTexts::State({ReceivePhase::Receiving, 3}), "приём: бит 3 из 512");
    EXPECT_EQ(MonitorTexts::State({ReceivePhase::Ended, 7, ReceivePhase::Receiving}),
              "запись кончилась на бите 7 из 512");
    EXPECT_EQ(MonitorTexts::Verdict(PacketVerdict::CrcBad), "контрольное слово неверно");
    EXPECT_EQ(MonitorTexts::Band(MarginBand::Amber), "на пределе");
    const QList<SettingLine> lines =
        MonitorTexts::Settings(receive::DecodeSettings(SamplePacket().bytes));
    EXPECT_EQ(ValueOf(lines, "пользовательский Код открытия"), "7204");
    QCoreApplication::removeTranslator(&russian);
    EXPECT_EQ(MonitorTexts::State({ReceivePhase::Packet, 0}), "packet");
}

}  // namespace
}  // namespace zk::monitor

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
