// zk77q3 play: what generate does, then the sound into the transmitter.
#include <CLI/CLI.hpp>

#include "commands.h"
#include "programming.h"
#include "settings.h"

namespace zk::cli {

void AddPlayCommand(CLI::App& app, CommonOptions& common) {
    CLI::App& play = AddCommand(
        app, "play",
        "Does what generate does, then plays the signal on the ALSA device and waits until it "
        "has been played to its end; then prints \"sent\" with the check word on standard "
        "error and adds an entry to the programming log (see `zk77q3 log`).",
        "zk77q3 play --config north.toml --delay 5 --device hw:1");
    AddSettingsOptions(play, common);
    AddDirectoryOption(play, common);
    AddDeviceOption(play, common);
    AddNameOption(play, common);
    AddJsonOption(play, common);
    AddStrictOption(play, common);
    auto delay = std::make_shared<std::string>("0");
    AddValueOption(play, "--delay", *delay,
                   "count down S seconds on standard error (\"key the transmitter\") before "
                   "playing, 0..600 (0)",
                   "S");
    SetRun(play, common, [delay](CommonOptions& c) {
        SendOptions send;
        send.play = true;
        send.delaySeconds = WholeNumberIn("--delay", *delay, 0, 600);
        return RunProgramming(c, send);
    });
}

}  // namespace zk::cli
