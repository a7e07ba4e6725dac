// Standard output, written through one buffer and checked at the end: a listing lost to a full
// disk or a closed pipe is a fault (exit status 1), never a silent success.
#pragma once

#include <string_view>

namespace zk::cli {

void Print(std::string_view text);
// Print, then at once out of the buffer: for reports that must reach a pipe as they are made,
// and stay there when the run is interrupted.
void PrintNow(std::string_view text);

// Flushes and closes standard output. Returns `status`, or kExitFault with a message on standard
// error when a write or the closing failed and `status` was a success.
int FinishStandardOutput(int status);

}  // namespace zk::cli
