// What a heard packet is worth to the repeater, best first. A packet with a right header and
// check word whose settings generate could not have sent is still decoded, but the repeater
// would take nonsense.
#pragma once

#include "packet.h"

namespace zk {

enum class PacketVerdict {
    Valid,        // header and check word right, settings that generate could have sent
    SettingsBad,  // header and check word right, but the settings are nonsense
    CrcBad,       // the check word does not match the bytes: the repeater ignores it
    HeaderBad,    // not the programmer's header: not a programming message
};

// "valid", "settings-bad", "crc-bad", "header-bad": the reports' and the log's word for it.
const char* PacketVerdictName(PacketVerdict verdict);
PacketVerdict VerdictOf(const receive::Packet& packet);

}  // namespace zk
