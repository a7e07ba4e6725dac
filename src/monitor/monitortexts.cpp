#include "monitortexts.h"

#include <QDateTime>
#include <QFileInfo>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <optional>
#include <string_view>

#include "arraylayout.h"
#include "generate.h"
#include "leveltext.h"
#include "settingstable.h"

namespace zk::monitor {

namespace {

QString OnOff(bool on) {
    return on ? MonitorTexts::tr("on") : MonitorTexts::tr("off");
}

QString Hex4(std::uint16_t word) {
    return QStringLiteral("%1").arg(word, 4, 16, QLatin1Char('0')).toUpper();
}

QString ByteRoleText(ByteRole role) {
    switch (role) {
        case ByteRole::Header:
            return MonitorTexts::tr("header");
        case ByteRole::Marker:
            return MonitorTexts::tr("marker");
        case ByteRole::CheckWord:
            return MonitorTexts::tr("check word");
        case ByteRole::OutsideCheckWord:
            return MonitorTexts::tr("outside the check word");
        case ByteRole::CodeField:
            return MonitorTexts::tr("code field");
        case ByteRole::SettingField:
            return MonitorTexts::tr("setting field");
        case ByteRole::NeverWritten:
            return MonitorTexts::tr("never written");
    }
    return {};
}

// The signs before a comparison's outcome: it reads at a glance, in any language, and without
// telling colours apart.
constexpr char16_t kAsSentSign = u'\u2714';         // ✔
constexpr char16_t kNotAsSentSign = u'\u2718';      // ✘
constexpr char16_t kCannotCompareSign = u'\u26A0';  // ⚠

QString Signed(char16_t sign, const QString& text) {
    return QChar(sign) + QLatin1Char(' ') + text;
}

// English says "1 difference" and "2 differences"; a translation gives every plural form.
QString NotAsSent(std::size_t count) {
    const int n = static_cast<int>(count);
    return n == 1 ? MonitorTexts::tr("not as sent: 1 difference")
                  : MonitorTexts::tr("not as sent: %n differences", nullptr, n);
}

// The log's UTC time in the operator's zone, as the list's clock shows it; a time that does not
// read as one is shown as it was logged.
QString LoggedAt(const std::string& time) {
    if (time.empty()) {
        return MonitorTexts::tr("at an unknown time");
    }
    const QString logged = QString::fromStdString(time);
    const QDateTime at = QDateTime::fromString(logged, Qt::ISODate);
    return at.isValid() ? at.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) : logged;
}

QString FileName(const std::string& path) {
    return QFileInfo(QString::fromStdString(path)).fileName();
}

QString SquelchModeText(int mode) {
    switch (mode) {
        case static_cast<int>(SquelchMode::Audio):
            return MonitorTexts::tr("audio");
        case static_cast<int>(SquelchMode::SqlLow):
            return MonitorTexts::tr("SQL line, active low");
        case static_cast<int>(SquelchMode::SqlHigh):
            return MonitorTexts::tr("SQL line, active high");
        default:
            return MonitorTexts::tr("unknown (%1)").arg(mode);
    }
}

// The settings' labels by key, in English as kSettings has them; the translation looks them up
// by that text.
struct KeyedLabel {
    std::string_view key;
    const char* label;
};

constexpr KeyedLabel kSettingLabels[] = {
    {"user-open", QT_TRANSLATE_NOOP("MonitorTexts", "user open code")},
    {"user-close", QT_TRANSLATE_NOOP("MonitorTexts", "user close code")},
    {"admin-open", QT_TRANSLATE_NOOP("MonitorTexts", "administrator open code")},
    {"admin-close", QT_TRANSLATE_NOOP("MonitorTexts", "administrator close code")},
    {"user-mode", QT_TRANSLATE_NOOP("MonitorTexts", "user mode code")},
    {"dtmf", QT_TRANSLATE_NOOP("MonitorTexts", "opening and closing by DTMF")},
    {"max-record", QT_TRANSLATE_NOOP("MonitorTexts", "maximum recording")},
    {"period", QT_TRANSLATE_NOOP("MonitorTexts", "call-sign period")},
    {"beep-length", QT_TRANSLATE_NOOP("MonitorTexts", "beep length")},
    {"beep-level", QT_TRANSLATE_NOOP("MonitorTexts", "beep level")},
    {"squelch", QT_TRANSLATE_NOOP("MonitorTexts", "squelch")},
    {"threshold", QT_TRANSLATE_NOOP("MonitorTexts", "squelch threshold")},
    {"rx-filter", QT_TRANSLATE_NOOP("MonitorTexts", "receive correction filter")},
    {"tx-filter", QT_TRANSLATE_NOOP("MonitorTexts", "transmit correction filter")},
    {"adc-gain", QT_TRANSLATE_NOOP("MonitorTexts", "ADC gain")},
    {"dac-atten", QT_TRANSLATE_NOOP("MonitorTexts", "DAC attenuation")},
    {"hang", QT_TRANSLATE_NOOP("MonitorTexts", "release delay (hang)")},
    {"sleep", QT_TRANSLATE_NOOP("MonitorTexts", "economy (sleep) mode")},
};

constexpr const KeyedLabel* LabelFor(std::string_view key) {
    for (const KeyedLabel& keyed : kSettingLabels) {
        if (keyed.key == key) {
            return &keyed;
        }
    }
    return nullptr;
}

// Every setting has its label here, in the very words of the table, so the English list reads
// as the command line's and the translations keep matching.
constexpr bool EverySettingLabelled() {
    for (const Setting& setting : kSettings) {
        const KeyedLabel* keyed = LabelFor(setting.key);
        if (keyed == nullptr || std::string_view(keyed->label) != setting.label) {
            return false;
        }
    }
    return true;
}
static_assert(EverySettingLabelled());

// A number with the unit the setting's value carries, translated by key.
QString NumberText(const Setting& setting, int value) {
    const std::string_view key = setting.key;
    if (key == "beep-length") {
        return MonitorTexts::tr("%1 x 100 ms").arg(value);
    }
    if (key == "beep-level") {
        return MonitorTexts::tr("%1 dB").arg(value);
    }
    return QString::number(value);
}

QString PeriodText(int hours, int minutes, int seconds) {
    return QStringLiteral("%1:%2:%3")
        .arg(hours)
        .arg(minutes, 2, 10, QLatin1Char('0'))
        .arg(seconds, 2, 10, QLatin1Char('0'));
}

QString ValueText(const DecodedSettings& s, const Setting& setting) {
    switch (setting.kind) {
        case SettingKind::Code:
            return QString::fromStdString(s.Code(static_cast<CodeField>(setting.field)));
        case SettingKind::Switch:
            return OnOff(s.On(static_cast<CheckField>(setting.field)));
        case SettingKind::Number:
            return NumberText(setting, s.Number(static_cast<SpinField>(setting.field)));
        case SettingKind::Period:
            return PeriodText(s.Number(SpinField::PP_Hour), s.Number(SpinField::PP_Min),
                              s.Number(SpinField::PP_Sek));
        case SettingKind::Squelch:
            return SquelchModeText(s.squelchMode);
        case SettingKind::Threshold:
            return QString::number(s.Threshold());
    }
    return {};
}

// A value in the command line's words ("on", "sql-high", "0:30:0", "5") as the settings list
// shows it; anything else (a code, a threshold) as it is.
QString ListedValue(const Setting& setting, const std::string& text) {
    switch (setting.kind) {
        case SettingKind::Switch:
            if (text == "on" || text == "off") {
                return OnOff(text == "on");
            }
            break;
        case SettingKind::Squelch:
            if (const std::optional<SquelchMode> mode = SquelchModeNamed(text)) {
                return SquelchModeText(static_cast<int>(*mode));
            }
            break;
        case SettingKind::Number: {
            int value = 0;
            const auto [end, error] =
                std::from_chars(text.data(), text.data() + text.size(), value);
            if (error == std::errc{} && end == text.data() + text.size()) {
                return NumberText(setting, value);
            }
            break;
        }
        case SettingKind::Period: {
            int hours = 0;
            int minutes = 0;
            int seconds = 0;
            char end = 0;
            if (std::sscanf(text.c_str(), "%d:%d:%d%c", &hours, &minutes, &seconds, &end) == 3) {
                return PeriodText(hours, minutes, seconds);
            }
            break;
        }
        case SettingKind::Code:
        case SettingKind::Threshold:
            break;
    }
    return QString::fromStdString(text);
}

}  // namespace

