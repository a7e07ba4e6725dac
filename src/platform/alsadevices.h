// The PCM devices that alsa-lib knows of, from its hints: the names and descriptions that
// `aplay -L` and `arecord -L` show, so that an operator can find the name to give as --device
// for the sound card that feeds the radio.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace zk {

struct PcmDevice {
    std::string name;                        // what to open: "default", "plughw:CARD=Set,DEV=0"
    std::optional<std::string> description;  // as ALSA gives it; may span lines ('\n')
    bool playback = false;
    bool capture = false;
};

// Every PCM device of the configuration and the cards, in alsa-lib's order. A device whose
// hint names no direction (no IOID) serves both. Throws a Fault "Cannot list the ALSA devices.
// <reason>" when alsa-lib cannot be loaded or cannot give its hints; alsa-lib's own diagnostic
// lines are kept off the standard error stream.
std::vector<PcmDevice> ListPcmDevices();

}  // namespace zk
