// zk77q3 tone: the lead-in tone, held, to set the transmitter before programming.
#include <CLI/CLI.hpp>

#include "_5FormFM.h"
#include "commands.h"
#include "keying.h"
#include "messages.h"
#include "settings.h"
#include "testsignals.h"
#include "testsound.h"

namespace zk::cli {

void AddToneCommand(CLI::App& app, CommonOptions& common) {
    CLI::App& tone = AddCommand(
        app, "tone",
        "Plays the programming signal's lead-in tone (1000 Hz, at the lead-in's level) for N "
        "seconds, to set the transmitter's microphone gain and deviation before programming: "
        "the signal that follows has the same level.",
        "zk77q3 tone --seconds 30 --device hw:1");
    auto seconds = std::make_shared<std::string>("10");
    AddValueOption(tone, "--seconds", *seconds, "how long, 1..600 seconds (10)", "N");
    AddDeviceOption(tone, common);
    AddKeyingOptions(tone, common,
                     "the tone's length + " + std::to_string(kToneLimitMargin.count()));
    SetRun(tone, common, [seconds](CommonOptions& c) {
        const int length = WholeNumberIn("--seconds", *seconds, 1, 600);
        const Keying keying = KeyingForRun(c, {}, std::chrono::seconds(length) + kToneLimitMargin);
        PlayTestSound(c.device, "the level tone", LevelTone(length), keying,
                      "playing the " + std::to_string(kCarrierHz) + " Hz lead-in tone for " +
                          std::to_string(length) + " s on " + c.device);
        return kExitDone;
    });
}

}  // namespace zk::cli
