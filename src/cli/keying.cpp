#include "keying.h"

#include <CLI/CLI.hpp>

#include <array>

#include "commands.h"
#include "messages.h"
#include "stationconfig.h"

namespace zk::cli {

namespace {

// Ranges of the times: a lead or tail of seconds would only waste the air; a limit beyond a
// quarter of an hour is no protection against a stuck key.
constexpr int kMaxLeadTailMilliseconds = 10000;
constexpr int kMinLimitSeconds = 1;
constexpr int kMaxLimitSeconds = 900;

constexpr std::array<const char*, 4> kKeyingKeys = {kPttKey, kPttLeadKey, kPttTailKey,
                                                    kPttLimitKey};

// The first source's value of `key`, or null.
const GivenValue* FirstGiven(std::initializer_list<const GivenSettings*> sources,
                             const std::string& key) {
    for (const GivenSettings* source : sources) {
        if (const auto found = source->find(key); found != source->end()) {
            return &found->second;
        }
    }
    return nullptr;
}

PttSetting SettingOf(const GivenValue& value) {
    try {
        return ParsePttSetting(value.text);
    } catch (const PttSettingError& error) {
        throw UsageError(value.subject + ": " + error.what());
    }
}

int LeadOrTailMilliseconds(const GivenValue& value) {
    return WholeNumberIn(value.subject, value.text, 0, kMaxLeadTailMilliseconds);
}

int LimitSeconds(const GivenValue& value) {
    return WholeNumberIn(value.subject, value.text, kMinLimitSeconds, kMaxLimitSeconds);
}

}  // namespace

bool IsKeyingKey(std::string_view key) {
    for (const char* known : kKeyingKeys) {
        if (key == known) {
            return true;
        }
    }
    return false;
}

void AddKeyingOptions(CLI::App& command, CommonOptions& common, const std::string& limitDefault) {
    const auto add = [&](const char* key, const std::string& help, const std::string& valueName) {
        const std::string name = std::string("--") + key;
        command
            .add_option_function<std::string>(
                name,
                [&common, key = std::string(key), name](const std::string& text) {
                    common.keying[key] = GivenValue{text, name};
                },
                help)
            ->type_name(valueName)
            ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast)
            ->group(
                "Keying the transmitter (over a profile's ptt keys and the station's "
                "config.toml)");
    };
    add(kPttKey,
        "key the transmitter while sending: none, rts:DEVICE, dtr:DEVICE, "
        "cat:MODEL:DEVICE[:BAUD], cm108:DEVICE[:GPIO] or rigctld[:HOST[:PORT]] (none)",
        "PTT");
    add(kPttLeadKey,
        "keyed this long before the first sample, for the radio and the repeater to open, "
        "0.." +
            std::to_string(kMaxLeadTailMilliseconds) + " ms (" +
            std::to_string(kDefaultPttLead.count()) + ")",
        "MS");
    add(kPttTailKey,
        "held this long after the sound has drained, 0.." +
            std::to_string(kMaxLeadTailMilliseconds) + " ms (" +
            std::to_string(kDefaultPttTail.count()) + ")",
        "MS");
    add(kPttLimitKey,
        "released after this long whatever happens, against a stuck key, " +
            std::to_string(kMinLimitSeconds) + ".." + std::to_string(kMaxLimitSeconds) + " s (" +
            limitDefault + ")",
        "S");
}

void CheckKeyingValues(const GivenSettings& keying) {
    ResolveKeying(keying, {}, {}, kDefaultPttLimit);
}

Keying ResolveKeying(const GivenSettings& commandLine, const GivenSettings& profile,
                     const GivenSettings& station, std::chrono::seconds defaultLimit) {
    const auto given = [&](const char* key) {
        return FirstGiven({&commandLine, &profile, &station}, key);
    };
    Keying keying;
    keying.timing = {kDefaultPttLead, kDefaultPttTail, defaultLimit};
    if (const GivenValue* setting = given(kPttKey)) {
        keying.setting = SettingOf(*setting);
    }
    if (const GivenValue* lead = given(kPttLeadKey)) {
        keying.timing.lead = std::chrono::milliseconds(LeadOrTailMilliseconds(*lead));
    }
    if (const GivenValue* tail = given(kPttTailKey)) {
        keying.timing.tail = std::chrono::milliseconds(LeadOrTailMilliseconds(*tail));
    }
    if (const GivenValue* limit = given(kPttLimitKey)) {
        keying.timing.limit = std::chrono::seconds(LimitSeconds(*limit));
    }
    return keying;
}

Keying KeyingForRun(const CommonOptions& common, const GivenSettings& profile,
                    std::chrono::seconds defaultLimit) {
    return ResolveKeying(common.keying, profile, ReadStationConfig(), defaultLimit);
}

}  // namespace zk::cli
