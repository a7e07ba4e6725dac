// zk77q3 profile: the complete settings as a profile for --config.
#include <CLI/CLI.hpp>

#include "commands.h"
#include "profile.h"
#include "stdoutput.h"

namespace zk::cli {

void AddProfileCommand(CLI::App& app, CommonOptions& common) {
    CLI::App& profile = AddCommand(
        app, "profile",
        "Prints the complete profile of the settings given (every key, start values filled in) "
        "as TOML on standard output. `zk77q3 play --config FILE` then sends exactly what play "
        "with the same options sends. Nothing is written.",
        "zk77q3 profile --user-open 1590 --period 1:0:0 > north.toml");
    AddSettingsOptions(profile, common);
    AddDirectoryOption(profile, common, false);
    SetRun(profile, common, [](CommonOptions& c) {
        Print(ProfileText(LoadSettings(c)));
        return kExitDone;
    });
}

}  // namespace zk::cli
