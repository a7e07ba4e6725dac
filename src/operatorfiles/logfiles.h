// Opening the programming log's folder and file. The log holds access codes, so both must be
// the running user's own, reachable by that user only, and the very folder and file named: a
// symbolic link in either place could lead the log into someone else's hands, and a named pipe
// or a device would hold a run that has already sent its signal. Every step works on descriptors
// (the folder opened once, the file opened inside it), so that nothing can be swapped between a
// check and the use.
#pragma once

#include <filesystem>
#include <string>

#include "filehandle.h"
#include "wording.h"

namespace zk {

enum class LogUse {
    Append,  // open for adding an entry: the folder and the file are made when missing
    Read,    // open for reading: a missing folder or file means an empty log
};

// The log file opened and locked for `use` (exclusive to append, shared to read), or why not.
// `fault` names the folder or file, what failed and the system's reason (in English and in
// Russian, for the window's box after a send); when it is empty and
// `file` is closed, the log does not exist yet (reading only).
struct OpenedLog {
    FileHandle file;
    Wording fault;
};

// Opens the log at `path` (…/zk77q3/sent.jsonl) for `use`: refuses a folder or file that
// belongs to another user or is a symbolic link, refuses a file that is not a regular file, and
// takes group and other access away from a folder or file that has it, saying so on standard
// error. Waits a few seconds for a lock that another run holds.
OpenedLog OpenSentLogFile(const std::filesystem::path& path, LogUse use);

// "<what> "<path>": <system text for errnoValue>", the path with control characters escaped.
Wording LogFault(const Wording& what, const std::filesystem::path& path, int errnoValue);

// "<noun> "<path>" <rest>", the path with control characters escaped.
Wording AboutLogPath(const Wording& noun, const std::filesystem::path& path, const Wording& rest);

}  // namespace zk
