#include "logfiles.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <thread>

#include "errors.h"
#include "messages.h"

namespace zk {

namespace {

// The log's folder and file, in English and in the two cases the Russian messages need: the
// subject of a sentence ("журнал выдач ... заблокирован") and the object of a verb ("не удаётся
// открыть папку журнала выдач").
struct LogNoun {
    Wording subject;
    Wording object;
};
const LogNoun kFolderNoun{{"the programming log's folder", "папка журнала выдач"},
                          {"the programming log's folder", "папку журнала выдач"}};
const LogNoun kFileNoun{{"the programming log", "журнал выдач"},
                        {"the programming log", "журнал выдач"}};

const Wording kCannotOpen{"cannot open ", "не удаётся открыть "};

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
    Wording fault;  // why not, naming the path
};

std::string Octal(mode_t mode) {
    char text[16];
    std::snprintf(text, sizeof text, "%04o", static_cast<unsigned>(mode));
    return text;
}

// What stands in the log file's place when it is not a regular file.
Wording KindOf(mode_t mode) {
    if (S_ISFIFO(mode)) {
        return {"a named pipe (FIFO)", "именованный канал (FIFO)"};
    }
    if (S_ISSOCK(mode)) {
        return {"a socket", "сокет"};
    }
    if (S_ISCHR(mode) || S_ISBLK(mode)) {
        return {"a device", "устройство"};
    }
    if (S_ISDIR(mode)) {
        return {"a folder", "папка"};
    }
    if (S_ISLNK(mode)) {
        return {"a symbolic link", "символическая ссылка"};
    }
    return {"something else", "не файл и не папка"};
}

// "is a folder, not a regular file".
Wording NotRegular(mode_t mode) {
    return Wording{"is ", "— "} + KindOf(mode) +
           Wording{", not a regular file", ", а не обычный файл"};
}

// Refuses a folder or file that belongs to another user: entries read from it could be forged,
// and entries added to it would hand the codes over. Takes group and other access away from one
// that has it, and says so, once: the next run finds it private. Empty when the log may use it.
Wording KeepPrivate(int fd, const struct stat& status, const LogNoun& noun,
                    const std::filesystem::path& path, mode_t ownerBits) {
    if (status.st_uid != ::geteuid()) {
        const std::string uid = std::to_string(status.st_uid);
        return AboutLogPath(
            noun.subject, path,
            {"belongs to another user (uid " + uid +
                 "); the log holds access codes and is kept only where no one else can reach it",
             "принадлежит другому пользователю (uid " + uid +
                 "); журнал хранит коды доступа и ведётся только там, куда никто другой не "
                 "доберётся"});
    }
    const mode_t mode = status.st_mode & 07777;
    if ((mode & ~ownerBits) == 0) {
        return {};
    }
    const mode_t tight = mode & ownerBits;
    if (::fchmod(fd, tight) != 0) {
        const int error = errno;
        return LogFault(Wording{"cannot take other users' access away from ",
                                "не удаётся снять права других пользователей на "} +
                            noun.object,
                        path, error);
    }
    // A warning on the terminal: the command line's alone.
    SayWarning(AboutLogPath(noun.subject, path,
                            Verbatim("was open to other users (mode " + Octal(mode) + "); now " +
                                     Octal(tight)))
                   .english);
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
            out.fault = LogFault(
                Wording{"cannot make ", "не удаётся создать "} + kFolderNoun.object, folder, error);
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
            out.fault = AboutLogPath(kFolderNoun.subject, folder,
                                     {"is a symbolic link; the log is kept only in a real folder",
                                      "— символическая ссылка; журнал ведётся только в настоящей "
                                      "папке"});
        } else {
            out.fault = LogFault(kCannotOpen + kFolderNoun.object, folder, error);
        }
        return out;
    }
    out.handle = FileHandle(fd);
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        error = errno;
        out.fault = LogFault(kCannotOpen + kFolderNoun.object, folder, error);
    } else {
        out.fault = KeepPrivate(fd, status, kFolderNoun, folder, kFolderOwnerBits);
    }
    if (!out.fault.english.empty()) {
        out.handle = FileHandle();
    }
    return out;
}

