// Reading the help file and the plain-text view of a stream that is not rich text. No Qt here.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "errors.h"

namespace zk {

// The stream could be read neither as rich text nor as plain text.
class StreamLoadError : public Fault {
  public:
    StreamLoadError() : Fault("Failed to Load Stream") {}
};

namespace rtf {

// A help file larger than this is refused with StreamLoadError rather than read without end
// (a device or a fifo standing under the file's name).
inline constexpr std::size_t kMaxStreamBytes = 64u << 20;

// The whole of the file `name`, resolved against the working directory and opened read-only
// under a shared lock, so that a program holding the file locked for writing keeps it.
// Throws FileOpenError with the full path when the file cannot be opened, is a folder, or is
// locked; StreamLoadError when it cannot be read or is too large.
std::string ReadStreamFile(const std::string& name);

// The stream as plain text, in UTF-16: UTF-8 when it is valid UTF-8 (a leading byte-order mark
// dropped), otherwise Windows-1251; line ends CR LF and CR become LF. None when the stream holds
// a NUL byte: such a stream is no text at all.
std::optional<std::u16string> PlainTextOf(std::string_view bytes);

}  // namespace rtf
}  // namespace zk
