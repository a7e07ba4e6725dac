#include "standardstreams.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace zk {

void OpenClosedStandardStreams() noexcept {
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (::fcntl(fd, F_GETFD) == -1 && errno == EBADF) {
            // The lowest free number: the closed stream's own, as the lower ones are open.
            const int opened = ::open("/dev/null", O_RDONLY);
            if (opened != fd && opened >= 0) {
                ::dup2(opened, fd);
                ::close(opened);
            }
        }
    }
}

}  // namespace zk
