#include "packetverdict.h"

#include "decodedsettings.h"

namespace zk {

const char* PacketVerdictName(PacketVerdict verdict) {
    switch (verdict) {
        case PacketVerdict::Valid:
            return "valid";
        case PacketVerdict::SettingsBad:
            return "settings-bad";
        case PacketVerdict::CrcBad:
            return "crc-bad";
        case PacketVerdict::HeaderBad:
            return "header-bad";
    }
    return "?";
}

PacketVerdict VerdictOf(const receive::Packet& packet) {
    if (!packet.headerOk) {
        return PacketVerdict::HeaderBad;
    }
    if (!packet.crcOk) {
        return PacketVerdict::CrcBad;
    }
    return DecodeSettings(packet.bytes).problems.empty() ? PacketVerdict::Valid
                                                         : PacketVerdict::SettingsBad;
}

}  // namespace zk
