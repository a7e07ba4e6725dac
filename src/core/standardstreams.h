// The three standard streams, whatever the program was started with.
#pragma once

namespace zk {

// Each program calls this first thing. A standard stream that was closed (`<&-`, `>&-`) is put
// back on /dev/null opened for reading only: otherwise the next file opened, by us or by a
// library as it loads, takes its number, and a listing meant for the terminal goes into it, or
// a profile is read from it. Reading it gives nothing; writing to it fails, so output that had
// nowhere to go is a fault, never a silent success.
void OpenClosedStandardStreams() noexcept;

}  // namespace zk
