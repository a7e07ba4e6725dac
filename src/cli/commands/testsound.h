// Plays a sound held only in memory (the level tone, a DTMF sequence) on an ALSA device, with
// the transmitter keyed around it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "keying.h"

namespace zk::cli {

// Says `announcement` on standard error once the PTT has been reached, then plays. Throws a Fault
// "Cannot play <what>. <reason naming the device>" when it cannot be played, and PttError, with
// nothing played, when the PTT cannot be reached or keyed. A request to end the process while it
// plays gets one line saying how far the sound got, then ends the process as it asks.
void PlayTestSound(const std::string& device, const std::string& what,
                   const std::vector<std::int16_t>& samples, const Keying& keying,
                   const std::string& announcement);

}  // namespace zk::cli
