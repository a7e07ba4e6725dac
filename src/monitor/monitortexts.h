// Everything the monitor window says about what it heard, in the operator's language: the
// receiver's state, a packet's verdict, margin, check word, bytes and settings. Plain functions
// of the receiving side's records, so that they are tested without a display; the words go
// through Qt's translation (the Russian ones come from translations/).
#pragma once

#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QStringList>
#include <exception>

#include "comparison.h"
#include "decodedsettings.h"
#include "marginband.h"
#include "packet.h"
#include "packetverdict.h"
#include "receivesession.h"
#include "receivestate.h"
#include "wording.h"

namespace zk::monitor {

struct SettingLine {
    QString name;
    QString value;
};

class MonitorTexts {
    Q_DECLARE_TR_FUNCTIONS(MonitorTexts)

  public:
    // "waiting for the lead-in", "lead-in tone", "receiving: bit 17 of 512", "packet".
    static QString State(const ReceiveState& state);
    static QString Verdict(PacketVerdict verdict);
    // "+7.3 dB", "-2.0 dB".
    static QString Margin(double marginDb);
    // What the gauge's colour means: "good", "marginal", "too low".
    static QString Band(MarginBand band);
    // "check word 1A2B: right", or "check word heard 1A2B, computed from the bytes 3C4D: wrong".
    static QString CheckWord(const receive::Packet& packet);
    // The 64 lines " 0 7F", " 1 04", ... as the programmer window lists the array.
    static QStringList Listing(const receive::Packet& packet);
    // Every setting by name, in the programmer window's order, then the problems and notes.
    static QList<SettingLine> Settings(const DecodedSettings& settings);
    // What a received array holds that generate could not have sent, naming the setting as the
    // list does: "beep level: 21 is outside 0..20".
    static QString SettingsFindingText(const zk::SettingsFinding& finding);
    // A setting's name as the settings list shows it, translated by its key.
    static QString SettingLabel(const Setting& setting);
    // "user open code: expected 1590, decoded 7204", "byte 46 (marker): expected 00, decoded EE".
    static QString Difference(const zk::Difference& difference);
    // A fault's message in the window's language: its Russian wording when the window speaks
    // Russian and the fault has one, its English otherwise.
    static QString FaultText(const Wording& message);
    static QString FaultText(const std::exception& error);
    // How the packet compares, under a sign that reads without colour: "✔ as sent",
    // "✘ not as sent: 2 differences", "⚠ cannot compare: <why>", "nothing to compare with".
    static QString Outcome(const monitor::Comparison& comparison);
    // The same for the list's "Compared" column, short enough to keep the list narrow: "✔ as
    // sent", "✘ 2 differences", "✘ not as sent", "⚠ cannot compare"; empty when not compared.
    static QString OutcomeInList(const monitor::Comparison& comparison);
    // What it was compared with: "Compared with log entry 12, sent 2026-12-07 14:30:00 to
    // “North hill”" (the time in the local zone), or "Compared with the profile north.toml";
    // empty when nothing was chosen.
    static QString Origin(const ComparedWith& with);
    // One line per difference.
    static QStringList Differences(const monitor::Comparison& comparison);
    // "-12.3 dBFS", or "silent".
    static QString Level(double peakDbfs);
    // Why nothing valid came out of a recording, one finding a line.
    static QString Finding(const receive::Finding& finding);
    static QString Findings(const std::vector<receive::Finding>& findings);
    // When it was heard: the clock time for live sound, the place in a recording for a file.
    static QString When(const HeardPacket& heard, bool live);
    // The list's columns for a packet: when, verdict, margin, and how it compares.
    static QStringList Row(const HeardPacket& heard, bool live,
                           const monitor::Comparison& comparison);
};

}  // namespace zk::monitor
