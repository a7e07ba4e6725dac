// What the window says about a packet and the receiver, in English and through the Russian
// translation: the words an operator acts on, so a swapped or missing text is a fault.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTranslator>
#include <cstdlib>
#include <ctime>
#include <stdexcept>

#include "monitortexts.h"
#include "settings.h"

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
    const QList<SettingLine> lines = MonitorTexts::Settings(DecodeSettings(SamplePacket().bytes));
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
    const QList<SettingLine> noted = MonitorTexts::Settings(DecodeSettings(odd.bytes));
    EXPECT_EQ(noted.back().name, "note");
}

TEST(MonitorTexts, WhenIsTheClockLiveAndThePlaceInARecording) {
    HeardPacket heard{SamplePacket(), 0, {}};
    EXPECT_EQ(MonitorTexts::When(heard, false), "at 1:01.50");
    heard.channel = 1;
    EXPECT_EQ(MonitorTexts::When(heard, false), "at 1:01.50, channel 2");
    heard.heardAt = std::chrono::system_clock::time_point(std::chrono::hours(24 * 365 * 30));
    EXPECT_EQ(MonitorTexts::When(heard, true).size(), 8);  // HH:mm:ss in the local zone
    EXPECT_EQ(MonitorTexts::Row(heard, false, {}),
              QStringList({"at 1:01.50, channel 2", "valid", "+7.2 dB", ""}));
    const monitor::Comparison asSent{ComparisonOutcome::AsSent, {}, {}, {}};
    EXPECT_EQ(MonitorTexts::Row(heard, false, asSent).value(3), "✔ as sent");
}

// The outcome under a sign that reads without colour, in the details and shortened for the
// list's column, and the send it was set beside: what tells the operator whether the repeater
// got what was meant, and from which send.
const Wording kNoArray{"log entry 3 holds no array", "в записи журнала 3 нет массива"};

TEST(MonitorTexts, ComparisonSaysItsOutcomeAndWhatItWasComparedWith) {
    const zk::Difference code{&kSettings[0], -1, "1590", "7204"};
    const struct {
        monitor::Comparison comparison;
        const char* outcome;
        const char* inList;
    } outcomes[] = {
        {{ComparisonOutcome::NotCompared, {}, {}, {}}, "nothing to compare with", ""},
        {{ComparisonOutcome::AsSent, {}, {}, {}}, "✔ as sent", "✔ as sent"},
        {{ComparisonOutcome::Different, {code}, {}, {}},
         "✘ not as sent: 1 difference",
         "✘ 1 difference"},
        {{ComparisonOutcome::Different, {code, code, code}, {}, {}},
         "✘ not as sent: 3 differences",
         "✘ 3 differences"},
        {{ComparisonOutcome::Different, {}, {}, {}},
         "✘ not as sent: the packet itself is not valid",
         "✘ not as sent"},
        {{ComparisonOutcome::Unavailable, {}, kNoArray, {}},
         "⚠ cannot compare: log entry 3 holds no array",
         "⚠ cannot compare"},
    };
    for (const auto& c : outcomes) {
        EXPECT_EQ(MonitorTexts::Outcome(c.comparison), c.outcome);
        EXPECT_EQ(MonitorTexts::OutcomeInList(c.comparison), c.inList);
    }

    // The log's time is UTC; the operator reads it in the local zone (UTC+3 in this test).
    const struct {
        ComparedWith with;
        const char* origin;
    } origins[] = {
        {{ExpectationSource::LastSend, 12, "2026-12-07T11:30:00Z", "North hill", {}},
         "Compared with log entry 12, sent 2026-12-07 14:30:00 to “North hill”"},
        {{ExpectationSource::LastSend, 3, "2026-12-07T23:59:59Z", std::nullopt, {}},
         "Compared with log entry 3, sent 2026-12-08 02:59:59 to a repeater without a name"},
        {{ExpectationSource::LastSend, 4, "", "North", {}},
         "Compared with log entry 4, sent at an unknown time to “North”"},
        {{ExpectationSource::LastSend, 0, {}, {}, {}},
         "Compared with the last send in the programming log"},
        {{ExpectationSource::Profile, 0, {}, {}, "/home/op/profiles/north.toml"},
         "Compared with the profile north.toml"},
    };
    for (const auto& c : origins) {
        EXPECT_EQ(MonitorTexts::Origin(c.with), c.origin);
    }
}

// A record and its text in English and through the Russian translation.
template <typename Record>
struct InBothLanguages {
    Record record;
    const char* english;
    const char* russian;
};

template <typename Record, std::size_t N>
void ExpectInBothLanguages(const InBothLanguages<Record> (&cases)[N],
                           QString (*text)(const Record&)) {
    QTranslator russian;
    ASSERT_TRUE(russian.load(QStringLiteral(ZK_MONITOR_RU_QM)));
    for (const InBothLanguages<Record>& c : cases) {
        EXPECT_EQ(text(c.record), c.english);
        QCoreApplication::installTranslator(&russian);
        EXPECT_EQ(text(c.record), c.russian);
        QCoreApplication::removeTranslator(&russian);
    }
}

