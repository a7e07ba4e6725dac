#include "filehandle.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace zk {

FileHandle::~FileHandle() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

FileHandle& FileHandle::operator=(FileHandle&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

bool FileHandle::WriteAll(const void* data, unsigned long size) {
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t written = ::write(fd_, bytes, size);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        if (written == 0) {
            errno = ENOSPC;
            return false;
        }
        bytes += written;
        size -= static_cast<unsigned long>(written);
    }
    return true;
}

bool FileHandle::TrimRegularFile(long long length) {
    struct stat status {};
    if (::fstat(fd_, &status) != 0) {
        return false;
    }
    return !S_ISREG(status.st_mode) || ::ftruncate(fd_, static_cast<off_t>(length)) == 0;
}

bool FileHandle::Close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
}

}  // namespace zk

namespace zk {

std::string RefusalForKind(const struct stat& status, bool terminal) {
    if (S_ISFIFO(status.st_mode)) {
        return "It is a named pipe (FIFO), not a regular file: writing to it would wait for a "
               "reader";
    }
    if (S_ISSOCK(status.st_mode)) {
        return "It is a socket, not a regular file";
    }
    if (terminal) {
        return "It is a terminal, not a regular file";
    }
    return {};
}

OutputFile OpenOutputFile(const char* name, int flags) {
    OutputFile out;
    // Without O_NONBLOCK, opening a named pipe for writing waits for a reader.
    out.file = FileHandle(::open(name, flags | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0666));
    struct stat status {};
    if (!out.file.IsOpen()) {
        out.error = errno;
        // A pipe without a reader or a socket refuses the opening with ENXIO, which says nothing
        // to a person; the kind of the thing says what is wrong.
        if (out.error == ENXIO && ::stat(name, &status) == 0) {
            out.refusal = RefusalForKind(status, false);
        }
        errno = out.error;
        return out;
    }
    if (::fstat(out.file.Descriptor(), &status) != 0) {
        out.error = errno;
    } else {
        out.refusal = RefusalForKind(status, ::isatty(out.file.Descriptor()) == 1);
        const int mode = ::fcntl(out.file.Descriptor(), F_GETFL);
        if (out.refusal.empty() &&
            (mode < 0 || ::fcntl(out.file.Descriptor(), F_SETFL, mode & ~O_NONBLOCK) != 0)) {
            out.error = errno;
        }
    }
    if (out.error != 0 || !out.refusal.empty()) {
        out.file = FileHandle();
        errno = out.error;
    }
    return out;
}

}  // namespace zk
