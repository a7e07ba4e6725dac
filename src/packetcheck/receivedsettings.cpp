#include "receivedsettings.h"

#include "findingwords.h"
#include "sentrecord.h"

namespace zk {

std::string DecodedText(const DecodedSettings& s, const Setting& setting) {
    switch (setting.kind) {
        case SettingKind::Code:
            return s.Code(static_cast<CodeField>(setting.field));
        case SettingKind::Switch:
            return s.On(static_cast<CheckField>(setting.field)) ? "on" : "off";
        case SettingKind::Number:
            return std::to_string(s.Number(static_cast<SpinField>(setting.field)));
        case SettingKind::Period:
            return std::to_string(s.Number(SpinField::PP_Hour)) + ":" +
                   std::to_string(s.Number(SpinField::PP_Min)) + ":" +
                   std::to_string(s.Number(SpinField::PP_Sek));
        case SettingKind::Squelch:
            return SquelchModeName(s.squelchMode);
        case SettingKind::Threshold:
            return std::to_string(s.Threshold());
    }
    return {};
}

std::vector<std::string> SettingsAsOptions(const DecodedSettings& s) {
    std::vector<std::string> args;
    for (const Setting& setting : kSettings) {
        args.push_back(std::string("--") + setting.key);
        args.push_back(DecodedText(s, setting));
    }
    return args;
}

std::string SettingsAsCommandLine(const DecodedSettings& s) {
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

std::vector<std::string> SettingsAsLines(const DecodedSettings& s) {
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
    for (const SettingsFinding& problem : s.problems) {
        lines.push_back("problem: " + SettingsFindingWords(problem));
    }
    for (const SettingsFinding& note : s.notes) {
        lines.push_back("note: " + SettingsFindingWords(note));
    }
    return lines;
}

nlohmann::ordered_json DecodedSettingsJson(const DecodedSettings& s) {
    nlohmann::ordered_json settings = nlohmann::ordered_json::object();
    for (const Setting& setting : kSettings) {
        settings[setting.key] = SettingValueJson(setting, DecodedText(s, setting));
    }
    return settings;
}

}  // namespace zk
