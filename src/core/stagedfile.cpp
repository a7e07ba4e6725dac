#include "stagedfile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <string_view>
#include <thread>

#include "errors.h"
#include "terminationhold.h"

namespace zk {

namespace {

constexpr int kFolderLockPollMs = 5;
constexpr int kMaxNameAttempts = 100;

// Why the thing at a name is not replaced, or empty for a regular file.
Wording ReplaceRefusal(const struct stat& status) {
    if (S_ISREG(status.st_mode)) {
        return {};
    }
    if (S_ISLNK(status.st_mode)) {
        return {
            "It is a symbolic link: the programmer writes only a regular file of that name, "
            "never the file a link points to",
            "Это символическая ссылка: программатор пишет только обычный файл с этим именем, "
            "но не файл, на который указывает ссылка"};
    }
    if (S_ISFIFO(status.st_mode)) {
        return {
            "It is a named pipe (FIFO), not a regular file: writing to it would wait for a "
            "reader",
            "Это именованный канал (FIFO), а не обычный файл: запись в него ждала бы "
            "читателя"};
    }
    if (S_ISSOCK(status.st_mode)) {
        return {"It is a socket, not a regular file", "Это сокет, а не обычный файл"};
    }
    if (S_ISCHR(status.st_mode) || S_ISBLK(status.st_mode)) {
        return {"It is a device, not a regular file", "Это устройство, а не обычный файл"};
    }
    return {"It is not a regular file", "Это не обычный файл"};
}

constexpr std::string_view kTemporarySuffix = ".part";

// A name of its own for every staged file of this process, hidden from a plain listing:
// ".<name>.<process>-<serial>.part".
std::string TemporaryNameFor(const std::string& name) {
    static std::atomic<unsigned> serial{0};
    return "." + name + "." + std::to_string(::getpid()) + "-" + std::to_string(serial++) +
           std::string(kTemporarySuffix);
}

bool IsTemporaryNameOf(std::string_view candidate, const std::string& name) {
    const std::string prefix = "." + name + ".";
    if (candidate.size() <= prefix.size() + kTemporarySuffix.size() ||
        candidate.substr(0, prefix.size()) != prefix ||
        candidate.substr(candidate.size() - kTemporarySuffix.size()) != kTemporarySuffix) {
        return false;
    }
    const std::string_view serials =
        candidate.substr(prefix.size(), candidate.size() - prefix.size() - kTemporarySuffix.size());
    const std::size_t dash = serials.find('-');
    const auto allDigits = [](std::string_view digits) {
        return !digits.empty() && digits.find_first_not_of("0123456789") == std::string_view::npos;
    };
    return dash != std::string_view::npos && allDigits(serials.substr(0, dash)) &&
           allDigits(serials.substr(dash + 1));
}

}  // namespace

FileProblem OutputFolder::OpenAndLock() {
    folder_ = FileHandle(::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder_.IsOpen()) {
        return {errno, {}};
    }
    for (int waitedMs = 0;; waitedMs += kFolderLockPollMs) {
        if (::flock(folder_.Descriptor(), LOCK_EX | LOCK_NB) == 0) {
            return {};
        }
        if (errno != EWOULDBLOCK || waitedMs >= kFolderLockWaitMs) {
            return {errno, {}};
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(kFolderLockPollMs));
    }
}

void RemoveStaleStagedFiles(int folder, const std::string& name) {
    const int listing = ::dup(folder);
    DIR* entries = listing < 0 ? nullptr : ::fdopendir(listing);
    if (entries == nullptr) {
        if (listing >= 0) {
            ::close(listing);
        }
        return;  // left for a later run: they hold nothing that is not in the real files
    }
    ::rewinddir(entries);
    while (const dirent* entry = ::readdir(entries)) {
        if (IsTemporaryNameOf(entry->d_name, name)) {
            ::unlinkat(folder, entry->d_name, 0);
        }
    }
    ::closedir(entries);
}

FileProblem PresentFile::Claim(int folder, const char* name, int access, bool lock) {
    file_ =
        FileHandle(::openat(folder, name, access | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    FileProblem problem;
    if (!file_.IsOpen()) {
        problem.error = errno;
        struct stat status {};
        if (problem.error == ENOENT) {
            return {};
        }
        // O_NOFOLLOW fails a link with ELOOP; a pipe without a reader or a socket fails with
        // ENXIO: the kind of the thing says more to a person than either.
        if ((problem.error == ELOOP || problem.error == ENXIO) &&
            ::fstatat(folder, name, &status, AT_SYMLINK_NOFOLLOW) == 0) {
            problem.refusal = ReplaceRefusal(status);
        }
        return problem;
    }
    if (::fstat(file_.Descriptor(), &status_) != 0) {
        problem.error = errno;
    } else {
        problem.refusal = ReplaceRefusal(status_);
    }
    if (!problem && lock && ::flock(file_.Descriptor(), LOCK_EX | LOCK_NB) != 0) {
        problem.error = errno;
    }
    if (problem) {
        file_ = FileHandle();
    }
    return problem;
}

StagedFile::~StagedFile() {
    if (!temporaryName_.empty()) {
        ::unlinkat(folder_, temporaryName_.c_str(), 0);
    }
}

FileProblem StagedFile::Create(int folder, const std::string& name, const PresentFile& present) {
    folder_ = folder;
    name_ = name;
    for (int attempt = 0; attempt < kMaxNameAttempts && !file_.IsOpen(); ++attempt) {
        const std::string candidate = TemporaryNameFor(name);
        file_ = FileHandle(::openat(folder, candidate.c_str(),
                                    O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                                    kOwnerOnlyMode));
        if (file_.IsOpen()) {
            temporaryName_ = candidate;
        } else if (errno != EEXIST) {
            return {errno, {}};
        }
    }
    if (!file_.IsOpen()) {
        return {EEXIST, {}};
    }
    // The mode is set outright: the process's umask may have taken bits away from an existing
    // file's mode, or, with an unusual umask, from the owner's own.
    const struct stat& old = present.Status();
    if (::fchmod(file_.Descriptor(), present.Exists() ? old.st_mode & 07777 : kOwnerOnlyMode) !=
        0) {
        return {errno, {}};
    }
    if (present.Exists() && (old.st_uid != ::geteuid() || old.st_gid != ::getegid())) {
        // Only a privileged run may give the file back to its owner; any other keeps it as the
        // owner of the new file, which it may be, since it may write the folder.
        if (::fchown(file_.Descriptor(), old.st_uid, old.st_gid) != 0) {
            errno = 0;
        }
    }
    return {};
}

FileProblem StagedFile::Commit() {
    if (::renameat(folder_, temporaryName_.c_str(), folder_, name_.c_str()) != 0) {
        return {errno, {}};
    }
    temporaryName_.clear();
    return {};
}

void ThrowCannotWriteFile(const std::string& path, const Wording& reason) {
    throw Fault(Wording{"Cannot write file", "Не удаётся записать файл"} +
                Verbatim(" \"" + FullPath(path) + "\". ") + TrimTrailingStops(reason));
}

void ReplaceFileWhole(const std::string& path, std::string_view contents) {
    const auto fail = [&path](const FileProblem& problem) {
        ThrowCannotWriteFile(path, problem.refusal.english.empty()
                                       ? Verbatim(SystemErrorText(problem.error))
                                       : problem.refusal);
    };
    const std::filesystem::path whole(path);
    const std::string name = whole.filename().string();
    const std::filesystem::path parent = whole.parent_path();
    if (name.empty()) {
        fail({EISDIR, {}});
    }
    const TerminationHold hold;
    const FileHandle folder(
        ::open(parent.empty() ? "." : parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder.IsOpen()) {
        fail({errno, {}});
    }
    PresentFile present;
    if (const FileProblem problem =
            present.Claim(folder.Descriptor(), name.c_str(), O_WRONLY, false)) {
        fail(problem);
    }
    StagedFile staged;
    if (const FileProblem problem = staged.Create(folder.Descriptor(), name, present)) {
        fail(problem);
    }
    if (!staged.File().WriteAll(contents.data(), contents.size()) || !staged.File().Close()) {
        fail({errno, {}});
    }
    if (const FileProblem problem = staged.Commit()) {
        fail(problem);
    }
}

}  // namespace zk
