// How the commands that send key the transmitter: --ptt and its timing on the command line, over
// the same keys in a profile and in the station's configuration (pttkeys.h, stationconfig.h).
#pragma once

#include <chrono>
#include <string>

#include "commandline.h"
#include "pttkeys.h"

namespace CLI {
class App;
}

namespace zk::cli {

// --ptt PTT, --ptt-lead MS, --ptt-tail MS, --ptt-limit S on a command that sends; the values go
// to common.keying. `limitDefault` is the help's word for the limit when none is given.
void AddKeyingOptions(CLI::App& command, CommonOptions& common, const std::string& limitDefault);

// The keying of a run that sends: the command line, then the profile, then the station's
// configuration read from its file. Throws UsageError for a bad value or a bad configuration
// file.
Keying KeyingForRun(const CommonOptions& common, const GivenSettings& profile,
                    std::chrono::seconds defaultLimit);

}  // namespace zk::cli
