#include "receivestate.h"

#include <algorithm>

namespace zk::monitor {

void ReceiveStateTracker::Advance(double streamSeconds, bool toneHeard, int dataBit,
                                  bool packetHeard) {
    if (packetHeard) {
        state_ = {ReceivePhase::Packet, 0};
        packetSeconds_ = streamSeconds;
        return;
    }
    if (dataBit > 0) {
        state_ = {ReceivePhase::Receiving, std::clamp(dataBit, 1, kPacketBitCount)};
        return;
    }
    if (toneHeard) {
        state_ = {ReceivePhase::LeadIn, 0};
        return;
    }
    if (state_.phase == ReceivePhase::Packet &&
        streamSeconds - packetSeconds_ <= kPacketShownSeconds) {
        return;
    }
    state_ = {ReceivePhase::Waiting, 0};
}

void ReceiveStateTracker::End() {
    const ReceivePhase before = state_.phase;
    state_ = {ReceivePhase::Ended, before == ReceivePhase::Receiving ? state_.bit : 0, before};
}

}  // namespace zk::monitor
