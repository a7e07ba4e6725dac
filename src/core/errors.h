// The faults that are not operator input. Each carries the exact text that the common error box
// shows; the box adds the closing full stop by its own rule (ErrorBoxMessage).
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

#include "wording.h"

namespace zk {

// Base of every fault raised by the programmer; what() is the message as the window shows it.
// Some of the window's texts are short ("Disk full"); the command line, free of them, shows
// Detailed(), which names the file and the operation that failed. The field's faults (the PTT,
// the station's files, the log) also carry the window's Russian wording (RussianWording).
class Fault : public std::runtime_error, public RussianWording {
  public:
    explicit Fault(const std::string& message) : std::runtime_error(message) {}
    explicit Fault(const Wording& message)
        : std::runtime_error(message.english), RussianWording(message.russian) {}
    std::string Detailed() const { return detail_.empty() ? what() : detail_; }

  protected:
    void SetDetail(std::string detail) { detail_ = std::move(detail); }

  private:
    std::string detail_;
};

// "Cannot create file "<path>". <system text>", or with a reason of the programmer's own.
class FileCreateError : public Fault {
  public:
    FileCreateError(const std::string& fullPath, int errnoValue);
    FileCreateError(const std::string& fullPath, std::string_view reason);
};

// "Cannot open file "<path>". <system text>"
class FileOpenError : public Fault {
  public:
    FileOpenError(const std::string& fullPath, int errnoValue);
};

// The input/output code of a file that may not be written.
inline constexpr int kInOutAccessDenied = 5;

// A failed text-file operation: a numeric code and the message of the input/output table.
class InOutError : public Fault {
  public:
    explicit InOutError(int code);
    // The table's message for `code`, then ": " and a reason of the programmer's own.
    InOutError(int code, std::string_view reason);
    // A failed file call: an errno value with a decided code gets that code's message; any other
    // keeps its own number ("I/O error 5" for EIO), never another code's message.
    static InOutError FromErrno(int errnoValue);
    // The same for a failed call on a named file; Detailed() reads "Cannot <operation> file
    // "<path>". <system text>".
    static InOutError FromFileCall(int errnoValue, std::string_view operation,
                                   const std::string& fullPath);
    int code() const { return code_; }

  private:
    struct WholeMessage {
        std::string text;
    };
    InOutError(int code, WholeMessage message);
    int code_;
};

// "Cannot play file "<path>". <reason>", the reason naming the device and the library's text
class PlaybackError : public Fault {
  public:
    PlaybackError(const std::string& fullPath, std::string_view libraryText);
};

class IntegerOverflowError : public Fault {
  public:
    IntegerOverflowError() : Fault("Integer overflow") {}
};

class RangeCheckError : public Fault {
  public:
    RangeCheckError() : Fault("Range check error") {}
};

// Message of an input/output code: 2 "File not found", 3 "Invalid filename", 4 "Too many open
// files", 5 "File access denied", 100 "Read beyond end of file", 101 "Disk full", 106 "Invalid
// numeric input", any other "I/O error <code>".
std::string InOutMessage(int code);

// The input/output code decided for an errno value of a failed file call, or none: ENOENT 2;
// ENOTDIR, ENAMETOOLONG, ELOOP 3; EMFILE, ENFILE 4; EACCES, EPERM, EROFS, EISDIR, ETXTBSY 5;
// ENOSPC, EDQUOT 101.
std::optional<int> InOutCodeFromErrno(int errnoValue);

// The system's description of an errno value with trailing blanks, line breaks and full stops
// removed, ready to stand after "Cannot create file ...".
std::string SystemErrorText(int errnoValue);

// Removes trailing blanks, control characters and full stops.
std::string TrimTrailingStops(std::string_view text);
// The same from both wordings.
Wording TrimTrailingStops(const Wording& text);

// `name` made absolute against the current working directory, as the error messages name files.
std::string FullPath(const std::string& name);

// Caption of the common error box: the executable's file name (no folders) up to its first ".",
// every character after the first in lower case.
std::string ErrorBoxCaption(std::string_view executablePath);

// The message as the common error box shows it: "." appended when the last character (a Unicode
// character, the text being UTF-8) has a code above that of ".".
std::string ErrorBoxMessage(std::string_view message);

}  // namespace zk
