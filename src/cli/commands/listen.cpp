// zk77q3 listen: the programming signal decoded live from a capture device.
#include <CLI/CLI.hpp>

#include "commands.h"
#include "receivelibrary.h"

namespace zk::cli {

void AddListenCommand(CLI::App& app, CommonOptions& common) {
    CLI::App& listen = AddCommand(
        app, "listen",
        "Captures from the ALSA device (signed 16-bit mono at --rate; ALSA converts) and "
        "decodes continuously; each packet is printed as it is heard, as verify reports it. On "
        "a terminal a status line shows the level, \"clipping\" or \"too quiet\", and \"tone "
        "heard\" while a lead-in is on the air. Stops on Ctrl-C (with a summary), after --count "
        "packets or --timeout seconds. An expectation is given as for verify: settings as "
        "options (only those compared), --config (the whole array) or --expect-last.",
        "zk77q3 listen --device hw:1 --count 1 --timeout 120",
        "0 a valid packet with possible settings (as expected, if an expectation was given) "
        "was heard; 1 none was (only broken, impossible or differing packets, or none at all), "
        "or a device fault; 2 bad input.");
    auto arguments = std::make_shared<ListenArguments>();
    AddValueOption(listen, "--rate", arguments->rate, "capture rate, 8000..96000 Hz (48000)", "HZ");
    AddValueOption(listen, "--count", arguments->count, "stop after N packets", "N");
    AddValueOption(listen, "--timeout", arguments->timeout, "stop after S seconds", "S");
    listen.add_flag("--expect-last", arguments->expectLast,
                    "expect the array of the programming log's last entry (what play sent last)");
    AddDeviceOption(listen, common);
    AddSettingsOptions(listen, common);
    AddDirectoryOption(listen, common, false);
    AddJsonOption(listen, common,
                  "one JSON object per packet, each on one line, written as the packet is heard: "
                  "time, verdict, array, check word, measurements, settings, their problems, "
                  "differences");
    SetRun(listen, common,
           [arguments](CommonOptions& c) { return RunListenCommand(*arguments, c); });
}

}  // namespace zk::cli
