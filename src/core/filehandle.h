// A POSIX file descriptor that is closed on every path. Explicit Close() reports its failure;
// the destructor closes quietly when an earlier fault is already on its way.
#pragma once

#include <sys/stat.h>

#include <string>

namespace zk {

class FileHandle {
  public:
    FileHandle() = default;
    explicit FileHandle(int fd) : fd_(fd) {}
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    FileHandle(FileHandle&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    FileHandle& operator=(FileHandle&& other) noexcept;
    ~FileHandle();

    int Descriptor() const { return fd_; }
    bool IsOpen() const { return fd_ >= 0; }

    // Writes all `size` bytes, going on after partial writes; false with errno set on failure
    // (ENOSPC when the system accepts no more bytes without saying why).
    bool WriteAll(const void* data, unsigned long size);

    // Cuts a regular file to `length` bytes; anything else (a device) is left as it is. False
    // with errno set on failure.
    bool TrimRegularFile(long long length);

    // Closes the descriptor; false with errno set on failure.
    bool Close();

  private:
    int fd_ = -1;
};

// An output file opened by OpenOutputFile: either `file` is open, or `error` holds the errno
// value of the failed call, or `refusal` says why the thing in the file's place was refused.
struct OutputFile {
    FileHandle file;
    int error = 0;
    std::string refusal;
};

// Why a file of this kind is not written (a named pipe, a socket, or a terminal when `terminal`),
// or empty when it may be.
std::string RefusalForKind(const struct stat& status, bool terminal);

// Opens `name` for writing (`flags` such as O_RDWR | O_CREAT; O_CLOEXEC and O_NOCTTY are added)
// without ever waiting: a named pipe, a socket or a terminal in the file's place would hold a
// write (or the opening itself) until someone reads, so these are refused at once with a reason
// a person understands. Regular files and devices that never block (/dev/null, /dev/full) are
// opened in the normal blocking mode.
OutputFile OpenOutputFile(const char* name, int flags);

}  // namespace zk
