#include "streamfile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "codepage.h"
#include "filehandle.h"

namespace zk::rtf {

std::string ReadStreamFile(const std::string& name) {
    // Opened without waiting, so that a fifo without a writer cannot stall the start-up.
    FileHandle file(::open(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat status {};
    if (!file.IsOpen() || ::fstat(file.Descriptor(), &status) != 0 ||
        ::flock(file.Descriptor(), LOCK_SH | LOCK_NB) != 0) {
        throw FileOpenError(FullPath(name), errno);
    }
    if (S_ISDIR(status.st_mode)) {
        throw FileOpenError(FullPath(name), EISDIR);
    }
    const int flags = ::fcntl(file.Descriptor(), F_GETFL);
    if (flags != -1) {
        ::fcntl(file.Descriptor(), F_SETFL, flags & ~O_NONBLOCK);
    }

    std::string bytes;
    if (S_ISREG(status.st_mode) && status.st_size > 0 &&
        static_cast<unsigned long long>(status.st_size) <= kMaxStreamBytes) {
        bytes.reserve(static_cast<std::size_t>(status.st_size));
    }
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(file.Descriptor(), buffer, sizeof buffer);
        if (got == 0) {
            break;
        }
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw StreamLoadError();
        }
        if (bytes.size() + static_cast<std::size_t>(got) > kMaxStreamBytes) {
            throw StreamLoadError();
        }
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
    return bytes;
}

std::optional<std::u16string> PlainTextOf(std::string_view bytes) {
    if (bytes.find('\0') != std::string_view::npos) {
        return std::nullopt;
    }
    int codePage = 1251;
    if (IsValidUtf8(bytes)) {
        codePage = kUtf8CodePage;
        if (bytes.starts_with("\xEF\xBB\xBF")) {
            bytes.remove_prefix(3);
        }
    }
    std::u16string decoded;
    decoded.reserve(bytes.size());
    CodePageDecoder().Decode(bytes, codePage, decoded);

    std::u16string text;
    text.reserve(decoded.size());
    for (std::size_t i = 0; i < decoded.size(); ++i) {
        if (decoded[i] == u'\r') {
            text += u'\n';
            if (i + 1 < decoded.size() && decoded[i + 1] == u'\n') {
                ++i;
            }
        } else {
            text += decoded[i];
        }
    }
    return text;
}

}  // namespace zk::rtf
