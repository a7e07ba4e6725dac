#include "logfiles.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <thread>

#include "errors.h"
#include "messages.h"

namespace zk {

namespace {

constexpr const char* kFolderNoun = "the programming log's folder";
constexpr const char* kFileNoun = "the programming log";

// Owner access only: the log holds every access code that was sent.
constexpr mode_t kFolderOwnerBits = 0700;
constexpr mode_t kFileOwnerBits = 0600;

// Another run holds the lock only while it adds one entry or reads the log through: moments.
// A lock held longer than this belongs to something stuck, and the operator is told.
constexpr auto kLockWait = std::chrono::seconds(3);
constexpr auto kLockRetry = std::chrono::milliseconds(20);

// A folder or file that the log may use.
struct Opened {
    FileHandle handle;
    std::string fault;  // why not, naming the path
};

std::string Octal(mode_t mode) {
    char text[16];
    std::snprintf(text, sizeof text, "%04o", static_cast<unsigned>(mode));
    return text;
}

// What stands in the log file's place when it is not a regular file.
const char* KindOf(mode_t mode) {
    if (S_ISFIFO(mode)) {
        return "a named pipe (FIFO)";
    }
    if (S_ISSOCK(mode)) {
        return "a socket";
    }
    if (S_ISCHR(mode) || S_ISBLK(mode)) {
        return "a device";
    }
    if (S_ISDIR(mode)) {
        return "a folder";
    }
    if (S_ISLNK(mode)) {
        return "a symbolic link";
    }
    return "something else";
}

// Refuses a folder or file that belongs to another user: entries read from it could be forged,
// and entries added to it would hand the codes over. Takes group and other access away from one
// that has it, and says so, once: the next run finds it private. Empty when the log may use it.
std::string KeepPrivate(int fd, const struct stat& status, const char* noun,
                        const std::filesystem::path& path, mode_t ownerBits) {
    if (status.st_uid != ::geteuid()) {
        return AboutLogPath(noun, path,
                            "belongs to another user (uid " + std::to_string(status.st_uid) +
                                "); the log holds access codes and is kept only where no one "
                                "else can reach it");
    }
    const mode_t mode = status.st_mode & 07777;
    if ((mode & ~ownerBits) == 0) {
        return {};
    }
    const mode_t tight = mode & ownerBits;
    if (::fchmod(fd, tight) != 0) {
        const int error = errno;
        return LogFault(std::string("cannot take other users' access away from ") + noun, path,
                        error);
    }
    SayWarning(AboutLogPath(
        noun, path, "was open to other users (mode " + Octal(mode) + "); now " + Octal(tight)));
    return {};
}

// Makes `folder` and any missing folder above it, each new one owner-only; false with errno set.
bool MakeFolders(const std::filesystem::path& folder) {
    if (::mkdir(folder.c_str(), kFolderOwnerBits) == 0 || errno == EEXIST) {
        return true;
    }
    if (errno != ENOENT) {
        return false;
    }
    const std::filesystem::path parent = folder.parent_path();
    if (parent.empty() || parent == folder || !MakeFolders(parent)) {
        return false;
    }
    return ::mkdir(folder.c_str(), kFolderOwnerBits) == 0 || errno == EEXIST;
}

int OpenFolder(const std::filesystem::path& folder) {
    return ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

// The log's own folder, opened without following a symbolic link in its place. Absent (neither
// open nor a fault) only when reading a log that was never written.
Opened OpenLogFolder(const std::filesystem::path& folder, LogUse use) {
    Opened out;
    int fd = OpenFolder(folder);
    int error = errno;
    if (fd < 0 && error == ENOENT && use == LogUse::Append) {
        if (!MakeFolders(folder)) {
            error = errno;
            out.fault = LogFault(std::string("cannot make ") + kFolderNoun, folder, error);
            return out;
        }
        fd = OpenFolder(folder);
        error = errno;
    }
    if (fd < 0) {
        struct stat link {};
        if (error == ENOENT && use == LogUse::Read) {
            return out;
        }
        if ((error == ELOOP || error == ENOTDIR) && ::lstat(folder.c_str(), &link) == 0 &&
            S_ISLNK(link.st_mode)) {
            out.fault = AboutLogPath(kFolderNoun, folder,
                                     "is a symbolic link; the log is kept only in a real folder");
        } else {
            out.fault = LogFault(std::string("cannot open ") + kFolderNoun, folder, error);
        }
        return out;
    }
    out.handle = FileHandle(fd);
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        error = errno;
        out.fault = LogFault(std::string("cannot open ") + kFolderNoun, folder, error);
    } else {
        out.fault = KeepPrivate(fd, status, kFolderNoun, folder, kFolderOwnerBits);
    }
    if (!out.fault.empty()) {
        out.handle = FileHandle();
    }
    return out;
}

// Why the log file cannot be opened: the kind of thing in its place when that is what is wrong
// (a symbolic link gives ELOOP, a socket ENXIO, a folder EISDIR), else the system's reason.
std::string OpenFault(int folder, const std::filesystem::path& path, int error) {
    struct stat status {};
    if (::fstatat(folder, path.filename().c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0 &&
        !S_ISREG(status.st_mode)) {
        return AboutLogPath(kFileNoun, path,
                            std::string("is ") + KindOf(status.st_mode) + ", not a regular file");
    }
    return LogFault(std::string("cannot open ") + kFileNoun, path, error);
}

// Opens the file inside the opened folder. O_NONBLOCK keeps a named pipe in the file's place
// from holding the opening; it is refused right after, and a regular file goes on blocking.
Opened OpenLogFile(const FileHandle& folder, const std::filesystem::path& path, LogUse use) {
    Opened out;
    const int access = use == LogUse::Append ? (O_RDWR | O_APPEND | O_CREAT) : O_RDONLY;
    const int fd =
        ::openat(folder.Descriptor(), path.filename().c_str(),
                 access | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, kFileOwnerBits);
    if (fd < 0) {
        const int error = errno;
        if (!(error == ENOENT && use == LogUse::Read)) {
            out.fault = OpenFault(folder.Descriptor(), path, error);
        }
        return out;
    }
    out.handle = FileHandle(fd);
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        const int error = errno;
        out.fault = LogFault(std::string("cannot open ") + kFileNoun, path, error);
    } else if (!S_ISREG(status.st_mode)) {
        out.fault = AboutLogPath(
            kFileNoun, path, std::string("is ") + KindOf(status.st_mode) + ", not a regular file");
    } else {
        out.fault = KeepPrivate(fd, status, kFileNoun, path, kFileOwnerBits);
    }
    const int flags = out.fault.empty() ? ::fcntl(fd, F_GETFL) : 0;
    if (out.fault.empty() && (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0)) {
        const int error = errno;
        out.fault = LogFault(std::string("cannot open ") + kFileNoun, path, error);
    }
    if (!out.fault.empty()) {
        out.handle = FileHandle();
    }
    return out;
}

// Takes the file's lock (`operation`: LOCK_EX to append, LOCK_SH to read), waiting a few
// seconds for another run to finish with it. Empty on success.
std::string Lock(int fd, int operation, const std::filesystem::path& path) {
    const auto deadline = std::chrono::steady_clock::now() + kLockWait;
    while (::flock(fd, operation | LOCK_NB) != 0) {
        const int error = errno;
        if (error == EINTR) {
            continue;
        }
        if (error != EWOULDBLOCK) {
            return LogFault(std::string("cannot lock ") + kFileNoun, path, error);
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return AboutLogPath(kFileNoun, path,
                                "is locked by another zk77q3 run; try again when it has "
                                "finished");
        }
        std::this_thread::sleep_for(kLockRetry);
    }
    return {};
}

}  // namespace

std::string AboutLogPath(const std::string& noun, const std::filesystem::path& path,
                         const std::string& rest) {
    // Built by appending: GCC 12 at -O3 takes `"\"" + std::string` for overlapping copies
    // inside char_traits (a false -Wrestrict) and stops the package build.
    std::string text = noun;
    text += " \"";
    text += EscapeControls(path.string());
    text += "\" ";
    text += rest;
    return text;
}

std::string LogFault(const std::string& what, const std::filesystem::path& path, int errnoValue) {
    std::string text = what;
    text += " \"";
    text += EscapeControls(path.string());
    text += "\": ";
    text += SystemErrorText(errnoValue);
    return text;
}

OpenedLog OpenSentLogFile(const std::filesystem::path& path, LogUse use) {
    OpenedLog out;
    Opened folder = OpenLogFolder(path.parent_path(), use);
    if (!folder.fault.empty() || !folder.handle.IsOpen()) {
        out.fault = std::move(folder.fault);
        return out;
    }
    Opened file = OpenLogFile(folder.handle, path, use);
    if (!file.fault.empty() || !file.handle.IsOpen()) {
        out.fault = std::move(file.fault);
        return out;
    }
    out.fault = Lock(file.handle.Descriptor(), use == LogUse::Append ? LOCK_EX : LOCK_SH, path);
    if (out.fault.empty()) {
        out.file = std::move(file.handle);
    }
    return out;
}

}  // namespace zk
