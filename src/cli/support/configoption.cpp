#include "configoption.h"

#include <unistd.h>

#include "boundedread.h"
#include "errors.h"
#include "messages.h"
#include "profileshape.h"
#include "repeatername.h"

namespace zk::cli {

namespace {

constexpr const char* kStandardInputName = "(standard input)";

// The profile's bytes, never more than the size limit and one byte. A profile that cannot be
// read is the operator's input gone wrong, as a bad value in it is (exit status 2), never a
// fault of the programmer's own files.
std::string ReadProfileText(const std::string& config) {
    if (config == "-") {
        BoundedText read = ReadAtMost(STDIN_FILENO, kMaxProfileBytes);
        if (read.error != 0) {
            throw UsageError("--config: Cannot read standard input. " +
                             SystemErrorText(read.error));
        }
        return std::move(read.text);
    }
    return ReadProfileFile(config, "--config");
}

}  // namespace

NamedSettings LoadNamedSettings(const CommonOptions& common) {
    GivenSettings given;
    if (!common.config.empty()) {
        given = ReadProfile(ReadProfileText(common.config),
                            common.config == "-" ? kStandardInputName : common.config);
    }
    ProfileParts parts = SplitProfile(std::move(given));
    NamedSettings settings;
    settings.name = std::move(parts.name);
    settings.keying = std::move(parts.keying);
    if (common.name) {
        CheckRepeaterName("--name", *common.name);
        settings.name = common.name;
    }
    for (const auto& [key, value] : common.given) {
        parts.settings[key] = value;
    }
    settings.panel = ResolveSettings(parts.settings);
    return settings;
}

PanelState LoadSettings(const CommonOptions& common) {
    return LoadNamedSettings(common).panel;
}

}  // namespace zk::cli