QString MonitorTexts::State(const ReceiveState& state) {
    switch (state.phase) {
        case ReceivePhase::Waiting:
            return tr("waiting for the lead-in");
        case ReceivePhase::LeadIn:
            return tr("lead-in tone");
        case ReceivePhase::Receiving:
            return tr("receiving: bit %1 of %2").arg(state.bit).arg(kPacketBitCount);
        case ReceivePhase::Packet:
            return tr("packet");
        case ReceivePhase::Ended:
            switch (state.endedIn) {
                case ReceivePhase::Receiving:
                    return tr("the recording ended at bit %1 of %2")
                        .arg(state.bit)
                        .arg(kPacketBitCount);
                case ReceivePhase::LeadIn:
                    return tr("the recording ended in a lead-in tone");
                default:
                    return tr("the recording ended");
            }
    }
    return {};
}

QString MonitorTexts::Verdict(PacketVerdict verdict) {
    switch (verdict) {
        case PacketVerdict::Valid:
            return tr("valid");
        case PacketVerdict::SettingsBad:
            return tr("check word right, settings impossible");
        case PacketVerdict::CrcBad:
            return tr("check word wrong");
        case PacketVerdict::HeaderBad:
            return tr("not a programming message");
    }
    return {};
}

QString MonitorTexts::Margin(double marginDb) {
    // Rounded first, so that -0.04 reads "+0.0 dB", not "-0.0 dB".
    const double shown = std::nearbyint(marginDb * 10.0) / 10.0 + 0.0;
    return tr("%1 dB").arg((shown >= 0 ? QStringLiteral("+") : QString()) +
                           QString::number(shown, 'f', 1));
}

