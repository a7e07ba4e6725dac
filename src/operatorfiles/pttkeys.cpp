#include "pttkeys.h"

#include <array>
#include <initializer_list>

#include "messages.h"

namespace zk {

namespace {

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
        throw UsageError(Verbatim(value.subject + ": ") + WordingOf(error));
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

}  // namespace zk
