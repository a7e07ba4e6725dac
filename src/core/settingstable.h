// The repeater's settings, one row each: what the command line, profiles and JSON call it, how
// the operator's texts name it, and where it lies in the 64-byte message. generate writes by
// these rows, a received array is read back by them, and the monitor translates their labels by
// key, so that a setting is named and placed once. The message's framing (header, markers, check
// word, bytes never written) is arraylayout.h's.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "startvalues.h"

namespace zk {

// What form a setting's bytes take.
enum class SettingKind {
    Code,       // four symbols 0x80 + value, or one 0xC0 + value (accesscode.h)
    Switch,     // one byte: 0 off, 1 on
    Number,     // little-endian over its bytes, in its spin field's range
    Period,     // the total in seconds (4 bytes, little-endian), then seconds, minutes, hours
    Squelch,    // one byte: the squelch-open detector (SquelchMode)
    Threshold,  // one byte, in the range of the detector in force
};

struct Setting {
    const char* key;  // profiles, config.toml, JSON, and the option --key
    SettingKind kind;
    int field;  // CodeField, CheckField or SpinField, by kind
    int firstByte;
    int byteCount;
    const char* label;      // as a labelled line names it: "user open code"
    const char* shortName;  // as a problem with a received array names it: "DTMF", "hang"
    const char* unit;       // after the value on a labelled line ("dB"), or empty
    const char* valueName;  // the option's value in the help: "CODE", "N"
    const char* help;       // one line, with the start value in brackets
};

// Where the period's parts lie within its bytes, after the four of its total.
inline constexpr int kPeriodSecondsOffset = 4;
inline constexpr int kPeriodMinutesOffset = 5;
inline constexpr int kPeriodHoursOffset = 6;

namespace settingsrows {
template <typename Field>
constexpr int F(Field field) {
    return static_cast<int>(field);
}
}  // namespace settingsrows

// In the programmer window's order, which is also the order generate writes them in.
inline constexpr std::array<Setting, 18> kSettings{{
    {"user-open", SettingKind::Code, settingsrows::F(CodeField::KodOtkrPols), 4, 4,
     "user open code", "user open code", "", "CODE", "user open code (7204)"},
    {"user-close", SettingKind::Code, settingsrows::F(CodeField::KodZakrPols), 8, 4,
     "user close code", "user close code", "", "CODE", "user close code (*)"},
    {"admin-open", SettingKind::Code, settingsrows::F(CodeField::KodOtkrAdmin), 12, 4,
     "administrator open code", "administrator open code", "", "CODE",
     "administrator open code (8135)"},
    {"admin-close", SettingKind::Code, settingsrows::F(CodeField::KodZakrAdm), 16, 4,
     "administrator close code", "administrator close code", "", "CODE",
     "administrator close code (#)"},
    {"user-mode", SettingKind::Code, settingsrows::F(CodeField::KodPolz), 20, 4, "user mode code",
     "user mode code", "", "CODE",
     "code that switches to user mode (6914); a code is one or four of 0-9 A B C D * #"},
    {"dtmf", SettingKind::Switch, settingsrows::F(CheckField::Razr_DTMF), 40, 1,
     "opening and closing by DTMF", "DTMF", "", "on|off",
     "opening and closing by DTMF allowed (on)"},
    {"max-record", SettingKind::Number, settingsrows::F(SpinField::MaxDlitZapRep), 24, 2,
     "maximum recording", "maximum recording", "", "N", "maximum recording length, 1..64 (64)"},
    {"period", SettingKind::Period, 0, 28, 7, "call-sign period", "period", "", "H:M:S",
     "call-sign repeat period, hours 0..64, minutes and seconds 0..60 (0:30:0)"},
    {"beep-length", SettingKind::Number, settingsrows::F(SpinField::DlitBip), 35, 1, "beep length",
     "beep length", "x 100 ms", "N", "beep length in 100 ms steps, 0..9 (0)"},
    {"beep-level", SettingKind::Number, settingsrows::F(SpinField::UrBip), 36, 1, "beep level",
     "beep level", "dB", "N", "beep level in dB, 0..20 (0)"},
    {"squelch", SettingKind::Squelch, 0, 37, 1, "squelch", "squelch mode", "", "MODE",
     "squelch-open detector: audio, sql-high or sql-low (audio)"},
    {"threshold", SettingKind::Threshold, 0, 38, 1, "squelch threshold", "squelch threshold", "",
     "N",
     "squelch threshold: 1..99 (0.1 % of Umax) for audio, 1..100 (100 mV) for sql-high and "
     "sql-low (5)"},
    {"rx-filter", SettingKind::Switch, settingsrows::F(CheckField::KF_PRM), 43, 1,
     "receive correction filter", "receive filter", "", "on|off", "receive correction filter (on)"},
    {"tx-filter", SettingKind::Switch, settingsrows::F(CheckField::KF_PRD), 44, 1,
     "transmit correction filter", "transmit filter", "", "on|off",
     "transmit correction filter (on)"},
    {"adc-gain", SettingKind::Number, settingsrows::F(SpinField::UsilADC), 41, 1, "ADC gain",
     "ADC gain", "", "N", "ADC gain, 0..20 (0)"},
    {"dac-atten", SettingKind::Number, settingsrows::F(SpinField::OslDAC), 42, 1, "DAC attenuation",
     "DAC attenuation", "", "N", "DAC attenuation, 0..20 (0)"},
    {"hang", SettingKind::Switch, settingsrows::F(CheckField::ZAmOtp), 39, 1,
     "release delay (hang)", "hang", "", "on|off", "release delay (off)"},
    {"sleep", SettingKind::Switch, settingsrows::F(CheckField::RegSleep), 45, 1,
     "economy (sleep) mode", "sleep", "", "on|off", "economy mode (off)"},
}};

constexpr const Setting* FindSetting(std::string_view key) {
    for (const Setting& setting : kSettings) {
        if (key == setting.key) {
            return &setting;
        }
    }
    return nullptr;
}

// A setting the code names by its key; a key that is not in the table does not compile.
consteval const Setting& SettingNamed(std::string_view key) {
    const Setting* setting = FindSetting(key);
    if (setting == nullptr) {
        throw "no setting has this key";
    }
    return *setting;
}

constexpr int LastByte(const Setting& setting) {
    return setting.firstByte + setting.byteCount - 1;
}

// The setting whose bytes hold `byte`, or nullptr.
constexpr const Setting* SettingAt(int byte) {
    for (const Setting& setting : kSettings) {
        if (byte >= setting.firstByte && byte <= LastByte(setting)) {
            return &setting;
        }
    }
    return nullptr;
}

// The settings in the order their bytes lie in the message: a received array's problems are
// named in that order.
constexpr std::array<const Setting*, kSettings.size()> SettingsInByteOrder() {
    std::array<const Setting*, kSettings.size()> order{};
    for (std::size_t i = 0; i < kSettings.size(); ++i) {
        std::size_t j = i;
        for (; j > 0 && order[j - 1]->firstByte > kSettings[i].firstByte; --j) {
            order[j] = order[j - 1];
        }
        order[j] = &kSettings[i];
    }
    return order;
}

// The squelch-open detector as the repeater takes it in its byte, and as options name it.
enum class SquelchMode { Audio = 0, SqlLow = 1, SqlHigh = 2 };

inline constexpr std::array<const char*, 3> kSquelchModeNames{"audio", "sql-low", "sql-high"};

// "audio", "sql-low", "sql-high"; "?" for a byte that is no mode.
constexpr const char* SquelchModeName(int mode) {
    return mode >= 0 && mode < static_cast<int>(kSquelchModeNames.size())
               ? kSquelchModeNames[static_cast<std::size_t>(mode)]
               : "?";
}

// The mode an option or profile names, if it names one.
constexpr std::optional<SquelchMode> SquelchModeNamed(std::string_view name) {
    for (std::size_t mode = 0; mode < kSquelchModeNames.size(); ++mode) {
        if (name == kSquelchModeNames[mode]) {
            return static_cast<SquelchMode>(mode);
        }
    }
    return std::nullopt;
}

// The names as offered to the operator: "audio, sql-high" and then `lastJoin` "sql-low", the
// audio detector first, then the SQL input's levels from the top.
inline std::string SquelchModeChoices(std::string_view lastJoin) {
    const auto name = [](SquelchMode mode) { return SquelchModeName(static_cast<int>(mode)); };
    return std::string(name(SquelchMode::Audio)) + ", " + name(SquelchMode::SqlHigh) +
           std::string(lastJoin) + name(SquelchMode::SqlLow);
}

// The window's squelch page and active level as the detector they select.
constexpr SquelchMode SquelchModeOf(int sqlPage, int sqlLevel) {
    if (sqlPage == kSqlPageAudio) {
        return SquelchMode::Audio;
    }
    return sqlLevel == kSqlLevelHigh ? SquelchMode::SqlHigh : SquelchMode::SqlLow;
}

// The threshold's control depends on the detector: audio level or the SQL input.
constexpr SpinField ThresholdField(SquelchMode mode) {
    return mode == SquelchMode::Audio ? SpinField::SQL0_PorogPerekl : SpinField::SQL_PorogPerekl;
}

}  // namespace zk
