// A POSIX file descriptor that is closed on every path. Explicit Close() reports its failure;
// the destructor closes quietly when an earlier fault is already on its way.
#pragma once

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

}  // namespace zk
