// What the receiver is doing now, for the window's state line: waiting for a lead-in, hearing
// one, counting the data bits as they come in, showing the packet that just ended, or, once a
// recording has been read to its end, where in a transmission it ended.
//
// The demodulator reports a packet only once its last bit is in; until then it says which bit of
// the data is on the air, which is what the operator needs to see that a packet is on its way.
#pragma once

namespace zk::monitor {

enum class ReceivePhase { Waiting, LeadIn, Receiving, Packet, Ended };

struct ReceiveState {
    ReceivePhase phase = ReceivePhase::Waiting;
    int bit = 0;  // 1..kPacketBitCount while Receiving, and for Ended inside the data; else 0
    // For Ended: what the receiver was doing when the recording ended.
    ReceivePhase endedIn = ReceivePhase::Waiting;
};

inline constexpr int kPacketBitCount = 512;
// How long "packet" stays up after one was heard, unless a new lead-in begins.
inline constexpr double kPacketShownSeconds = 2.0;

class ReceiveStateTracker {
  public:
    // Takes what the receiver says at `streamSeconds` (input time, never going back): whether a
    // lead-in tone is on now, which data bit is coming in (0: none), and whether packets came out
    // since the previous call.
    void Advance(double streamSeconds, bool toneHeard, int dataBit, bool packetHeard);
    // The recording has been read to its end.
    void End();
    ReceiveState State() const { return state_; }

  private:
    ReceiveState state_;
    double packetSeconds_ = 0;
};

}  // namespace zk::monitor
