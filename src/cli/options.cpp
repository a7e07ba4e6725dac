#include "options.h"

#include <array>
#include <charconv>
#include <optional>
#include <string_view>

#include "accesscode.h"

namespace zk::cli {

namespace {

// An option that sets one control of the panel.
template <typename Field>
struct FieldOption {
    const char* name;
    Field field;
};

constexpr std::array<FieldOption<CodeField>, 5> kCodeOptions{{
    {"--user-open", CodeField::KodOtkrPols},
    {"--user-close", CodeField::KodZakrPols},
    {"--admin-open", CodeField::KodOtkrAdmin},
    {"--admin-close", CodeField::KodZakrAdm},
    {"--user-mode", CodeField::KodPolz},
}};

constexpr std::array<FieldOption<CheckField>, 5> kSwitchOptions{{
    {"--dtmf", CheckField::Razr_DTMF},
    {"--rx-filter", CheckField::KF_PRM},
    {"--tx-filter", CheckField::KF_PRD},
    {"--hang", CheckField::ZAmOtp},
    {"--sleep", CheckField::RegSleep},
}};

constexpr std::array<FieldOption<SpinField>, 5> kNumberOptions{{
    {"--max-record", SpinField::MaxDlitZapRep},
    {"--beep-length", SpinField::DlitBip},
    {"--beep-level", SpinField::UrBip},
    {"--adc-gain", SpinField::UsilADC},
    {"--dac-atten", SpinField::OslDAC},
}};

std::optional<int> Decimal(std::string_view text) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || ptr != end) {
        return std::nullopt;
    }
    return value;
}

std::string RangeText(int minimum, int maximum) {
    return std::to_string(minimum) + ".." + std::to_string(maximum);
}

int NumberIn(std::string_view option, std::string_view text, int minimum, int maximum) {
    const std::optional<int> value = Decimal(text);
    if (!value || *value < minimum || *value > maximum) {
        throw UsageError(std::string(option) + ": \"" + std::string(text) +
                         "\" is not a whole number in " + RangeText(minimum, maximum));
    }
    return *value;
}

int NumberIn(std::string_view option, std::string_view text, SpinField field) {
    return NumberIn(option, text, Info(field).minimum, Info(field).maximum);
}

bool OnOff(std::string_view option, std::string_view text) {
    if (text == "on" || text == "off") {
        return text == "on";
    }
    throw UsageError(std::string(option) + ": \"" + std::string(text) + "\" must be on or off");
}

void SetPeriod(PanelState& panel, std::string_view text) {
    const std::size_t first = text.find(':');
    const std::size_t second = first == std::string_view::npos ? first : text.find(':', first + 1);
    if (second == std::string_view::npos) {
        throw UsageError("--period: \"" + std::string(text) + "\" must be H:M:S (hours 0..64, " +
                         "minutes 0..60, seconds 0..60)");
    }
    panel.Spin(SpinField::PP_Hour) =
        NumberIn("--period (hours)", text.substr(0, first), SpinField::PP_Hour);
    panel.Spin(SpinField::PP_Min) = NumberIn(
        "--period (minutes)", text.substr(first + 1, second - first - 1), SpinField::PP_Min);
    panel.Spin(SpinField::PP_Sek) =
        NumberIn("--period (seconds)", text.substr(second + 1), SpinField::PP_Sek);
}

void SetSquelch(PanelState& panel, std::string_view text) {
    if (text == "audio") {
        panel.sqlPage = kSqlPageAudio;
    } else if (text == "sql-high" || text == "sql-low") {
        panel.sqlPage = kSqlPageInput;
        panel.sqlLevel = text == "sql-high" ? kSqlLevelHigh : kSqlLevelLow;
    } else {
        throw UsageError("--squelch: \"" + std::string(text) +
                         "\" must be audio, sql-high or sql-low");
    }
}

// Applies one option with its value; false when `name` is no option of ours.
bool ApplyOption(Command& command, std::string_view name, std::string_view value,
                 std::optional<std::string>& threshold) {
    PanelState& panel = command.panel;
    for (const auto& option : kCodeOptions) {
        if (name == option.name) {
            panel.Code(option.field) = std::string(value);
            return true;
        }
    }
    for (const auto& option : kSwitchOptions) {
        if (name == option.name) {
            panel.Check(option.field) = OnOff(name, value);
            return true;
        }
    }
    for (const auto& option : kNumberOptions) {
        if (name == option.name) {
            panel.Spin(option.field) = NumberIn(name, value, option.field);
            return true;
        }
    }
    if (name == "--period") {
        SetPeriod(panel, value);
    } else if (name == "--squelch") {
        SetSquelch(panel, value);
    } else if (name == "--threshold") {
        threshold = std::string(value);  // its range depends on the squelch mode
    } else {
        return false;
    }
    return true;
}

}  // namespace

