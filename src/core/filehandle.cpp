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
