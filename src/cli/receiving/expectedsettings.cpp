#include "expectedsettings.h"

#include <nlohmann/json.hpp>

#include "configoption.h"
#include "messages.h"

namespace zk::cli {

namespace {

constexpr const char* kUnreadable = "the expected settings handed on by zk77q3 cannot be read";

}  // namespace

void RefuseTwoExpectations(const CommonOptions& common, const std::string& expectWav,
                           bool expectLast) {
    std::vector<std::string> sources;
    if (!expectWav.empty()) {
        sources.push_back("--expect-wav");
    }
    if (expectLast) {
        sources.push_back("--expect-last");
    }
    if (!common.config.empty()) {
        sources.push_back("--config");
    } else if (!common.given.empty()) {
        sources.push_back(common.given.begin()->second.subject);
    }
    if (sources.size() > 1) {
        throw UsageError(sources[0] + " and " + sources[1] +
                         " cannot be given together: give one expectation (settings and "
                         "--config, or --expect-wav, or --expect-last)");
    }
}

std::optional<ExpectedSettings> ExpectedSettingsOf(const CommonOptions& common) {
    if (common.given.empty() && common.config.empty()) {
        return std::nullopt;
    }
    ExpectedSettings settings;
    settings.panel = LoadSettings(common);
    if (common.config.empty()) {
        for (const Setting& setting : kSettings) {
            if (common.given.count(setting.key) != 0) {
                settings.keys.push_back(setting.key);
            }
        }
    }
    return settings;
}

std::string HandedSettingsText(const ExpectedSettings& settings) {
    nlohmann::json values = nlohmann::json::object();
    for (const Setting& setting : kSettings) {
        values[setting.key] = SettingText(settings.panel, setting);
    }
    return nlohmann::json{{"keys", settings.keys}, {"settings", values}}.dump();
}

ExpectedSettings ReadHandedSettings(std::string_view text) {
    const nlohmann::json handed = nlohmann::json::parse(text, nullptr, false);
    if (!handed.is_object() || !handed.contains("keys") || !handed["keys"].is_array() ||
        !handed.contains("settings") || !handed["settings"].is_object()) {
        throw UsageError(kUnreadable);
    }
    ExpectedSettings settings;
    for (const nlohmann::json& key : handed["keys"]) {
        if (!key.is_string() || FindSetting(key.get<std::string>()) == nullptr) {
            throw UsageError(kUnreadable);
        }
        settings.keys.push_back(key.get<std::string>());
    }
    GivenSettings given;
    for (const auto& [key, value] : handed["settings"].items()) {
        if (!value.is_string() || FindSetting(key) == nullptr) {
            throw UsageError(kUnreadable);
        }
        given[key] = GivenValue{value.get<std::string>(), "--" + key};
    }
    settings.panel = ResolveSettings(given);
    return settings;
}

}  // namespace zk::cli