Command ParseCommandLine(const std::vector<std::string>& args) {
    Command command;
    if (args.empty()) {
        throw UsageError("no action given: use generate or play (see --help)");
    }
    const std::string& action = args[0];
    if (action == "--help" || action == "-h") {
        command.action = Action::Help;
        return command;
    }
    if (action == "--version") {
        command.action = Action::Version;
        return command;
    }
    if (action == "generate") {
        command.action = Action::Generate;
    } else if (action == "play") {
        command.action = Action::Play;
    } else {
        throw UsageError("unknown action \"" + action + "\": use generate or play (see --help)");
    }

    std::optional<std::string> threshold;
    for (std::size_t i = 1; i < args.size(); ++i) {
        std::string_view arg = args[i];
        if (arg == "--help" || arg == "-h") {
            command.action = Action::Help;
            return command;
        }
        std::string_view name = arg;
        std::string value;
        if (const std::size_t eq = arg.find('='); arg.starts_with("--") && eq != arg.npos) {
            name = arg.substr(0, eq);
            value = std::string(arg.substr(eq + 1));
        } else if (arg.starts_with("--") && i + 1 < args.size()) {
            value = args[++i];
        } else if (arg.starts_with("--")) {
            throw UsageError(std::string(arg) + ": a value is missing");
        } else {
            throw UsageError("unexpected argument \"" + std::string(arg) + "\"");
        }
        if (!ApplyOption(command, name, value, threshold)) {
            throw UsageError("unknown option \"" + std::string(name) + "\" (see --help)");
        }
    }
    if (threshold) {
        const SpinField field = command.panel.sqlPage == kSqlPageAudio ? SpinField::SQL0_PorogPerekl
                                                                       : SpinField::SQL_PorogPerekl;
        command.panel.Spin(field) = NumberIn("--threshold", *threshold, field);
    }
    return command;
}

void CheckAccessCodes(PanelState& panel) {
    for (const auto& option : kCodeOptions) {
        std::string code = panel.Code(option.field);
        const std::string error = ValidateAccessCode(code);
        if (!error.empty()) {
            throw UsageError(std::string(option.name) + ": \"" + panel.Code(option.field) +
                             "\":" + error);
        }
    }
}

std::string UsageText() {
    return R"(Programs the ZK-77q3 echo repeater over the air.

Usage:
  zk77q3 generate [OPTIONS]   write _qq.wav and 9_fmsig.h here, print the 64-line array listing
  zk77q3 play [OPTIONS]       the same, then play the sound and wait for its end
  zk77q3 --help | --version

Options (default in brackets; a value follows the option or comes after "="):
  --user-open CODE     user open code (7204)
  --user-close CODE    user close code (*)
  --admin-open CODE    administrator open code (8135)
  --admin-close CODE   administrator close code (#)
  --user-mode CODE     code that switches to user mode (6914)
                       a code is one or four of 0-9 A B C D * #
  --dtmf on|off        opening and closing by DTMF allowed (on)
  --max-record N       maximum recording length, 1..64 (64)
  --period H:M:S       call-sign repeat period, hours 0..64, minutes and seconds 0..60 (0:30:0)
  --beep-length N      beep length in 100 ms steps, 0..9 (0)
  --beep-level N       beep level in dB, 0..20 (0)
  --squelch MODE       squelch-open detector: audio, sql-high or sql-low (audio)
  --threshold N        squelch threshold: 1..99 (0.1 % of Umax) for audio,
                       1..100 (100 mV) for sql-high and sql-low (5)
  --rx-filter on|off   receive correction filter (on)
  --tx-filter on|off   transmit correction filter (on)
  --adc-gain N         ADC gain, 0..20 (0)
  --dac-atten N        DAC attenuation, 0..20 (0)
  --hang on|off        release delay (off)
  --sleep on|off       economy mode (off)

Exit status: 0 done, 1 a file or playback fault, 2 bad input (nothing is written).
)";
}

}  // namespace zk::cli