// Why the log file cannot be opened: the kind of thing in its place when that is what is wrong
// (a symbolic link gives ELOOP, a socket ENXIO, a folder EISDIR), else the system's reason.
Wording OpenFault(int folder, const std::filesystem::path& path, int error) {
    struct stat status {};
    if (::fstatat(folder, path.filename().c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0 &&
        !S_ISREG(status.st_mode)) {
        return AboutLogPath(kFileNoun.subject, path, NotRegular(status.st_mode));
    }
    return LogFault(kCannotOpen + kFileNoun.object, path, error);
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
        out.fault = LogFault(kCannotOpen + kFileNoun.object, path, error);
    } else if (!S_ISREG(status.st_mode)) {
        out.fault = AboutLogPath(kFileNoun.subject, path, NotRegular(status.st_mode));
    } else {
        out.fault = KeepPrivate(fd, status, kFileNoun, path, kFileOwnerBits);
    }
    const bool usable = out.fault.english.empty();
    const int flags = usable ? ::fcntl(fd, F_GETFL) : 0;
    if (usable && (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0)) {
        const int error = errno;
        out.fault = LogFault(kCannotOpen + kFileNoun.object, path, error);
    }
    if (!out.fault.english.empty()) {
        out.handle = FileHandle();
    }
    return out;
}

// The name of the program that holds a lock on the file open as `fd`, from the kernel's table
// of locks; empty when it cannot be told.
std::string LockHolder(int fd) {
    struct stat file {};
    if (::fstat(fd, &file) != 0) {
        return {};
    }
    char inode[64];
    std::snprintf(inode, sizeof inode, " %02x:%02x:%llu ", major(file.st_dev), minor(file.st_dev),
                  static_cast<unsigned long long>(file.st_ino));
    std::ifstream locks("/proc/locks");
    for (std::string line; std::getline(locks, line);) {
        // "1: FLOCK  ADVISORY  WRITE 1234 08:01:5678 0 EOF"
        const std::size_t at = (line + " ").find(inode);
        if (at == std::string::npos) {
            continue;
        }
        const std::size_t pidEnd = line.rfind(' ', at);
        const std::size_t pidStart = line.rfind(' ', pidEnd - 1);
        const std::string pid = line.substr(pidStart + 1, pidEnd - pidStart - 1);
        std::ifstream comm("/proc/" + pid + "/comm");
        std::string name;
        std::getline(comm, name);
        return name;
    }
    return {};
}

// Takes the file's lock (`operation`: LOCK_EX to append, LOCK_SH to read), waiting a few
// seconds for another run to finish with it. Empty on success.
Wording Lock(int fd, int operation, const std::filesystem::path& path) {
    const auto deadline = std::chrono::steady_clock::now() + kLockWait;
    while (::flock(fd, operation | LOCK_NB) != 0) {
        const int error = errno;
        if (error == EINTR) {
            continue;
        }
        if (error != EWOULDBLOCK) {
            return LogFault(Wording{"cannot lock ", "не удаётся заблокировать "} + kFileNoun.object,
                            path, error);
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            const std::string holder = LockHolder(fd);
            if (holder.empty() || holder.starts_with("zk77q3")) {
                return AboutLogPath(
                    kFileNoun.subject, path,
                    {"is locked by another zk77q3 run; try again when it has finished",
                     "заблокирован другим запуском zk77q3; повторите, когда тот закончит"});
            }
            return AboutLogPath(
                kFileNoun.subject, path,
                Wording{"is locked by another program, ", "заблокирован другой программой, "} +
                    Verbatim(Quoted(holder)) +
                    Wording{"; try again when it has let go of it",
                            "; повторите, когда она его отпустит"});
        }
        std::this_thread::sleep_for(kLockRetry);
    }
    return {};
}

}  // namespace

namespace {

// " "<path>"" with control characters escaped. Built by appending: GCC 12 at -O3 takes
// `"\"" + std::string` for overlapping copies inside char_traits (a false -Wrestrict) and stops
// the package build.
Wording QuotedPath(const std::filesystem::path& path) {
    std::string text = " \"";
    text += EscapeControls(path.string());
    text += '"';
    return Verbatim(text);
}

}  // namespace

Wording AboutLogPath(const Wording& noun, const std::filesystem::path& path, const Wording& rest) {
    return noun + QuotedPath(path) + Verbatim(" ") + rest;
}

Wording LogFault(const Wording& what, const std::filesystem::path& path, int errnoValue) {
    return what + QuotedPath(path) + Verbatim(": " + SystemErrorText(errnoValue));
}

OpenedLog OpenSentLogFile(const std::filesystem::path& path, LogUse use) {
    OpenedLog out;
    Opened folder = OpenLogFolder(path.parent_path(), use);
    if (!folder.fault.english.empty() || !folder.handle.IsOpen()) {
        out.fault = std::move(folder.fault);
        return out;
    }
    Opened file = OpenLogFile(folder.handle, path, use);
    if (!file.fault.english.empty() || !file.handle.IsOpen()) {
        out.fault = std::move(file.fault);
        return out;
    }
    out.fault = Lock(file.handle.Descriptor(), use == LogUse::Append ? LOCK_EX : LOCK_SH, path);
    if (out.fault.english.empty()) {
        out.file = std::move(file.handle);
    }
    return out;
}

}  // namespace zk
