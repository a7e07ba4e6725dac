// zk77q3 devices: the ALSA devices that --device can name, for playing into the transmitter
// and for capturing from the receiver, with ALSA's descriptions.
#include <CLI/CLI.hpp>

#include <memory>

#include "commands.h"
#include "devicechoice.h"
#include "messages.h"
#include "report.h"
#include "stdoutput.h"

namespace zk::cli {

namespace {

// A device's description under its name: every line of it indented, so that a description
// that spans lines (a card's name, then what the device does) reads as one block.
constexpr const char* kNameIndent = "  ";
constexpr const char* kDescriptionIndent = "    ";

std::string DeviceText(const PcmDevice& device) {
    std::string text = kNameIndent + EscapeControls(device.name) + "\n";
    if (!device.description) {
        return text;
    }
    std::string_view rest = *device.description;
    for (;;) {
        const std::size_t end = rest.find('\n');
        text += kDescriptionIndent + EscapeControls(rest.substr(0, end)) + "\n";
        if (end == std::string_view::npos) {
            return text;
        }
        rest.remove_prefix(end + 1);
    }
}

std::string SectionText(const std::string& heading, const std::vector<PcmDevice>& devices,
                        bool PcmDevice::*direction) {
    std::string text = heading + "\n";
    bool any = false;
    for (const PcmDevice& device : devices) {
        if (device.*direction) {
            text += DeviceText(device);
            any = true;
        }
    }
    if (!any) {
        text += std::string(kNameIndent) + "(none)\n";
    }
    return text;
}

nlohmann::ordered_json SectionJson(const std::vector<PcmDevice>& devices,
                                   bool PcmDevice::*direction) {
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const PcmDevice& device : devices) {
        if (device.*direction) {
            list.push_back(
                {{"name", device.name},
                 {"description", device.description ? nlohmann::ordered_json(*device.description)
                                                    : nlohmann::ordered_json(nullptr)}});
        }
    }
    return list;
}

int RunDevices(const CommonOptions& common, bool all) {
    const std::vector<PcmDevice> devices = DevicesToChooseFrom(ListPcmDevices(), all);
    if (common.json) {
        const nlohmann::ordered_json lists = {
            {"playback", SectionJson(devices, &PcmDevice::playback)},
            {"capture", SectionJson(devices, &PcmDevice::capture)},
        };
        Print(JsonText(lists));
    } else {
        Print(SectionText("Playback devices:", devices, &PcmDevice::playback) + "\n" +
              SectionText("Capture devices:", devices, &PcmDevice::capture));
    }
    return kExitDone;
}

}  // namespace

void AddDevicesCommand(CLI::App& app, CommonOptions& common) {
    CLI::App& devices = AddCommand(
        app, "devices",
        "Lists the ALSA devices that --device can name, from ALSA's own hints: "
        "those that play (for play, tone and dtmf) and those that capture (for listen), each "
        "name on a line of its own and ALSA's description indented below it. A device that "
        "ALSA does not mark as one or the other is listed under both. \"default\", which every "
        "command opens without --device, comes first, then the sound cards, then the sound "
        "servers; ALSA's converters and mixers (resamplers such as samplerate, lavrate and "
        "speexrate, speex, upmix, vdownmix, a52, null) only with --all.",
        "zk77q3 devices",
        "0 done, 1 the ALSA library cannot be loaded or cannot list its devices, 2 bad input.");
    AddJsonOption(devices, common,
                  "one JSON object on standard output: \"playback\" and \"capture\", each a list "
                  "of {\"name\", \"description\"} (null when ALSA gives none)");
    auto all = std::make_shared<bool>(false);
    devices.add_flag("--all", *all, "also the converters and mixers, after the others");
    SetRun(devices, common, [all](CommonOptions& c) { return RunDevices(c, *all); });
}

}  // namespace zk::cli
