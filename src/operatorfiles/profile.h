// Profiles: a repeater's settings in a TOML file whose keys are the long option names, read by
// `zk77q3 --config` and by the window, and written by `zk77q3 profile`. A value in a file is
// checked exactly as the same value on the command line; a bad one is reported with the file,
// the line and the key.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "settings.h"

namespace zk {

// The settings in a profile's text, and the repeater's name under kNameKey when it has one
// (checked by SplitProfile). Numbers may be written bare or quoted. Throws UsageError
// "FILE:LINE: ..." for a syntax fault, an unknown key, a value that is not one plain value or
// keys nested too deep, and for a text over the size limit (profileshape.h).
// Profiles may also hold the transmitter's keying (pttkeys.h), which SplitProfile hands on.
GivenSettings ReadProfile(std::string_view text, const std::string& fileName);

// The keys and values of a flat TOML text, each value as the command line would give it, under
// the same limits and with the same messages as a profile: UsageError "FILE:LINE: ..." for a
// syntax fault, a key that `isKnown` refuses, a value that is not one plain value, keys nested
// too deep, a text over the size limit.
GivenSettings ReadFlatToml(std::string_view text, const std::string& fileName,
                           bool (*isKnown)(std::string_view key));

// What a profile file may be: whatever can be read (a pipe from another program too), or a
// regular file only, for a reader that must not wait on a pipe or a device that nobody feeds.
enum class ProfileSource { AnyFile, RegularFileOnly };

// The bytes of the profile at `path` (relative to the working folder), never more than the size
// limit and one byte. A profile that cannot be read is the operator's input gone wrong, as a bad
// value in it is: UsageError "<subject>: Cannot open file "FULL PATH". REASON" ("Cannot open
// file ..." alone when `subject` is empty).
std::string ReadProfileFile(const std::string& path, const std::string& subject,
                            ProfileSource source = ProfileSource::AnyFile);

// Every key with its value, defaults filled in, and the name first when there is one: reading
// it back gives the same panel and the same name.
std::string ProfileText(const PanelState& panel,
                        const std::optional<std::string>& name = std::nullopt);

// A profile's keys sorted by what they are for: the settings (still to be resolved, and to be
// overridden by whoever reads them), the repeater's name and the transmitter's keying.
struct ProfileParts {
    GivenSettings settings;
    std::optional<std::string> name;
    GivenSettings keying;
};

// Splits what ReadProfile gave, checking the name (repeatername.h) and the keying values
// (pttkeys.h), so that a profile is judged the same whoever reads it. Throws UsageError.
ProfileParts SplitProfile(GivenSettings given);

// A repeater's settings and name, as read from a profile and whatever overrides it.
struct NamedSettings {
    PanelState panel;
    std::optional<std::string> name;
    GivenSettings keying;  // the profile's ptt keys (pttkeys.h), checked
};

// A whole profile file read, checked and resolved over the start values, for a reader that takes
// it as it stands (the window): every value is checked before anything is returned, so that a
// profile with one bad value changes nothing. Throws UsageError naming the file, the line and
// the key, or the file and the system's reason.
NamedSettings ReadProfileFileSettings(const std::string& path);

}  // namespace zk
