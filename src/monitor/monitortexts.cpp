#include "monitortexts.h"

#include <QDateTime>
#include <QFileInfo>
#include <cmath>
#include <iterator>

#include "generate.h"
#include "leveltext.h"
#include "settings.h"

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

QString SquelchMode(int mode) {
    switch (mode) {
        case static_cast<int>(receive::SquelchMode::Audio):
            return MonitorTexts::tr("audio");
        case static_cast<int>(receive::SquelchMode::SqlLow):
            return MonitorTexts::tr("SQL line, active low");
        case static_cast<int>(receive::SquelchMode::SqlHigh):
            return MonitorTexts::tr("SQL line, active high");
        default:
            return MonitorTexts::tr("unknown (%1)").arg(mode);
    }
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

QList<SettingLine> MonitorTexts::Settings(const receive::DecodedSettings& s) {
    const auto code = [](const std::string& text) { return QString::fromStdString(text); };
    const QString values[] = {
        code(s.codes[0]),
        code(s.codes[1]),
        code(s.codes[2]),
        code(s.codes[3]),
        code(s.codes[4]),
        OnOff(s.dtmf),
        QString::number(s.maxRecord),
        QStringLiteral("%1:%2:%3")
            .arg(s.periodHours)
            .arg(s.periodMinutes, 2, 10, QLatin1Char('0'))
            .arg(s.periodSeconds, 2, 10, QLatin1Char('0')),
        tr("%1 x 100 ms").arg(s.beepLength),
        tr("%1 dB").arg(s.beepLevel),
        SquelchMode(s.squelchMode),
        QString::number(s.threshold),
        OnOff(s.rxFilter),
        OnOff(s.txFilter),
        QString::number(s.adcGain),
        QString::number(s.dacAttenuation),
        OnOff(s.hang),
        OnOff(s.sleep),
    };
    static_assert(std::size(values) == kSettings.size());
    QList<SettingLine> lines;
    for (std::size_t i = 0; i < kSettings.size(); ++i) {
        lines.push_back({SettingLabel(i), values[i]});
    }
    for (const std::string& problem : s.problems) {
        lines.push_back({tr("problem"), QString::fromStdString(problem)});
    }
    for (const std::string& note : s.notes) {
        lines.push_back({tr("note"), QString::fromStdString(note)});
    }
    return lines;
}

QString MonitorTexts::SettingLabel(std::size_t index) {
    // In kSettings' order, which is the programmer window's.
    const QString labels[] = {
        tr("user open code"),
        tr("user close code"),
        tr("administrator open code"),
        tr("administrator close code"),
        tr("user mode code"),
        tr("opening and closing by DTMF"),
        tr("maximum recording"),
        tr("call-sign period"),
        tr("beep length"),
        tr("beep level"),
        tr("squelch"),
        tr("squelch threshold"),
        tr("receive correction filter"),
        tr("transmit correction filter"),
        tr("ADC gain"),
        tr("DAC attenuation"),
        tr("release delay (hang)"),
        tr("economy (sleep) mode"),
    };
    static_assert(std::size(labels) == kSettings.size());
    return index < kSettings.size() ? labels[index] : QString();
}

QString MonitorTexts::Difference(const zk::Difference& difference) {
    QString what;
    if (difference.setting != nullptr) {
        what = SettingLabel(static_cast<std::size_t>(difference.setting - kSettings.data()));
    } else {
        what =
            tr("byte %1 (%2)").arg(difference.byte).arg(ByteRoleText(ByteRoleOf(difference.byte)));
    }
    return tr("%1: expected %2, decoded %3")
        .arg(what, QString::fromStdString(difference.expected),
             QString::fromStdString(difference.decoded));
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
                          tr("cannot compare: %1").arg(QString::fromStdString(comparison.problem)));
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
