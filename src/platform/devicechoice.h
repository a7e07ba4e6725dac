// The sound devices as an operator chooses among them, for the command line's list and the
// monitor window's alike: the one every command opens first, then the sound cards and the sound
// servers; ALSA's converters and mixers, which a radio's sound card never needs, only on request.
#pragma once

#include <vector>

#include "alsadevices.h"

namespace zk {

// "default" first, for both directions (every command opens it when --device names no other),
// listed even when ALSA's hints leave it out; then the devices of the sound cards ("hw:",
// "plughw:", "sysdefault:CARD=..."), then the sound servers and the configuration's own devices,
// each group in ALSA's order. Resamplers, up- and down-mixers, the noise filter, the AC-3 encoder
// and the null device follow only when `all`, last.
std::vector<PcmDevice> DevicesToChooseFrom(std::vector<PcmDevice> devices, bool all);

}  // namespace zk
