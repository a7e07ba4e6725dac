#include "boundedread.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace zk {

BoundedText ReadAtMost(int fd, std::size_t limit) {
    BoundedText result;
    char buffer[4096];
    while (result.text.size() <= limit) {
        const std::size_t wanted = std::min(sizeof buffer, limit + 1 - result.text.size());
        const ssize_t n = ::read(fd, buffer, wanted);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            result.error = errno;
            break;
        }
        if (n == 0) {
            break;
        }
        result.text.append(buffer, static_cast<std::size_t>(n));
    }
    return result;
}

}  // namespace zk