QString MonitorTexts::Band(MarginBand band) {
    switch (band) {
        case MarginBand::Green:
            return tr("good");
        case MarginBand::Amber:
            return tr("marginal");
        case MarginBand::Red:
            return tr("too low");
    }
    return {};
}

QString MonitorTexts::CheckWord(const receive::Packet& packet) {
    if (packet.crcOk) {
        return tr("check word %1: right").arg(Hex4(packet.crcReceived));
    }
    return tr("check word heard %1, computed from the bytes %2: wrong")
        .arg(Hex4(packet.crcReceived), Hex4(packet.crcComputed));
}

QStringList MonitorTexts::Listing(const receive::Packet& packet) {
    QStringList lines;
    for (const std::string& line : ArrayListing(packet.bytes)) {
        lines << QString::fromStdString(line);
    }
    return lines;
}

QList<SettingLine> MonitorTexts::Settings(const DecodedSettings& s) {
    QList<SettingLine> lines;
    for (const Setting& setting : kSettings) {
        lines.push_back({SettingLabel(setting), ValueText(s, setting)});
    }
    for (const zk::SettingsFinding& problem : s.problems) {
        lines.push_back({tr("problem"), SettingsFindingText(problem)});
    }
    for (const zk::SettingsFinding& note : s.notes) {
        lines.push_back({tr("note"), SettingsFindingText(note)});
    }
    return lines;
}

QString MonitorTexts::SettingsFindingText(const zk::SettingsFinding& f) {
    using Kind = zk::SettingsFinding::Kind;
    const QString name = f.setting != nullptr ? SettingLabel(*f.setting) : QString();
    switch (f.kind) {
        case Kind::NoCode:
            return tr("%1: bytes %2..%3 hold no code")
                .arg(name)
                .arg(f.setting->firstByte)
                .arg(LastByte(*f.setting));
        case Kind::OutOfRange: {
            const QString range = QStringLiteral("%1..%2").arg(f.minimum).arg(f.maximum);
            switch (f.part) {
                case PeriodPart::Whole:
                    break;
                case PeriodPart::Seconds:
                    return tr("%1, seconds: %2 is outside %3").arg(name).arg(f.value).arg(range);
                case PeriodPart::Minutes:
                    return tr("%1, minutes: %2 is outside %3").arg(name).arg(f.value).arg(range);
                case PeriodPart::Hours:
                    return tr("%1, hours: %2 is outside %3").arg(name).arg(f.value).arg(range);
            }
            return tr("%1: %2 is outside %3").arg(name).arg(f.value).arg(range);
        }
        case Kind::PeriodDisagrees:
            return tr("%1: %2:%3:%4 is %5 s, but the total sent is %6 s")
                .arg(name)
                .arg(f.hours)
                .arg(f.minutes)
                .arg(f.seconds)
                .arg(f.value)
                .arg(f.total);
        case Kind::NotAFlag:
            return tr("%1: its byte holds %2, not 0 or 1").arg(name).arg(f.value);
        case Kind::NoSquelchMode:
            return tr("%1: %2 is not 0, 1 or 2").arg(name).arg(f.value);
        case Kind::MarkersUncomputed:
            return tr("bytes %1, %2 hold EE FF: the sender did not compute the check word")
                .arg(layout::kMarker46)
                .arg(layout::kMarker47);
        case Kind::MarkersNotZero:
            return tr("bytes %1, %2 are not zero").arg(layout::kMarker46).arg(layout::kMarker47);
        case Kind::UnwrittenNotZero:
            return tr("bytes that are never written (%1, %2, %3..%4) are not all zero")
                .arg(layout::kUnusedAfterMaxRecord)
                .arg(layout::kUnusedAfterMaxRecord + 1)
                .arg(layout::kUnusedBeforeCheckWord)
                .arg(layout::kUnusedBeforeCheckWordLast);
        case Kind::AfterCheckWord:
            return tr("byte %1, which the check word does not cover, holds %2, not 0")
                .arg(layout::kAfterCheckWord)
                .arg(f.value);
    }
    return {};
}

