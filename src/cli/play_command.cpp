// zk77q3 play: what generate does, then the sound into the transmitter.
#include <CLI/CLI.hpp>

#include "commands.h"
#include "programming.h"

namespace zk::cli {

void AddPlayCommand(CLI::App& app, CommonOptions& common) {
    CLI::App& play = AddCommand(
        app, "play",
        "Does what generate does, then plays the signal on the ALSA device and waits until it "
        "has been played to its end.",
        "zk77q3 play --config north.toml --device hw:1");
    AddSettingsOptions(play, common);
    AddDirectoryOption(play, common);
    AddDeviceOption(play, common);
    SetRun(play, common, [](CommonOptions& c) {
        SendOptions send;
        send.play = true;
        return RunProgramming(c, send);
    });
}

}  // namespace zk::cli
