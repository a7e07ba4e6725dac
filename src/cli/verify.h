// `zk77q3 verify`: decodes recordings of the programming signal and says, per file and per
// packet, what the repeater would have taken, how much margin there was, and, when an
// expectation is given, which settings differ from it.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "panelstate.h"
#include "receiveoutput.h"

namespace zk::cli {

struct VerifyRequest {
    std::vector<std::string> files;
    std::optional<int> channel;     // 1-based; none: the channel that carries the signal
    bool json = false;              // one JSON object per file per line
    std::optional<Array> expected;  // the array that should have been sent
};

// The array that `generate` would send for `panel` (its access codes must be valid).
Array ArrayForSettings(PanelState panel);

// The first valid array in a WAV file written by `generate` (or any recording of one); throws
// a Fault when the file cannot be read or holds none.
Array ArrayOfRecording(const std::string& path);

// Decodes every file; returns the exit status: 0 every file holds a valid packet (matching the
// expectation, if any), 1 a file holds none or a mismatch, 2 a file could not be read (its
// message on standard error, the other files still decoded). Reports go to `out`.
int RunVerify(const VerifyRequest& request, std::ostream& out);

}  // namespace zk::cli
