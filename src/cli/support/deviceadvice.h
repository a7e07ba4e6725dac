// What a device-open failure on the command line adds to ALSA's text: a wrong --device is the
// usual cause, and the devices command shows the names that can be given.
#pragma once

namespace zk::cli {

inline constexpr const char* kDevicesAdvice = "`zk77q3 devices` lists the devices";

}  // namespace zk::cli