// A setting's two values as the settings list shows them, in either language; a code as it is.
TEST(MonitorTexts, DifferencesShowTheValuesAsTheListDoes) {
    const InBothLanguages<zk::Difference> cases[] = {
        {{&SettingNamed("hang"), -1, "on", "off"},
         "release delay (hang): expected on, decoded off",
         "задержка отпускания: ожидалось вкл, принято выкл"},
        {{&SettingNamed("squelch"), -1, "audio", "sql-high"},
         "squelch: expected audio, decoded SQL line, active high",
         "шумоподавитель: ожидалось по звуку, принято линия SQL, активный высокий"},
        {{&SettingNamed("period"), -1, "0:30:0", "5:17:42"},
         "call-sign period: expected 0:30:00, decoded 5:17:42",
         "период позывного: ожидалось 0:30:00, принято 5:17:42"},
        {{&SettingNamed("beep-length"), -1, "2", "13"},
         "beep length: expected 2 x 100 ms, decoded 13 x 100 ms",
         "длительность сигнала: ожидалось 2 x 100 мс, принято 13 x 100 мс"},
        {{&SettingNamed("user-close"), -1, "*", "?"},
         "user close code: expected *, decoded ?",
         "пользовательский Код закрытия: ожидалось *, принято ?"},
    };
    ExpectInBothLanguages(cases, &MonitorTexts::Difference);
}

// What a received array holds that generate could not have sent: the setting named as the list
// names it, each number in its place, in English and through the Russian translation.
TEST(MonitorTexts, SettingsFindingsNameTheSettingAndEachNumber) {
    using Kind = zk::SettingsFinding::Kind;
    const Setting* period = &SettingNamed("period");
    const InBothLanguages<zk::SettingsFinding> cases[] = {
        {{.kind = Kind::OutOfRange,
          .setting = period,
          .part = PeriodPart::Hours,
          .value = 70,
          .minimum = 0,
          .maximum = 64},
         "call-sign period, hours: 70 is outside 0..64",
         "период позывного, часы: 70 вне пределов 0..64"},
        {{.kind = Kind::OutOfRange,
          .setting = &SettingNamed("beep-level"),
          .value = 21,
          .minimum = 0,
          .maximum = 20},
         "beep level: 21 is outside 0..20",
         "уровень сигнала: 21 вне пределов 0..20"},
        {{.kind = Kind::PeriodDisagrees,
          .setting = period,
          .value = 1875,
          .hours = 0,
          .minutes = 30,
          .seconds = 75,
          .total = 1800},
         "call-sign period: 0:30:75 is 1875 s, but the total sent is 1800 s",
         "период позывного: 0:30:75 — это 1875 с, но передан итог 1800 с"},
        {{.kind = Kind::NoCode, .setting = &SettingNamed("user-close")},
         "user close code: bytes 8..11 hold no code",
         "пользовательский Код закрытия: в байтах 8..11 нет кода"},
        {{.kind = Kind::AfterCheckWord, .value = 90},
         "byte 63, which the check word does not cover, holds 90, not 0",
         "в байте 63, который контрольное слово не охватывает, стоит 90, а не 0"},
    };
    ExpectInBothLanguages(cases, &MonitorTexts::SettingsFindingText);
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
    // The decoder's findings in Russian, each number in its place and its plural.
    EXPECT_EQ(MonitorTexts::Findings(
                  {{.problem = receive::Problem::BadPackets, .count = 2},
                   {.problem = receive::Problem::Distorted, .ebN0Db = 7.5, .leadInEbN0Db = 25.1}}),
              "услышано 2 пакета, но ни одного с верными заголовком и контрольным словом\n"
              "искажено: вступительный тон пришёл чистым (Eb/N0 25.1 дБ), данные нет (7.5 дБ): "
              "их испортило что-то на пути, например речевой кодек, эхо, голосовой процессор или "
              "пропадание звука");
    EXPECT_EQ(
        MonitorTexts::Finding({.problem = receive::Problem::OffCarrier, .carrierOffsetHz = -45}),
        "тон около 1000 Гц, но его несущая на 45.0 Гц ниже 1000 Гц; отслеживается не более "
        "31.0 Гц: проверьте настройку радиостанций");
    EXPECT_EQ(MonitorTexts::Finding(
                  {.problem = receive::Problem::Dropout, .count = 40, .atSeconds = 2.5}),
              "звук пропал на 40 мс на 2.50 с, внутри пакета: проверьте кабели и их разъёмы, а "
              "также что шумоподавитель и энергосбережение приёмника не закрываются, пока идёт "
              "сигнал");
    const QList<SettingLine> lines = MonitorTexts::Settings(DecodeSettings(SamplePacket().bytes));
    EXPECT_EQ(ValueOf(lines, "пользовательский Код открытия"), "7204");
    const zk::Difference code{&kSettings[0], -1, "1590", "7204"};
    EXPECT_EQ(MonitorTexts::Outcome({ComparisonOutcome::Different, {code, code, code}, {}, {}}),
              "✘ не как отправлено: 3 отличия");
    EXPECT_EQ(MonitorTexts::Origin(
                  {ExpectationSource::LastSend, 12, "2026-12-07T11:30:00Z", "Север", {}}),
              "Сравнено с записью журнала 12: передано 2026-12-07 14:30:00 на «Север»");
    // Faults in the window's language: the Russian wording, or the English one when it has none.
    EXPECT_EQ(MonitorTexts::Outcome({ComparisonOutcome::Unavailable, {}, kNoArray, {}}),
              "⚠ сравнить нельзя: в записи журнала 3 нет массива");
    EXPECT_EQ(MonitorTexts::FaultText(std::runtime_error("Unknown error")), "Unknown error");
    QCoreApplication::removeTranslator(&russian);
    EXPECT_EQ(MonitorTexts::State({ReceivePhase::Packet, 0}), "packet");
}

}  // namespace
}  // namespace zk::monitor

int main(int argc, char** argv) {
    // A zone of its own (UTC+3, no summer time), so that a time shown in UTC is a fault.
    ::setenv("TZ", "MSK-3", 1);
    ::tzset();
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
