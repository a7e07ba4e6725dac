// Profiles: a repeater's settings in a TOML file whose keys are the long option names, read by
// --config and written by `zk77q3 profile`. A value in a file is checked exactly as the same
// value on the command line; a bad one is reported with the file, the line and the key.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "commandline.h"
#include "settings.h"

namespace zk::cli {

// The settings in a profile's text, and the repeater's name under kNameKey when it has one
// (checked by LoadNamedSettings). Numbers may be written bare or quoted. Throws UsageError
// "FILE:LINE: ..." for a syntax fault, an unknown key, a value that is not one plain value or
// keys nested too deep, and for a text over the size limit (profileshape.h).
// Profiles may also hold the transmitter's keying (keying.h), which LoadNamedSettings hands on.
GivenSettings ReadProfile(std::string_view text, const std::string& fileName);

// The keys and values of a flat TOML text, each value as the command line would give it, under
// the same limits and with the same messages as a profile: UsageError "FILE:LINE: ..." for a
// syntax fault, a key that `isKnown` refuses, a value that is not one plain value, keys nested
// too deep, a text over the size limit.
GivenSettings ReadFlatToml(std::string_view text, const std::string& fileName,
                           bool (*isKnown)(std::string_view key));

// Every key with its value, defaults filled in, and the name first when there is one: reading
// it back gives the same panel and the same name.
std::string ProfileText(const PanelState& panel,
                        const std::optional<std::string>& name = std::nullopt);

// A run's settings and the repeater's name (none when neither the profile nor --name gives one).
struct NamedSettings {
    PanelState panel;
    std::optional<std::string> name;
    GivenSettings keying;  // the profile's ptt keys (keying.h), checked
};

// The settings of a run: start values, then --config (read from the working folder, "-" from
// standard input), then the options on the command line. Throws UsageError for bad input, a
// profile that cannot be read ("--config: Cannot open file "PATH". REASON") or one over the size
// limit among them: never more than the limit and one byte is read.
PanelState LoadSettings(const CommonOptions& common);

// The same, with the repeater's name: --name over the profile's. A name that is not one
// (repeatername.h) is bad input for every command that reads settings, whether it uses the name
// or not, so that a profile is judged the same everywhere.
NamedSettings LoadNamedSettings(const CommonOptions& common);

}  // namespace zk::cli
