// The repeater's settings read back out of a transfer array (one heard over the air, or one made
// to compare with), by the same rows of kSettings that generate writes by, with what in the array
// generate could not have sent. How they are shown (options, labelled lines, JSON, the monitor's
// list) is up to those who show them.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "_2GL.h"
#include "settingstable.h"

namespace zk {

// Which part of the period a finding names; Whole for every other setting.
enum class PeriodPart { Whole, Seconds, Minutes, Hours };

// One thing in an array that generate could not have sent, or that lies outside the check word,
// with the numbers it names. Put into words where it is shown: the command line's English in
// packetcheck (SettingsFindingWords), the monitor's through its translations.
struct SettingsFinding {
    enum class Kind {
        NoCode,             // `setting`'s bytes hold no code
        OutOfRange,         // `value` (`part` of `setting`) lies outside `minimum`..`maximum`
        PeriodDisagrees,    // `hours`:`minutes`:`seconds` make `value` s; `total` s were sent
        NotAFlag,           // a switch's byte holds `value`, more than 1
        NoSquelchMode,      // the squelch mode's byte holds `value`, not 0, 1 or 2
        MarkersUncomputed,  // the markers hold EE FF: the sender computed no check word
        MarkersNotZero,     // the markers hold anything else but zero
        UnwrittenNotZero,   // bytes never written hold something
        AfterCheckWord,     // the byte after the check word holds `value`
    };
    Kind kind;
    const Setting* setting = nullptr;
    PeriodPart part = PeriodPart::Whole;
    std::int64_t value = 0;
    std::int64_t minimum = 0;
    std::int64_t maximum = 0;
    int hours = 0;
    int minutes = 0;
    int seconds = 0;
    std::uint32_t total = 0;

    bool operator==(const SettingsFinding&) const = default;
};

struct DecodedSettings {
    // By field, as a control panel holds them. Codes as typed: "7204", "*", "#"; "?" for a
    // field that holds no code.
    std::array<std::string, kCodeFields.size()> codes;
    // Each switch's byte as sent: 0 off, anything else on (more than 1 is a problem).
    std::array<int, kCheckFields.size()> switches{};
    // The numbers, the period's parts under PP_Hour, PP_Min and PP_Sek, and the threshold under
    // the field of the detector in force (ThresholdField).
    std::array<int, kSpinFields.size()> numbers{};
    std::uint32_t periodTotal = 0;  // the period in seconds, sent alongside its parts
    int squelchMode = 0;            // the byte as sent; a SquelchMode when 0..2
    // Anything generate could not have sent within the check word's bytes: values out of
    // range, a period whose two forms disagree, bytes that are never written holding something.
    // Empty for a sound array; a packet with a right check word and problems would hand the
    // repeater nonsense.
    std::vector<SettingsFinding> problems;
    // What is odd outside the check word: byte 63 is sent but never checked or read, so a
    // non-zero byte 63 tells of a foreign sender or a bit error there, not of bad settings.
    std::vector<SettingsFinding> notes;

    const std::string& Code(CodeField field) const {
        return codes[static_cast<std::size_t>(field)];
    }
    bool On(CheckField field) const { return switches[static_cast<std::size_t>(field)] != 0; }
    int Number(SpinField field) const { return numbers[static_cast<std::size_t>(field)]; }
    int Threshold() const { return Number(ThresholdField(static_cast<SquelchMode>(squelchMode))); }
};

DecodedSettings DecodeSettings(const std::array<std::uint8_t, kTransferSize>& bytes);

}  // namespace zk
