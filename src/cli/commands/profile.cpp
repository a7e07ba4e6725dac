// zk77q3 profile: the complete settings as a profile for --config.
#include <CLI/CLI.hpp>

#include <memory>

#include "commands.h"
#include "configoption.h"
#include "profileoutput.h"

namespace zk::cli {

void AddProfileCommand(CLI::App& app, CommonOptions& common) {
    CLI::App& profile = AddCommand(
        app, "profile",
        "Prints the complete profile of the settings given (every key, start values filled in) "
        "as TOML on standard output, or writes it to FILE with --output. `zk77q3 play --config "
        "FILE` then sends exactly what play with the same options sends. A profile holds the "
        "access codes: --output creates the file readable by its owner only (a file the shell "
        "creates with > is as open as the umask leaves it), replaces an existing one whole and "
        "keeps its mode, and refuses a symbolic link in its place.",
        "zk77q3 profile --user-open 1590 --period 1:0:0 --output north.toml");
    AddSettingsOptions(profile, common);
    AddDirectoryOption(profile, common, false);
    AddNameOption(profile, common);
    auto output = std::make_shared<std::string>();
    AddProfileOutputOption(profile, *output);
    SetRun(profile, common, [output](CommonOptions& c) {
        const NamedSettings settings = LoadNamedSettings(c);
        PrintOrWriteProfile(*output, ProfileText(settings.panel, settings.name));
        return kExitDone;
    });
}

}  // namespace zk::cli
