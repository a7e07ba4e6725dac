#include "receivedsettings.h"

#include "arraylayout.h"
#include "report.h"
#include "startvalues.h"

namespace zk::cli {

namespace {

std::string OnOff(bool on) {
    return on ? "on" : "off";
}

std::string SquelchName(int mode) {
    switch (mode) {
        case static_cast<int>(receive::SquelchMode::Audio):
            return "audio";
        case static_cast<int>(receive::SquelchMode::SqlLow):
            return "sql-low";
        case static_cast<int>(receive::SquelchMode::SqlHigh):
            return "sql-high";
        default:
            return "?";
    }
}

bool SwitchValue(const receive::DecodedSettings& s, CheckField field) {
    switch (field) {
        case CheckField::Razr_DTMF:
            return s.dtmf;
        case CheckField::KF_PRM:
            return s.rxFilter;
        case CheckField::KF_PRD:
            return s.txFilter;
        case CheckField::ZAmOtp:
            return s.hang;
        case CheckField::RegSleep:
            return s.sleep;
        case CheckField::RasKS:
            break;
    }
    return false;
}

int NumberValue(const receive::DecodedSettings& s, SpinField field) {
    switch (field) {
        case SpinField::MaxDlitZapRep:
            return s.maxRecord;
        case SpinField::DlitBip:
            return s.beepLength;
        case SpinField::UrBip:
            return s.beepLevel;
        case SpinField::UsilADC:
            return s.adcGain;
        case SpinField::OslDAC:
            return s.dacAttenuation;
        default:
            return 0;
    }
}

int SwitchByte(CheckField field) {
    switch (field) {
        case CheckField::Razr_DTMF:
            return layout::kDtmfAllowed;
        case CheckField::KF_PRM:
            return layout::kRxFilter;
        case CheckField::KF_PRD:
            return layout::kTxFilter;
        case CheckField::ZAmOtp:
            return layout::kReleaseDelay;
        default:
            return layout::kSleep;
    }
}

int NumberByte(SpinField field) {
    switch (field) {
        case SpinField::DlitBip:
            return layout::kBeepLength;
        case SpinField::UrBip:
            return layout::kBeepLevel;
        case SpinField::UsilADC:
            return layout::kAdcGain;
        default:
            return layout::kDacAttenuation;
    }
}

}  // namespace

std::string DecodedText(const receive::DecodedSettings& s, const Setting& setting) {
    switch (setting.kind) {
        case SettingKind::Code:
            return s.codes[static_cast<std::size_t>(setting.field)];
        case SettingKind::Switch:
            return OnOff(SwitchValue(s, static_cast<CheckField>(setting.field)));
        case SettingKind::Number:
            return std::to_string(NumberValue(s, static_cast<SpinField>(setting.field)));
        case SettingKind::Period:
            return std::to_string(s.periodHours) + ":" + std::to_string(s.periodMinutes) + ":" +
                   std::to_string(s.periodSeconds);
        case SettingKind::Squelch:
            return SquelchName(s.squelchMode);
        case SettingKind::Threshold:
            return std::to_string(s.threshold);
    }
    return {};
}

std::pair<int, int> SettingBytes(const Setting& setting) {
    switch (setting.kind) {
        case SettingKind::Code: {
            const int first = Info(static_cast<CodeField>(setting.field)).firstByte;
            return {first, first + 3};
        }
        case SettingKind::Switch: {
            const int at = SwitchByte(static_cast<CheckField>(setting.field));
            return {at, at};
        }
        case SettingKind::Number: {
            const auto field = static_cast<SpinField>(setting.field);
            if (field == SpinField::MaxDlitZapRep) {
                return {layout::kMaxRecord, layout::kMaxRecord + 1};
            }
            return {NumberByte(field), NumberByte(field)};
        }
        case SettingKind::Period:
            return {layout::kPeriodTotal, layout::kPeriodHours};
        case SettingKind::Squelch:
            return {layout::kSquelchMode, layout::kSquelchMode};
        case SettingKind::Threshold:
            return {layout::kSquelchThreshold, layout::kSquelchThreshold};
    }
    return {0, -1};
}

std::vector<std::string> SettingsAsOptions(const receive::DecodedSettings& s) {
    std::vector<std::string> args;
    for (const Setting& setting : kSettings) {
        args.push_back(std::string("--") + setting.key);
        args.push_back(DecodedText(s, setting));
    }
    return args;
}

std::string SettingsAsCommandLine(const receive::DecodedSettings& s) {
    std::string line;
    for (const std::string& arg : SettingsAsOptions(s)) {
        if (!line.empty()) {
            line += ' ';
        }
        const bool plain = arg.find_first_not_of("0123456789ABCDabcdefghijklmnopqrstuvwxyz-:") ==
                           std::string::npos;
        line += plain ? arg : "'" + arg + "'";
    }
    return line;
}

std::vector<std::string> SettingsAsLines(const receive::DecodedSettings& s) {
    std::vector<std::string> lines;
    for (const Setting& setting : kSettings) {
        std::string line = std::string(setting.label) + ": " + DecodedText(s, setting);
        if (setting.kind == SettingKind::Period) {
            line += " (" + std::to_string(s.periodTotal) + " s)";
        } else if (setting.kind == SettingKind::Threshold) {
            line += s.squelchMode == 0 ? " x 0.1 % of Umax" : " x 100 mV";
        } else if (setting.unit[0] != '\0') {
            line += std::string(" ") + setting.unit;
        }
        lines.push_back(line);
    }
    for (const std::string& problem : s.problems) {
        lines.push_back("problem: " + problem);
    }
    for (const std::string& note : s.notes) {
        lines.push_back("note: " + note);
    }
    return lines;
}

nlohmann::ordered_json DecodedSettingsJson(const receive::DecodedSettings& s) {
    nlohmann::ordered_json settings = nlohmann::ordered_json::object();
    for (const Setting& setting : kSettings) {
        settings[setting.key] = SettingValueJson(setting, DecodedText(s, setting));
    }
    return settings;
}

}  // namespace zk::cli
