#include "monitortexts.h"

#include <QDateTime>
#include <cmath>

#include "generate.h"
#include "leveltext.h"

namespace zk::monitor {

namespace {

QString OnOff(bool on) {
    return on ? MonitorTexts::tr("on") : MonitorTexts::tr("off");
}

QString Hex4(std::uint16_t word) {
    return QStringLiteral("%1").arg(word, 4, 16, QLatin1Char('0')).toUpper();
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
    QList<SettingLine> lines{
        {tr("user open code"), code(s.codes[0])},
        {tr("user close code"), code(s.codes[1])},
        {tr("administrator open code"), code(s.codes[2])},
        {tr("administrator close code"), code(s.codes[3])},
        {tr("user mode code"), code(s.codes[4])},
        {tr("opening and closing by DTMF"), OnOff(s.dtmf)},
        {tr("maximum recording"), QString::number(s.maxRecord)},
        {tr("call-sign period"), QStringLiteral("%1:%2:%3")
                                     .arg(s.periodHours)
                                     .arg(s.periodMinutes, 2, 10, QLatin1Char('0'))
                                     .arg(s.periodSeconds, 2, 10, QLatin1Char('0'))},
        {tr("beep length"), tr("%1 x 100 ms").arg(s.beepLength)},
        {tr("beep level"), tr("%1 dB").arg(s.beepLevel)},
        {tr("squelch"), SquelchMode(s.squelchMode)},
        {tr("squelch threshold"), QString::number(s.threshold)},
        {tr("receive correction filter"), OnOff(s.rxFilter)},
        {tr("transmit correction filter"), OnOff(s.txFilter)},
        {tr("ADC gain"), QString::number(s.adcGain)},
        {tr("DAC attenuation"), QString::number(s.dacAttenuation)},
        {tr("release delay (hang)"), OnOff(s.hang)},
        {tr("economy (sleep) mode"), OnOff(s.sleep)},
    };
    for (const std::string& problem : s.problems) {
        lines.push_back({tr("problem"), QString::fromStdString(problem)});
    }
    for (const std::string& note : s.notes) {
        lines.push_back({tr("note"), QString::fromStdString(note)});
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

QString MonitorTexts::Summary(const HeardPacket& heard, bool live) {
    return tr("%1  %2, margin %3")
        .arg(When(heard, live), Verdict(VerdictOf(heard.packet)), Margin(heard.packet.marginDb));
}

}  // namespace zk::monitor
