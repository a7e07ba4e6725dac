#include "packetverdict.h"

#include "decodedsettings.h"

namespace zk::monitor {

PacketVerdict VerdictOf(const receive::Packet& packet) {
    if (!packet.headerOk) {
        return PacketVerdict::HeaderBad;
    }
    if (!packet.crcOk) {
        return PacketVerdict::CrcBad;
    }
    return receive::DecodeSettings(packet.bytes).problems.empty() ? PacketVerdict::Valid
                                                                  : PacketVerdict::SettingsBad;
}

}  // namespace zk::monitor
