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
    std::vector<std::string> problems;
    // What is odd outside the check word: byte 63 is sent but never checked or read, so a
    // non-zero byte 63 tells of a foreign sender or a bit error there, not of bad settings.
    std::vector<std::string> notes;

    const std::string& Code(CodeField field) const {
        return codes[static_cast<std::size_t>(field)];
    }
    bool On(CheckField field) const { return switches[static_cast<std::size_t>(field)] != 0; }
    int Number(SpinField field) const { return numbers[static_cast<std::size_t>(field)]; }
    int Threshold() const { return Number(ThresholdField(static_cast<SquelchMode>(squelchMode))); }
};

DecodedSettings DecodeSettings(const std::array<std::uint8_t, kTransferSize>& bytes);

}  // namespace zk
