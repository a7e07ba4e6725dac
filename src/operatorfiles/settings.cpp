#include "settings.h"

#include <charconv>
#include <optional>

#include "accesscode.h"
#include "accesscodetext.h"
#include "messages.h"

namespace zk {

namespace {

template <typename Field>
constexpr int F(Field field) {
    return static_cast<int>(field);
}

std::optional<int> Decimal(std::string_view text) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || ptr != end) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

// No sign: a period of "-0" minutes is no period.
int WholeNumberIn(const Wording& subject, std::string_view text, int minimum, int maximum) {
    const bool digits = !text.empty() && text.find_first_not_of("0123456789") == text.npos;
    const std::optional<int> value = digits ? Decimal(text) : std::nullopt;
    if (!value || *value < minimum || *value > maximum) {
        const std::string range = std::to_string(minimum) + ".." + std::to_string(maximum);
        throw UsageError(
            subject + Verbatim(": " + Quoted(text)) +
            Wording{" is not a whole number in " + range, " не целое число в пределах " + range});
    }
    return *value;
}

int WholeNumberIn(const std::string& subject, std::string_view text, int minimum, int maximum) {
    return WholeNumberIn(Verbatim(subject), text, minimum, maximum);
}

namespace {

int NumberIn(const Wording& subject, std::string_view text, SpinField field) {
    return WholeNumberIn(subject, text, Info(field).minimum, Info(field).maximum);
}

bool OnOff(const std::string& subject, std::string_view text) {
    if (text == "on" || text == "off") {
        return text == "on";
    }
    throw UsageError(Verbatim(subject + ": " + Quoted(text)) +
                     Wording{" must be on or off", ": допустимо только on или off"});
}

void SetPeriod(PanelState& panel, const std::string& subject, std::string_view text) {
    const std::size_t first = text.find(':');
    const std::size_t second = first == text.npos ? first : text.find(':', first + 1);
    if (second == text.npos) {
        throw UsageError(Verbatim(subject + ": " + Quoted(text)) +
                         Wording{" must be H:M:S (hours 0..64, minutes 0..60, seconds 0..60)",
                                 ": нужно Ч:М:С (часы 0..64, минуты 0..60, секунды 0..60)"});
    }
    const Wording part = Verbatim(subject);
    panel.Spin(SpinField::PP_Hour) =
        NumberIn(part + Wording{" (hours)", " (часы)"}, text.substr(0, first), SpinField::PP_Hour);
    panel.Spin(SpinField::PP_Min) =
        NumberIn(part + Wording{" (minutes)", " (минуты)"},
                 text.substr(first + 1, second - first - 1), SpinField::PP_Min);
    panel.Spin(SpinField::PP_Sek) = NumberIn(part + Wording{" (seconds)", " (секунды)"},
                                             text.substr(second + 1), SpinField::PP_Sek);
}

void SetSquelch(PanelState& panel, const std::string& subject, std::string_view text) {
    if (text == "audio") {
        panel.sqlPage = kSqlPageAudio;
    } else if (text == "sql-high" || text == "sql-low") {
        panel.sqlPage = kSqlPageInput;
        panel.sqlLevel = text == "sql-high" ? kSqlLevelHigh : kSqlLevelLow;
    } else {
        throw UsageError(Verbatim(subject + ": " + Quoted(text)) +
                         Wording{" must be audio, sql-high or sql-low",
                                 ": допустимо только audio, sql-high или sql-low"});
    }
}

// The threshold's control depends on the squelch mode: audio level or the SQL input.
SpinField ThresholdField(const PanelState& panel) {
    return panel.sqlPage == kSqlPageAudio ? SpinField::SQL0_PorogPerekl
                                          : SpinField::SQL_PorogPerekl;
}

void Apply(PanelState& panel, const Setting& setting, const GivenValue& value) {
    switch (setting.kind) {
        case SettingKind::Code:
            panel.Code(static_cast<CodeField>(setting.field)) = CapitalCodeLetters(value.text);
            break;
        case SettingKind::Switch:
            panel.Check(static_cast<CheckField>(setting.field)) = OnOff(value.subject, value.text);
            break;
        case SettingKind::Number: {
            const auto field = static_cast<SpinField>(setting.field);
            panel.Spin(field) = NumberIn(Verbatim(value.subject), value.text, field);
            break;
        }
        case SettingKind::Period:
            SetPeriod(panel, value.subject, value.text);
            break;
        case SettingKind::Squelch:
            SetSquelch(panel, value.subject, value.text);
            break;
        case SettingKind::Threshold:
            panel.Spin(ThresholdField(panel)) =
                NumberIn(Verbatim(value.subject), value.text, ThresholdField(panel));
            break;
    }
}

// Validates each code as generate will and keeps it trimmed; the first rejected code in the
// window's order is reported, in the command line's words, as it was given.
void CheckAccessCodes(PanelState& panel, const GivenSettings& given) {
    for (const Setting& setting : kSettings) {
        if (setting.kind != SettingKind::Code) {
            continue;
        }
        std::string& code = panel.Code(static_cast<CodeField>(setting.field));
        std::string normalised = code;
        const CodeFault fault = CheckAccessCode(normalised);
        if (fault != CodeFault::None) {
            const auto it = given.find(setting.key);
            const std::string subject =
                it != given.end() ? it->second.subject : std::string("--") + setting.key;
            const std::string& typed = it != given.end() ? it->second.text : code;
            throw UsageError(Verbatim(subject + ": " + Quoted(typed) + ": ") +
                             CodeFaultText(fault, normalised.size()));
        }
        std::size_t first = 0;
        while (static_cast<unsigned char>(code[first]) <= 0x20) {
            ++first;  // a valid code has a symbol, so this stops inside it
        }
        code = code.substr(first, normalised.size());
    }
}

}  // namespace

const std::array<Setting, 18> kSettings{{
    {"user-open", SettingKind::Code, F(CodeField::KodOtkrPols), "CODE", "user open code (7204)",
     "user open code", ""},
    {"user-close", SettingKind::Code, F(CodeField::KodZakrPols), "CODE", "user close code (*)",
     "user close code", ""},
    {"admin-open", SettingKind::Code, F(CodeField::KodOtkrAdmin), "CODE",
     "administrator open code (8135)", "administrator open code", ""},
    {"admin-close", SettingKind::Code, F(CodeField::KodZakrAdm), "CODE",
     "administrator close code (#)", "administrator close code", ""},
    {"user-mode", SettingKind::Code, F(CodeField::KodPolz), "CODE",
     "code that switches to user mode (6914); a code is one or four of 0-9 A B C D * #",
     "user mode code", ""},
    {"dtmf", SettingKind::Switch, F(CheckField::Razr_DTMF), "on|off",
     "opening and closing by DTMF allowed (on)", "opening and closing by DTMF", ""},
    {"max-record", SettingKind::Number, F(SpinField::MaxDlitZapRep), "N",
     "maximum recording length, 1..64 (64)", "maximum recording", ""},
    {"period", SettingKind::Period, 0, "H:M:S",
     "call-sign repeat period, hours 0..64, minutes and seconds 0..60 (0:30:0)", "call-sign period",
     ""},
    {"beep-length", SettingKind::Number, F(SpinField::DlitBip), "N",
     "beep length in 100 ms steps, 0..9 (0)", "beep length", "x 100 ms"},
    {"beep-level", SettingKind::Number, F(SpinField::UrBip), "N", "beep level in dB, 0..20 (0)",
     "beep level", "dB"},
    {"squelch", SettingKind::Squelch, 0, "MODE",
     "squelch-open detector: audio, sql-high or sql-low (audio)", "squelch", ""},
    {"threshold", SettingKind::Threshold, 0, "N",
     "squelch threshold: 1..99 (0.1 % of Umax) for audio, 1..100 (100 mV) for sql-high and "
     "sql-low (5)",
     "squelch threshold", ""},
    {"rx-filter", SettingKind::Switch, F(CheckField::KF_PRM), "on|off",
     "receive correction filter (on)", "receive correction filter", ""},
    {"tx-filter", SettingKind::Switch, F(CheckField::KF_PRD), "on|off",
     "transmit correction filter (on)", "transmit correction filter", ""},
    {"adc-gain", SettingKind::Number, F(SpinField::UsilADC), "N", "ADC gain, 0..20 (0)", "ADC gain",
     ""},
    {"dac-atten", SettingKind::Number, F(SpinField::OslDAC), "N", "DAC attenuation, 0..20 (0)",
     "DAC attenuation", ""},
    {"hang", SettingKind::Switch, F(CheckField::ZAmOtp), "on|off", "release delay (off)",
     "release delay (hang)", ""},
    {"sleep", SettingKind::Switch, F(CheckField::RegSleep), "on|off", "economy mode (off)",
     "economy (sleep) mode", ""},
}};

const Setting* FindSetting(std::string_view key) {
    for (const Setting& setting : kSettings) {
        if (key == setting.key) {
            return &setting;
        }
    }
    return nullptr;
}

PanelState ResolveSettings(const GivenSettings& given) {
    PanelState panel;
    // The squelch mode first: the threshold's range depends on it, wherever each was given.
    for (const Setting& setting : kSettings) {
        const auto it = given.find(setting.key);
        if (it != given.end() && setting.kind != SettingKind::Threshold) {
            Apply(panel, setting, it->second);
        }
    }
    if (const auto it = given.find("threshold"); it != given.end()) {
        Apply(panel, *FindSetting("threshold"), it->second);
    }
    CheckAccessCodes(panel, given);
    return panel;
}

bool IsNumberSetting(const Setting& setting) {
    return setting.kind == SettingKind::Number || setting.kind == SettingKind::Threshold;
}

std::string SettingText(const PanelState& panel, const Setting& setting) {
    PanelState& p = const_cast<PanelState&>(panel);  // the accessors are not const
    switch (setting.kind) {
        case SettingKind::Code:
            return p.Code(static_cast<CodeField>(setting.field));
        case SettingKind::Switch:
            return p.Check(static_cast<CheckField>(setting.field)) ? "on" : "off";
        case SettingKind::Number:
            return std::to_string(p.Spin(static_cast<SpinField>(setting.field)));
        case SettingKind::Period:
            return std::to_string(p.Spin(SpinField::PP_Hour)) + ":" +
                   std::to_string(p.Spin(SpinField::PP_Min)) + ":" +
                   std::to_string(p.Spin(SpinField::PP_Sek));
        case SettingKind::Squelch:
            if (panel.sqlPage == kSqlPageAudio) {
                return "audio";
            }
            return panel.sqlLevel == kSqlLevelHigh ? "sql-high" : "sql-low";
        case SettingKind::Threshold:
            return std::to_string(p.Spin(ThresholdField(panel)));
    }
    return {};
}

}  // namespace zk
