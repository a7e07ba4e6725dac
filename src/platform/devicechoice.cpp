#include "devicechoice.h"

#include <algorithm>
#include <string_view>

namespace zk {

namespace {

constexpr std::string_view kDefaultName = "default";

// Plugins of libasound2-plugins and alsa-lib that change the sound on its way rather than lead
// to a card or a server. A family's variants carry its name and an underscore
// ("samplerate_best").
constexpr std::string_view kConverterFamilies[] = {"lavrate", "samplerate", "speexrate"};
constexpr std::string_view kConverters[] = {"speex", "upmix", "vdownmix", "a52", "null"};

// "plughw:CARD=Set,DEV=0": a card's devices carry the card after a colon.
bool IsCardDevice(std::string_view name) {
    return name.find(':') != std::string_view::npos;
}

bool IsConverterDevice(std::string_view name) {
    const std::string_view base = name.substr(0, name.find(':'));
    for (const std::string_view family : kConverterFamilies) {
        if (base == family || (base.starts_with(family) && base.size() > family.size() &&
                               base[family.size()] == '_')) {
            return true;
        }
    }
    return std::find(std::begin(kConverters), std::end(kConverters), base) != std::end(kConverters);
}

}  // namespace

std::vector<PcmDevice> DevicesToChooseFrom(std::vector<PcmDevice> devices, bool all) {
    PcmDevice first{std::string(kDefaultName), std::nullopt, true, true};
    const auto listed = std::find_if(devices.begin(), devices.end(),
                                     [](const PcmDevice& d) { return d.name == kDefaultName; });
    if (listed != devices.end()) {
        first.description = listed->description;
        devices.erase(listed);
    }
    if (!all) {
        std::erase_if(devices, [](const PcmDevice& d) { return IsConverterDevice(d.name); });
    }
    const auto converters =
        std::stable_partition(devices.begin(), devices.end(),
                              [](const PcmDevice& d) { return !IsConverterDevice(d.name); });
    std::stable_partition(devices.begin(), converters,
                          [](const PcmDevice& d) { return IsCardDevice(d.name); });
    devices.insert(devices.begin(), std::move(first));
    return devices;
}

}  // namespace zk
