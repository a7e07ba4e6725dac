// Output files replaced whole. The new contents are written beside the file under a hidden
// temporary name and renamed over it at the end, so that whoever opens the name (the player, the
// firmware's build, the next run after an interrupted one) finds the old file or the new one,
// never a torn one. The output encodes the repeater's access codes: a new file is readable by
// its owner only, and a symbolic link in a file's place is refused rather than followed.
#pragma once

#include <sys/stat.h>

#include <string>
#include <string_view>

#include "filehandle.h"
#include "wording.h"

namespace zk {

// Mode of an output file that did not exist before.
inline constexpr mode_t kOwnerOnlyMode = 0600;

// How long a run waits for another run of the programmer to finish writing the same folder's
// files (a few milliseconds of work) before giving up.
inline constexpr int kFolderLockWaitMs = 2000;

// A failed step: the errno value of the failed call, or a reason of the programmer's own why the
// thing in a file's place is not replaced (in English, and in Russian for the monitor).
struct FileProblem {
    int error = 0;
    Wording refusal;
    explicit operator bool() const { return error != 0 || !refusal.english.empty(); }
};

// The working folder, open for the calls below and locked against other runs of the programmer
// replacing their files there at the same time: without the lock two runs could each put one
// file of their pair in place.
class OutputFolder {
  public:
    // Opens "." and takes its lock, waiting up to kFolderLockWaitMs for another run to finish.
    // EWOULDBLOCK when that run still holds it.
    FileProblem OpenAndLock();
    int Descriptor() const { return folder_.Descriptor(); }

  private:
    FileHandle folder_;
};

// Removes the temporary files of `name` that a run ended by force (SIGKILL, a power cut) left in
// `folder`. Call it holding the folder's lock: no living run has any then.
void RemoveStaleStagedFiles(int folder, const std::string& name);

// The file now at a name that is about to be replaced: none, or a regular file this process may
// write, held open (and locked, when asked) until this ends.
class PresentFile {
  public:
    // `access` is O_RDWR or O_WRONLY: the file must be writable as if it were rewritten in place,
    // so a file its owner made read-only is not replaced behind the owner's back. With `lock`, an
    // exclusive lock is taken without waiting: a file that another program holds locked is left
    // alone (EWOULDBLOCK).
    FileProblem Claim(int folder, const char* name, int access, bool lock);
    bool Exists() const { return file_.IsOpen(); }
    const struct stat& Status() const { return status_; }

  private:
    FileHandle file_;
    struct stat status_ {};
};

// The new contents of a file under a temporary name in the same folder; removed unless Commit
// put them in place.
class StagedFile {
  public:
    StagedFile() = default;
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;
    ~StagedFile();

    // Creates the temporary file for `name`, with the mode (and, where the system allows, the
    // owner) of `present`, or owner-only when there is none.
    FileProblem Create(int folder, const std::string& name, const PresentFile& present);
    FileHandle& File() { return file_; }
    // Renames the temporary file over the name.
    FileProblem Commit();

  private:
    int folder_ = -1;
    std::string name_;
    std::string temporaryName_;
    FileHandle file_;
};

// Puts `contents` in place as the whole file at `path` in the manner above: owner-only when new,
// the mode of the old one otherwise, anything but a regular file refused, the old file intact on
// any fault or interruption. Throws a Fault "Cannot write file "<path>". <reason>".
void ReplaceFileWhole(const std::string& path, std::string_view contents);

// The Fault of a whole file that cannot be written: "Cannot write file "<full path>". <reason>",
// in both wordings.
[[noreturn]] void ThrowCannotWriteFile(const std::string& path, const Wording& reason);

}  // namespace zk
