// The repeater's settings read back out of a received transfer array, for the operator to
// compare with what was meant, and as the `zk77q3 generate` options that would send them again.
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
    // Anything generate could not have sent: bytes out of range, a period whose two forms
    // disagree, bytes that are never written holding something. Empty for a sound array.
    std::vector<std::string> problems;
};

DecodedSettings DecodeSettings(const std::array<std::uint8_t, kTransferSize>& bytes);

// The options of `zk77q3 generate` that send these settings, one argument each:
// {"--user-open", "7204", "--user-close", "*", ...}.
std::vector<std::string> SettingsAsOptions(const DecodedSettings& settings);

// The same as one line for a shell: values with characters the shell would expand are quoted
// ('*', '#').
std::string SettingsAsCommandLine(const DecodedSettings& settings);

// One labelled line per setting: "user open code: 7204", "call-sign period: 0:30:0", ...
std::vector<std::string> SettingsAsLines(const DecodedSettings& settings);

}  // namespace zk::receive
