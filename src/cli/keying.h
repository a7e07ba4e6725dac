// How the commands that send key the transmitter: --ptt and its timing on the command line, the
// same keys in a profile and in the station's configuration (stationconfig.h), resolved into the
// PTT to open and the timing of each transmission.
#pragma once

#include <chrono>
#include <string>
#include <string_view>

#include "commandline.h"
#include "pttsetting.h"
#include "transmission.h"

namespace CLI {
class App;
}

namespace zk::cli {

// The keys, as the long options are named: "ptt", "ptt-lead", "ptt-tail", "ptt-limit".
inline constexpr const char* kPttKey = "ptt";
inline constexpr const char* kPttLeadKey = "ptt-lead";
inline constexpr const char* kPttTailKey = "ptt-tail";
inline constexpr const char* kPttLimitKey = "ptt-limit";

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

// --ptt PTT, --ptt-lead MS, --ptt-tail MS, --ptt-limit S on a command that sends; the values go
// to common.keying. `limitDefault` is the help's word for the limit when none is given.
void AddKeyingOptions(CLI::App& command, CommonOptions& common, const std::string& limitDefault);

// Throws UsageError "<subject>: ..." for the first keying value that is bad, wherever it comes
// from: a bad PTT text, or a time out of its range.
void CheckKeyingValues(const GivenSettings& keying);

struct Keying {
    PttSetting setting;           // method `none` when nobody gave one
    TransmitTiming timing;  // the defaults where nobody gave a value
};

// The keying of one run, each key taken from the first source that gives it: the command line,
// then the profile, then the station's configuration. Throws UsageError for a bad value.
Keying ResolveKeying(const GivenSettings& commandLine, const GivenSettings& profile,
                     const GivenSettings& station, std::chrono::seconds defaultLimit);

// The same for a run that sends: the station's configuration read from its file. Throws
// UsageError for a bad value or a bad configuration file.
Keying KeyingForRun(const CommonOptions& common, const GivenSettings& profile,
                    std::chrono::seconds defaultLimit);

}  // namespace zk::cli
