// zk77q3 listen: the programming signal decoded live from a capture device.
#include <unistd.h>

#include <CLI/CLI.hpp>

#include <csignal>
#include <cstdio>

#include "commands.h"
#include "listen.h"
#include "profile.h"
#include "stdoutput.h"
#include "verify.h"

namespace zk::cli {

namespace {

volatile std::sig_atomic_t interrupted = 0;

void OnInterrupt(int) {
    interrupted = 1;
}

}  // namespace

void AddListenCommand(CLI::App& app, CommonOptions& common) {
    CLI::App& listen = AddCommand(
        app, "listen",
        "Captures from the ALSA device (signed 16-bit mono at --rate; ALSA converts) and "
        "decodes continuously; each packet is printed as it is heard. On a terminal a status "
        "line shows the level, \"clipping\" or \"too quiet\", and \"tone heard\" while a lead-in "
        "is on the air. Stops on Ctrl-C (with a summary), after --count packets or --timeout "
        "seconds. Exit status: 0 a valid packet was heard, 1 none (or a device fault), 2 bad "
        "input.",
        "zk77q3 listen --device hw:1 --count 1 --timeout 120");
    auto rate = std::make_shared<std::string>("48000");
    auto count = std::make_shared<std::string>();
    auto timeout = std::make_shared<std::string>();
    listen.add_option("--rate", *rate, "capture rate, 8000..96000 Hz (48000)")
        ->type_name("HZ")
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    listen.add_option("--count", *count, "stop after N packets")
        ->type_name("N")
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    listen.add_option("--timeout", *timeout, "stop after S seconds")
        ->type_name("S")
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    AddDeviceOption(listen, common);
    AddSettingsOptions(listen, common);
    AddJsonOption(listen, common);
    SetRun(listen, common, [rate, count, timeout](CommonOptions& c) {
        ListenRequest request;
        request.device = c.device;
        request.rate = static_cast<unsigned>(WholeNumberIn("--rate", *rate, 8000, 96000));
        if (!count->empty()) {
            request.count = WholeNumberIn("--count", *count, 1, 1000000);
        }
        if (!timeout->empty()) {
            request.timeout = WholeNumberIn("--timeout", *timeout, 1, 31 * 24 * 3600);
        }
        if (!c.given.empty() || !c.config.empty()) {
            request.expected = ArrayForSettings(LoadSettings(c));
        }
        request.json = c.json;
        request.statusLine = ::isatty(STDERR_FILENO) == 1;
        std::signal(SIGINT, OnInterrupt);
        std::signal(SIGTERM, OnInterrupt);
        return RunListen(
            request,
            [](const std::string& text) {
                Print(text);
                std::fflush(stdout);
            },
            stderr, interrupted);
    });
}

}  // namespace zk::cli
