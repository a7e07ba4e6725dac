// Profiles: a repeater's settings in a TOML file whose keys are the long option names, read by
// --config and written by `zk77q3 profile`. A value in a file is checked exactly as the same
// value on the command line; a bad one is reported with the file, the line and the key.
#pragma once

#include <string>
#include <string_view>

#include "commandline.h"
#include "settings.h"

namespace zk::cli {

// The settings in a profile's text. Numbers may be written bare or quoted. Throws UsageError
// "FILE:LINE: ..." for a syntax fault, an unknown key, a value that is not one plain value or
// keys nested too deep, and for a text over the size limit (profileshape.h).
GivenSettings ReadProfile(std::string_view text, const std::string& fileName);

// Every key with its value, defaults filled in: reading it back gives the same panel.
std::string ProfileText(const PanelState& panel);

// The settings of a run: start values, then --config (read from the working folder, "-" from
// standard input), then the options on the command line. Throws UsageError for bad input, a
// profile that cannot be read ("--config: Cannot open file "PATH". REASON") or one over the size
// limit among them: never more than the limit and one byte is read.
PanelState LoadSettings(const CommonOptions& common);

}  // namespace zk::cli
