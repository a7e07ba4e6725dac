// The settings of a command-line run: the start values, then the profile named by --config,
// then the options given on the command line.
#pragma once

#include "commandline.h"
#include "profile.h"

namespace zk::cli {

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