QString MonitorTexts::SettingLabel(const Setting& setting) {
    const KeyedLabel* keyed = LabelFor(setting.key);
    return keyed != nullptr ? tr(keyed->label) : QString::fromUtf8(setting.label);
}

QString MonitorTexts::Difference(const zk::Difference& difference) {
    if (difference.setting != nullptr) {
        const Setting& setting = *difference.setting;
        return tr("%1: expected %2, decoded %3")
            .arg(SettingLabel(setting), ListedValue(setting, difference.expected),
                 ListedValue(setting, difference.decoded));
    }
    return tr("%1: expected %2, decoded %3")
        .arg(tr("byte %1 (%2)").arg(difference.byte).arg(ByteRoleText(ByteRoleOf(difference.byte))),
             QString::fromStdString(difference.expected),
             QString::fromStdString(difference.decoded));
}

QString MonitorTexts::FaultText(const Wording& message) {
    // The translation names its own language, as Qt's own translations name their direction.
    const bool russian = tr("en", "the language of this translation, as its code") == "ru";
    return QString::fromStdString(russian && !message.russian.empty() ? message.russian
                                                                      : message.english);
}

QString MonitorTexts::FaultText(const std::exception& error) {
    return FaultText(WordingOf(error));
}

QString MonitorTexts::Outcome(const monitor::Comparison& comparison) {
    switch (comparison.outcome) {
        case ComparisonOutcome::NotCompared:
            return tr("nothing to compare with");
        case ComparisonOutcome::AsSent:
            return Signed(kAsSentSign, tr("as sent"));
        case ComparisonOutcome::Different:
            if (comparison.differences.empty()) {
                return Signed(kNotAsSentSign, tr("not as sent: the packet itself is not valid"));
            }
            return Signed(kNotAsSentSign, NotAsSent(comparison.differences.size()));
        case ComparisonOutcome::Unavailable:
            return Signed(kCannotCompareSign,
                          tr("cannot compare: %1").arg(FaultText(comparison.problem)));
    }
    return {};
}

QString MonitorTexts::OutcomeInList(const monitor::Comparison& comparison) {
    switch (comparison.outcome) {
        case ComparisonOutcome::NotCompared:
            return {};
        case ComparisonOutcome::AsSent:
            return Signed(kAsSentSign, tr("as sent"));
        case ComparisonOutcome::Different: {
            const int n = static_cast<int>(comparison.differences.size());
            if (n == 0) {
                return Signed(kNotAsSentSign, tr("not as sent"));
            }
            return Signed(kNotAsSentSign,
                          n == 1 ? tr("1 difference") : tr("%n differences", nullptr, n));
        }
        case ComparisonOutcome::Unavailable:
            return Signed(kCannotCompareSign, tr("cannot compare"));
    }
    return {};
}

QString MonitorTexts::Origin(const ComparedWith& with) {
    switch (with.source) {
        case ExpectationSource::LastSend: {
            if (with.logEntry == 0) {
                return tr("Compared with the last send in the programming log");
            }
            const QString entry = QString::number(with.logEntry);
            const QString sent = LoggedAt(with.loggedAt);
            if (!with.repeater) {
                return tr("Compared with log entry %1, sent %2 to a repeater without a name")
                    .arg(entry, sent);
            }
            return tr("Compared with log entry %1, sent %2 to “%3”")
                .arg(entry, sent, QString::fromStdString(*with.repeater));
        }
        case ExpectationSource::Profile:
            return tr("Compared with the profile %1").arg(FileName(with.profile));
        case ExpectationSource::Nothing:
            break;
    }
    return {};
}

QStringList MonitorTexts::Differences(const monitor::Comparison& comparison) {
    QStringList lines;
    for (const zk::Difference& difference : comparison.differences) {
        lines << Difference(difference);
    }
    return lines;
}

QString MonitorTexts::Level(double peakDbfs) {
    if (receive::IsSilence(peakDbfs)) {
        return tr("silent");
    }
    return tr("%1 dBFS").arg(QString::number(peakDbfs, 'f', 1));
}

