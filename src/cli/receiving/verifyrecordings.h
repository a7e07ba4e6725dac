// `zk77q3 verify`: decodes recordings of the programming signal and says, per file and per
// packet, what the repeater would have taken, how much margin there was, and, when an
// expectation is given, whether it was met and what differs from it.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "packet.h"
#include "packetverdict.h"
#include "panelstate.h"
#include "receiveoutput.h"

namespace zk {
class SoundFileError;
}

namespace zk::cli {

// A recording's fault as verify and listen word it: "cannot open recording "air.wav": no such
// file or directory", "cannot read recording "notes.wav": format not recognised".
std::string RecordingFaultText(const SoundFileError& error);

// Why a file gave no packet at all, best first; each ranks below every packet verdict.
enum class NoPacket { Truncated, TooNoisy, NoSignal };

// A file's verdict: the best verdict of its packets, or, when none came out, why.
using FileVerdict = std::variant<PacketVerdict, NoPacket>;

// The file's verdict as the text and the JSON report say it: a packet verdict's own word
// ("valid", "settings-bad", "crc-bad", "header-bad"), or "truncated", "too-noisy", "no-signal".
const char* FileVerdictName(const FileVerdict& verdict);

// The verdict of a file (of the channel reported) that gave these packets and this diagnosis.
FileVerdict FileVerdictOf(const std::vector<receive::Packet>& packets,
                          const receive::Diagnosis& diagnosis);

// verify's exit statuses; of several files the highest counts.
inline constexpr int kVerifyAsExpected = 0;     // every file holds a sound packet, as expected
inline constexpr int kVerifyNotAsExpected = 1;  // a file holds none, or one that differs
inline constexpr int kVerifyBadInput = 2;       // bad options, or a file that cannot be read

struct VerifyRequest {
    std::vector<std::string> files;
    std::optional<int> channel;  // 1-based; none: the channel that carries the signal
    bool json = false;           // one JSON object per file, one line each
    std::optional<Expectation> expected;
};

// The first valid array in a WAV file written by `generate` (or any recording of one); throws
// a Fault when the file cannot be read or holds none.
Array ArrayOfRecording(const std::string& path);

// Decodes every file and hands each file's report to `emit` as soon as the file is done (a
// file that cannot be read gets its message on standard error, and the others are still
// decoded). Returns the exit status, the highest of the files'.
int RunVerify(const VerifyRequest& request, const std::function<void(const std::string&)>& emit);

}  // namespace zk::cli
