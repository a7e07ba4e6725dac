#include "keying.h"

#include <CLI/CLI.hpp>

#include "messages.h"
#include "stationconfig.h"
#include "valueoption.h"

namespace zk::cli {

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

Keying KeyingForRun(const CommonOptions& common, const GivenSettings& profile,
                    std::chrono::seconds defaultLimit) {
    return ResolveKeying(common.keying, profile, ReadStationConfig(), defaultLimit);
}

}  // namespace zk::cli
