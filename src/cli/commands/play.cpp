// zk77q3 play: what generate does, then the sound into the transmitter.
#include <CLI/CLI.hpp>

#include <memory>

#include "commands.h"
#include "keying.h"
#include "messages.h"
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
    auto checkWith = std::make_shared<std::string>();
    CLI::Option* checkWithOption =
        AddValueOption(play, "--check-with", *checkWith,
                       "while sending, listen on the capture device DEVICE (a second receiver, or "
                       "the radio's monitor), decode what it hears and end with one line: heard as "
                       "sent (with the margin) or why not; exit status 0 only when heard as sent",
                       "DEVICE");
    auto retries = std::make_shared<std::string>("0");
    AddValueOption(play, "--retries", *retries,
                   "with --check-with: send again, up to N more times, until heard as sent; "
                   "every send goes into the programming log with its result, 0..10 (0)",
                   "N");
    AddKeyingOptions(play, common, std::to_string(kDefaultPttLimit.count()));
    SetRun(play, common, [delay, checkWith, checkWithOption, retries](CommonOptions& c) {
        SendOptions send;
        send.play = true;
        send.delaySeconds = WholeNumberIn("--delay", *delay, 0, 600);
        send.retries = WholeNumberIn("--retries", *retries, 0, 10);
        if (send.retries > 0 && checkWith->empty()) {
            throw UsageError(
                "--retries needs --check-with: without a second receiver nothing "
                "says whether a send was heard");
        }
        if (checkWithOption->count() > 0 && checkWith->empty()) {
            throw UsageError(
                "--check-with: the capture device's name is empty (see zk77q3 "
                "devices)");
        }
        send.checkWith = *checkWith;
        return RunProgramming(c, send);
    });
}

}  // namespace zk::cli
