#include "settings.h"

#include <charconv>
#include <optional>

#include "accesscode.h"
#include "accesscodetext.h"
#include "messages.h"

namespace zk {

namespace {

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
    const std::optional<SquelchMode> mode = SquelchModeNamed(text);
    if (!mode) {
        throw UsageError(Verbatim(subject + ": " + Quoted(text)) +
                         Wording{" must be " + SquelchModeChoices(" or "),
                                 ": допустимо только " + SquelchModeChoices(" или ")});
    }
    panel.sqlPage = *mode == SquelchMode::Audio ? kSqlPageAudio : kSqlPageInput;
    if (*mode != SquelchMode::Audio) {
        panel.sqlLevel = *mode == SquelchMode::SqlHigh ? kSqlLevelHigh : kSqlLevelLow;
    }
}

SpinField ThresholdField(const PanelState& panel) {
    return zk::ThresholdField(SquelchModeOf(panel.sqlPage, panel.sqlLevel));
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
        Apply(panel, SettingNamed("threshold"), it->second);
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
            return SquelchModeName(static_cast<int>(SquelchModeOf(panel.sqlPage, panel.sqlLevel)));
        case SettingKind::Threshold:
            return std::to_string(p.Spin(ThresholdField(panel)));
    }
    return {};
}

}  // namespace zk
