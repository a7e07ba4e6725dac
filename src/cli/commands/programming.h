// One programming run, shared by generate and play: settings read and checked, both files
// written, the listing printed, the sound sent when asked.
#pragma once

#include <string>

#include "commandline.h"

namespace zk::cli {

struct SendOptions {
    bool play = false;
    int delaySeconds = 0;   // play: count down this long before sending
    std::string checkWith;  // play: the capture device that hears the air, or empty
    int retries = 0;        // play --check-with: sends after the first until heard as sent
};

int RunProgramming(CommonOptions& common, const SendOptions& send);

}  // namespace zk::cli
