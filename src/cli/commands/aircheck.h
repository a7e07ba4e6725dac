// Send and check in one run. While play sends, a second receiver (another sound card, or the
// radio's own monitor output) is heard by zk77q3 listen, a second process of this very program
// started beside this one before the first sample goes out; its first packet is compared with
// the settings just sent, every byte of the array. Only that process loads the decoding
// libraries (receivelibrary.h).
#pragma once

#include <sys/types.h>

#include <nlohmann/json.hpp>

#include <optional>
#include <string>

#include "filehandle.h"
#include "panelstate.h"

namespace zk::cli {

// What the second receiver made of a send, best first: the array exactly as sent; a sound packet
// with other settings (or settings generate could not have sent); a packet whose check word or
// header is wrong; nothing.
enum class AirVerdict { AsSent, Different, Broken, NotHeard };

// "as-sent", "different", "broken", "not-heard".
const char* AirVerdictName(AirVerdict verdict);

struct AirCheckResult {
    AirVerdict verdict = AirVerdict::NotHeard;
    // One line for the operator: "heard as sent, margin 14.2 dB", "heard different settings:
    // user open code: expected 1590, decoded 1591", "heard with a broken check word, margin
    // -2.1 dB", "not heard: <the receiver's findings>".
    std::string line;
    std::optional<double> marginDb;
};

class AirCheck {
  public:
    // Starts listening on the capture `device` for at most `seconds` of sound (a bound on a send
    // that never ends), expecting the array of `sent`, and returns once the capture runs. Throws a
    // Fault with the receiver's own message when it does not start (a device that cannot be opened,
    // say).
    AirCheck(const std::string& device, const PanelState& sent, int seconds);
    // Stops a listener that is still running.
    ~AirCheck();
    AirCheck(const AirCheck&) = delete;
    AirCheck& operator=(const AirCheck&) = delete;

    // Call once the sound has drained: waits a little for the listener's first packet, then
    // stops it, and says what it heard. Under a TerminationHold that holds a signal it stops
    // waiting at once.
    AirCheckResult Finish();

  private:
    pid_t child_ = -1;
    FileHandle report_;    // the listener's standard output: one JSON line per packet
    FileHandle messages_;  // its standard error: the summary and why nothing was heard
};

// The verdict of the listener's output: its report (JSON lines, the first packet counts) and its
// messages (the findings when nothing was heard).
AirCheckResult ReadAirCheck(const std::string& report, const std::string& messages);

// The entry's "check" object in the programming log: {"device", "verdict", "margin_db"}.
nlohmann::ordered_json AirCheckJson(const std::string& device, const AirCheckResult& result);

}  // namespace zk::cli
