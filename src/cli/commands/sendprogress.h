// How far the send has got, for the operator holding the transmitter's key: on a terminal one
// line on standard error, rewritten in place; elsewhere (a log, a script) nothing at all.
#pragma once

#include <string>

#include "audioplayer.h"

namespace zk::cli {

// "sending: 1.2 of 3.0 s"
std::string SendProgressText(double sentSeconds, double totalSeconds);

// While it lives, `player` reports its progress on standard error, when that is a terminal;
// the line is ended when it goes, however the play ended.
class SendProgressLine {
  public:
    explicit SendProgressLine(AlsaPlayer& player);
    ~SendProgressLine();
    SendProgressLine(const SendProgressLine&) = delete;
    SendProgressLine& operator=(const SendProgressLine&) = delete;

  private:
    AlsaPlayer& player_;
    std::string shown_;  // the text on the line now, if any
};

}  // namespace zk::cli
