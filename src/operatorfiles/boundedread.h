// Reading what the operator or another program hands over (a profile, the settings on a pipe)
// to its end, but never more than the reader can use: a device that never ends (/dev/zero) or
// an endless pipe stops at the limit instead of filling the memory.
#pragma once

#include <cstddef>
#include <string>

namespace zk {

struct BoundedText {
    std::string text;  // at most `limit` + 1 bytes: more than `limit` means there was more
    int error = 0;     // the errno value of a failed read, 0 when the end was reached
};

// Reads `fd` until its end, an error or `limit` + 1 bytes, whichever comes first.
BoundedText ReadAtMost(int fd, std::size_t limit);

}  // namespace zk
