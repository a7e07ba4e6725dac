// Plays a sound held only in memory (the level tone, a DTMF sequence) on an ALSA device.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zk::cli {

// Throws a Fault "Cannot play <what>. <reason naming the device>" when it cannot be played.
void PlayTestSound(const std::string& device, const std::string& what,
                   const std::vector<std::int16_t>& samples);

}  // namespace zk::cli
