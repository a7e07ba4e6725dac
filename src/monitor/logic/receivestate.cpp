#include "receivestate.h"

#include <algorithm>
#include <cmath>

namespace zk::monitor {

void ReceiveStateTracker::Advance(double streamSeconds, bool toneHeard, bool packetHeard) {
    if (packetHeard) {
        state_ = {ReceivePhase::Packet, 0};
        packetSeconds_ = streamSeconds;
        return;
    }
    if (toneHeard) {
        state_ = {ReceivePhase::LeadIn, 0};
        return;
    }
    switch (state_.phase) {
        case ReceivePhase::LeadIn:
            // The tone has just stopped: the data begins.
            state_ = {ReceivePhase::Receiving, 1};
            dataStartSeconds_ = streamSeconds;
            return;
        case ReceivePhase::Receiving: {
            const double elapsed = streamSeconds - dataStartSeconds_;
            if (elapsed > kPacketBitCount * kBitSeconds + kPacketLateSeconds) {
                state_ = {ReceivePhase::Waiting, 0};
                return;
            }
            const int bit = static_cast<int>(std::floor(elapsed / kBitSeconds)) + 1;
            state_.bit = std::clamp(bit, 1, kPacketBitCount);
            return;
        }
        case ReceivePhase::Packet:
            if (streamSeconds - packetSeconds_ > kPacketShownSeconds) {
                state_ = {ReceivePhase::Waiting, 0};
            }
            return;
        case ReceivePhase::Waiting:
            return;
    }
}

}  // namespace zk::monitor