QString MonitorTexts::Finding(const receive::Finding& f) {
    using receive::Problem;
    const auto db = [](double value) { return QString::number(value, 'f', 1); };
    switch (f.problem) {
        case Problem::NoTone:
            return tr(
                "no 1000 Hz tone heard: check the source, the cable and the input that is "
                "recording");
        case Problem::NoLeadIn:
            return tr("no lead-in heard: nothing steady at 1000 Hz lasted long enough for one");
        case Problem::OffCarrier:
            return (f.carrierOffsetHz > 0
                        ? tr("a tone near 1000 Hz, but its carrier is %1 Hz above 1000 Hz; at most "
                             "%2 Hz can be followed: check the radios' tuning")
                        : tr("a tone near 1000 Hz, but its carrier is %1 Hz below 1000 Hz; at most "
                             "%2 Hz can be followed: check the radios' tuning"))
                .arg(db(std::abs(f.carrierOffsetHz)), db(receive::kMaxCarrierOffsetHz));
        case Problem::PitchWandered:
            return tr(
                "a clean 1000 Hz tone, but its pitch wandered (wow, or a drifting "
                "oscillator) and no packet could be read after it");
        case Problem::ToneNoData:
            return tr("a 1000 Hz tone, but no packet could be read after it");
        case Problem::DataCutOff:
            return tr("data cut off: the recording ends %1 bits into a packet of %2; record at "
                      "least %3 s past the end of the lead-in tone")
                .arg(f.count)
                .arg(receive::kPacketBits)
                .arg(db(receive::kRecordPastLeadInSeconds));
        case Problem::TooNoisy:
            return tr("too noisy: estimated Eb/N0 %1 dB, need %2 dB; raise the level or bring the "
                      "radios closer")
                .arg(db(f.ebN0Db), db(receive::kRequiredEbN0Db));
        case Problem::BadPackets:
            return tr("%n packet(s) heard, but none with the right header and check word", nullptr,
                      static_cast<int>(f.count));
        case Problem::Overlap:
            return tr(
                "two transmissions overlapped: a lead-in began inside another packet; make "
                "sure only one programmer sends on the channel");
        case Problem::Distorted:
            return tr("distorted: the lead-in came through clean (Eb/N0 %1 dB), the data did not "
                      "(%2 dB): something in the path spoiled it, such as a speech codec, an "
                      "echo, a voice processor or a dropout")
                .arg(db(f.leadInEbN0Db), db(f.ebN0Db));
        case Problem::Dropout:
            return tr("the sound dropped out for %1 ms at %2 s, inside a packet: check the cables "
                      "and their plugs, and that the receiver's squelch and power saving stay "
                      "open through the whole signal")
                .arg(f.count)
                .arg(f.atSeconds, 0, 'f', 2);
        case Problem::NotNumbers:
            return tr(
                "%n samples are no numbers (NaN or infinite): the recording or the "
                "recorder is broken",
                nullptr, static_cast<int>(f.count));
        case Problem::Silent:
            return tr("too quiet: silent, every sample zero; check what the recording is fed from");
        case Problem::TooQuiet:
            return tr("too quiet: peak level %1; raise the recording level").arg(Level(f.peakDbfs));
        case Problem::Clipping:
            return tr("clipping: %n samples at full scale; lower the recording level", nullptr,
                      static_cast<int>(f.count));
    }
    return {};
}

QString MonitorTexts::Findings(const std::vector<receive::Finding>& findings) {
    QStringList lines;
    for (const receive::Finding& f : findings) {
        lines << Finding(f);
    }
    return lines.join(QLatin1Char('\n'));
}

QString MonitorTexts::When(const HeardPacket& heard, bool live) {
    if (live) {
        return QDateTime::fromSecsSinceEpoch(std::chrono::duration_cast<std::chrono::seconds>(
                                                 heard.heardAt.time_since_epoch())
                                                 .count())
            .toString(QStringLiteral("HH:mm:ss"));
    }
    const double at = heard.packet.startSeconds;
    const int minutes = static_cast<int>(at / 60);
    const double seconds = at - minutes * 60.0;
    QString place = tr("at %1:%2")
                        .arg(minutes)
                        .arg(QString::number(seconds, 'f', 2).rightJustified(5, QLatin1Char('0')));
    if (heard.channel > 0) {
        place += tr(", channel %1").arg(heard.channel + 1);
    }
    return place;
}

QStringList MonitorTexts::Row(const HeardPacket& heard, bool live,
                              const monitor::Comparison& comparison) {
    return {When(heard, live), Verdict(VerdictOf(heard.packet)), Margin(heard.packet.marginDb),
            OutcomeInList(comparison)};
}

}  // namespace zk::monitor
