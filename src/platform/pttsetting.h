// How the operator names the transmitter's push-to-talk: one short text, as --ptt takes it and
// the station's configuration holds it.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include "wording.h"

namespace zk {

// The ways of keying a transmitter that Hamlib knows and the programmer offers.
enum class PttMethod {
    None,     // nobody keys: the operator presses the button, or the radio keys on sound (VOX)
    Rts,      // a serial port's RTS line through a keying interface
    Dtr,      // a serial port's DTR line
    Cat,      // the radio's own command to transmit, over its CAT port
    Cm108,    // a GPIO pin of a CM108/CM119 USB sound-card interface, through hidraw
    Rigctld,  // a running rigctld, which owns the radio and keys it for us
};

// A parsed PTT text. Only the fields of its method carry meaning.
struct PttSetting {
    static constexpr int kDefaultCm108Gpio = 3;  // the pin most interfaces wire to PTT
    static constexpr const char* kDefaultRigctldHost = "localhost";
    static constexpr int kDefaultRigctldPort = 4532;  // rigctld's own default

    PttMethod method = PttMethod::None;
    std::string text = "none";               // as the operator wrote it, for messages
    std::string device;                      // rts, dtr, cat, cm108: the device file
    int rigModel = 0;                        // cat: Hamlib's model number ("rigctl --list")
    int baud = 0;                            // cat: serial speed, 0 for the model's own
    int cm108Gpio = kDefaultCm108Gpio;       // cm108: GPIO 1..8
    std::string host = kDefaultRigctldHost;  // rigctld
    int port = kDefaultRigctldPort;          // rigctld
};

// Bad PTT text: the message names the text and what is wrong with it. Operator input, so the
// command line reports it as a usage error, before anything is written or keyed. Worded in
// Russian too, for the window.
class PttSettingError : public std::runtime_error, public RussianWording {
  public:
    explicit PttSettingError(const Wording& message)
        : std::runtime_error(message.english), RussianWording(message.russian) {}
};

// Reads one of
//   none                       no keying (the default)
//   rts:DEVICE   dtr:DEVICE    a serial control line, DEVICE a full path (/dev/ttyUSB0)
//   cat:MODEL:DEVICE[:BAUD]    the radio's CAT command; MODEL a Hamlib model number
//   cm108:DEVICE[:GPIO]        a CM108 interface's GPIO pin (1..8, default 3), DEVICE /dev/hidrawN
//   rigctld[:HOST[:PORT]]      a rigctld (default localhost:4532); an IPv6 address in brackets
// A device's name may itself hold colons (/dev/serial/by-path/...): only a last field of digits
// is taken as BAUD or GPIO. Throws PttSettingError.
PttSetting ParsePttSetting(std::string_view text);

}  // namespace zk
