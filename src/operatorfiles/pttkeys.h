// The transmitter's keying as the operator's files and the command line give it: the keys
// "ptt", "ptt-lead", "ptt-tail" and "ptt-limit" in a profile, in the station's configuration
// (stationconfig.h) and as long options, resolved into the PTT to open and the timing of each
// transmission.
#pragma once

#include <chrono>
#include <string>
#include <string_view>

#include "pttsetting.h"
#include "settings.h"
#include "transmission.h"

namespace zk {

// The keys, as the long options are named: "ptt", "ptt-lead", "ptt-tail", "ptt-limit".
inline constexpr const char* kPttKey = "ptt";
inline constexpr const char* kPttLeadKey = "ptt-lead";
inline constexpr const char* kPttTailKey = "ptt-tail";
inline constexpr const char* kPttLimitKey = "ptt-limit";

// Ranges of the times: a lead or tail of seconds would only waste the air; a limit beyond a
// quarter of an hour is no protection against a stuck key.
inline constexpr int kMaxLeadTailMilliseconds = 10000;
inline constexpr int kMinLimitSeconds = 1;
inline constexpr int kMaxLimitSeconds = 900;

// Most radios' relays and repeaters' squelches open within this; sound before it is lost.
inline constexpr std::chrono::milliseconds kDefaultPttLead{200};
// Keeps the check word, the last bits sent, clear of the release.
inline constexpr std::chrono::milliseconds kDefaultPttTail{100};
// A stuck key's longest time on the air when sending the programming signal or DTMF: both are
// far shorter.
inline constexpr std::chrono::seconds kDefaultPttLimit{30};
// The level tone's limit is its own length and this.
inline constexpr std::chrono::seconds kToneLimitMargin{5};

bool IsKeyingKey(std::string_view key);

// Throws UsageError "<subject>: ..." for the first keying value that is bad, wherever it comes
// from: a bad PTT text, or a time out of its range.
void CheckKeyingValues(const GivenSettings& keying);

struct Keying {
    PttSetting setting;     // method `none` when nobody gave one
    TransmitTiming timing;  // the defaults where nobody gave a value
};

// The keying of one run, each key taken from the first source that gives it: the command line,
// then the profile, then the station's configuration. Throws UsageError for a bad value.
Keying ResolveKeying(const GivenSettings& commandLine, const GivenSettings& profile,
                     const GivenSettings& station, std::chrono::seconds defaultLimit);

}  // namespace zk
