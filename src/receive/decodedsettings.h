// The repeater's settings read back out of a received transfer array, as values, with what in the
// array generate could not have sent. How they are shown (options, labelled lines, JSON) is the
// command line's business.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "_2GL.h"

namespace zk::receive {

enum class SquelchMode { Audio = 0, SqlLow = 1, SqlHigh = 2 };

struct DecodedSettings {
    // User open, user close, administrator open, administrator close, user mode, as typed:
    // "7204", "*", "#"; "?" for a field that holds no code.
    std::array<std::string, 5> codes;
    int maxRecord = 0;
    int periodHours = 0;
    int periodMinutes = 0;
    int periodSeconds = 0;
    std::uint32_t periodTotal = 0;  // the same period in seconds, sent alongside
    int beepLength = 0;             // in 100 ms steps
    int beepLevel = 0;              // dB
    int squelchMode = 0;            // byte 37 as sent; SquelchMode when 0..2
    int threshold = 0;
    bool hang = false;
    bool dtmf = false;
    int adcGain = 0;
    int dacAttenuation = 0;
    bool rxFilter = false;
    bool txFilter = false;
    bool sleep = false;
    // Anything generate could not have sent within the check word's bytes: values out of
    // range, a period whose two forms disagree, bytes that are never written holding something.
    // Empty for a sound array; a packet with a right check word and problems would hand the
    // repeater nonsense.
    std::vector<std::string> problems;
    // What is odd outside the check word: byte 63 is sent but never checked or read, so a
    // non-zero byte 63 tells of a foreign sender or a bit error there, not of bad settings.
    std::vector<std::string> notes;
};

DecodedSettings DecodeSettings(const std::array<std::uint8_t, kTransferSize>& bytes);

}  // namespace zk::receive
