// What a heard packet is worth to the repeater, best first: the same order and rules as the
// command line's verify and listen, so the window and the terminal never disagree.
#pragma once

#include "packet.h"

namespace zk::monitor {

enum class PacketVerdict {
    Valid,        // header and check word right, settings that generate could have sent
    SettingsBad,  // header and check word right, but the settings are nonsense
    CrcBad,       // the check word does not match the bytes: the repeater ignores it
    HeaderBad,    // not the programmer's header: not a programming message
};

PacketVerdict VerdictOf(const receive::Packet& packet);

}  // namespace zk::monitor
