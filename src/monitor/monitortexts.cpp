#include "monitortexts.h"

#include <QDateTime>
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

QStringList MonitorTexts::Comparison(const monitor::Comparison& comparison) {
    QStringList lines;
    switch (comparison.outcome) {
        case ComparisonOutcome::NotCompared:
            lines << tr("nothing to compare with");
            break;
        case ComparisonOutcome::AsSent:
            lines << tr("as sent");
            break;
        case ComparisonOutcome::Different:
            lines << (comparison.differences.empty()
                          ? tr("not as sent: the packet itself is not valid")
                          : tr("not as sent: %n difference(s)", nullptr,
                               static_cast<int>(comparison.differences.size())));
            break;
        case ComparisonOutcome::Unavailable:
            lines << tr("cannot compare: %1").arg(QString::fromStdString(comparison.problem));
            break;
    }
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

QString MonitorTexts::Summary(const HeardPacket& heard, bool live,
                              const monitor::Comparison& comparison) {
    const QString summary = tr("%1  %2, margin %3")
                                .arg(When(heard, live), Verdict(VerdictOf(heard.packet)),
                                     Margin(heard.packet.marginDb));
    if (comparison.outcome == ComparisonOutcome::NotCompared) {
        return summary;
    }
    return tr("%1; %2").arg(summary, Comparison(comparison).first());
}

}  // namespace zk::monitor
