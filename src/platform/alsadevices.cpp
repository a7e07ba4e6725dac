#include "alsadevices.h"

#include <cstdlib>
#include <memory>

#include "alsalibrary.h"
#include "errors.h"

namespace zk {

namespace {

const Wording kCannotList{"Cannot list the ALSA devices. ",
                          "Не удаётся получить список устройств ALSA. "};

void DropAlsaMessage(const char*, int, const char*, int, const char*, ...) {}

struct FreeText {
    void operator()(char* text) const { std::free(text); }
};
using HintText = std::unique_ptr<char, FreeText>;

struct HintsRelease {
    const alsa::PlaybackFunctions& snd;
    void** hints;
    ~HintsRelease() {
        snd.device_name_free_hint(hints);
        // The hints read the global configuration; nothing of it stays allocated afterwards.
        snd.config_update_free_global();
    }
};

std::optional<std::string> Hint(const alsa::PlaybackFunctions& snd, const void* hint,
                                const char* id) {
    const HintText text(snd.device_name_get_hint(hint, id));
    if (!text) {
        return std::nullopt;
    }
    return std::string(text.get());
}

const alsa::PlaybackFunctions& LoadedLibrary() {
    try {
        return alsa::Playback();
    } catch (const alsa::LoadError& error) {
        throw Fault(
            kCannotList +
            Wording{"ALSA library cannot be loaded: ", "библиотеку ALSA не удаётся загрузить: "} +
            Verbatim(error.what()));
    }
}

}  // namespace

std::vector<PcmDevice> ListPcmDevices() {
    const alsa::PlaybackFunctions& snd = LoadedLibrary();
    snd.lib_error_set_handler(&DropAlsaMessage);
    void** hints = nullptr;
    // Card -1: the devices of every card and those that the configuration defines.
    const int err = snd.device_name_hint(-1, "pcm", &hints);
    if (err < 0) {
        throw Fault(kCannotList + Verbatim(TrimTrailingStops(snd.strerror(err))));
    }
    const HintsRelease release{snd, hints};
    std::vector<PcmDevice> devices;
    for (void** hint = hints; *hint != nullptr; ++hint) {
        std::optional<std::string> name = Hint(snd, *hint, "NAME");
        if (!name) {
            continue;  // nothing that could be given as --device
        }
        const std::optional<std::string> direction = Hint(snd, *hint, "IOID");
        PcmDevice device;
        device.name = std::move(*name);
        device.description = Hint(snd, *hint, "DESC");
        device.playback = !direction || *direction == "Output";
        device.capture = !direction || *direction == "Input";
        devices.push_back(std::move(device));
    }
    return devices;
}

}  // namespace zk
