// What the receiver is doing now, for the window's state line: waiting for a lead-in, hearing
// one, counting the data bits as they come in, or showing the packet that just ended.
//
// The demodulator reports a packet only once its last bit is in; the bit count in between is
// reckoned from the end of the lead-in tone at the signal's bit rate, which is what the operator
// needs to see that a packet is on its way.
#pragma once

namespace zk::monitor {

enum class ReceivePhase { Waiting, LeadIn, Receiving, Packet };

struct ReceiveState {
    ReceivePhase phase = ReceivePhase::Waiting;
    int bit = 0;  // 1..kPacketBits while Receiving, else 0
};

// 64 samples a bit at 16000 Hz: 4 ms.
inline constexpr double kBitSeconds = 0.004;
inline constexpr int kPacketBitCount = 512;
// After the last bit is due, how long the state stays "receiving" waiting for the packet before
// it is taken as lost: the demodulator's filters and decision take a moment after the end.
inline constexpr double kPacketLateSeconds = 0.5;
// How long "packet" stays up after one was heard, unless a new lead-in begins.
inline constexpr double kPacketShownSeconds = 2.0;

class ReceiveStateTracker {
  public:
    // Takes what the stream says at `streamSeconds` (input time, never going back): whether a
    // lead-in tone is on now, and whether packets came out since the previous call.
    void Advance(double streamSeconds, bool toneHeard, bool packetHeard);
    ReceiveState State() const { return state_; }

  private:
    ReceiveState state_;
    double dataStartSeconds_ = 0;
    double packetSeconds_ = 0;
};

}  // namespace zk::monitor
