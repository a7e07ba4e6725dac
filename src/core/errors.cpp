#include "errors.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "utf8.h"

namespace zk {

namespace {

std::string Quoted(const std::string& fullPath) {
    return "\"" + fullPath + "\"";
}

}  // namespace

FileCreateError::FileCreateError(const std::string& fullPath, int errnoValue)
    : Fault("Cannot create file " + Quoted(fullPath) + ". " + SystemErrorText(errnoValue)) {}

FileOpenError::FileOpenError(const std::string& fullPath, int errnoValue)
    : Fault("Cannot open file " + Quoted(fullPath) + ". " + SystemErrorText(errnoValue)) {}

FileCreateError::FileCreateError(const std::string& fullPath, std::string_view reason)
    : Fault("Cannot create file " + Quoted(fullPath) + ". " + TrimTrailingStops(reason)) {}

InOutError::InOutError(int code) : Fault(InOutMessage(code)), code_(code) {}

InOutError::InOutError(int code, std::string_view reason)
    : Fault(InOutMessage(code) + ": " + TrimTrailingStops(reason)), code_(code) {}

InOutError::InOutError(int code, WholeMessage message) : Fault(message.text), code_(code) {}

InOutError InOutError::FromErrno(int errnoValue) {
    if (const std::optional<int> code = InOutCodeFromErrno(errnoValue)) {
        return InOutError(*code);
    }
    return InOutError(errnoValue, WholeMessage{"I/O error " + std::to_string(errnoValue)});
}

InOutError InOutError::FromFileCall(int errnoValue, std::string_view operation,
                                    const std::string& fullPath) {
    InOutError error = FromErrno(errnoValue);
    error.SetDetail("Cannot " + std::string(operation) + " file " + Quoted(fullPath) + ". " +
                    SystemErrorText(errnoValue));
    return error;
}

PlaybackError::PlaybackError(const std::string& fullPath, std::string_view libraryText)
    : Fault("Cannot play file " + Quoted(fullPath) + ". " + TrimTrailingStops(libraryText)) {}

std::string InOutMessage(int code) {
    switch (code) {
        case 2:
            return "File not found";
        case 3:
            return "Invalid filename";
        case 4:
            return "Too many open files";
        case 5:
            return "File access denied";
        case 100:
            return "Read beyond end of file";
        case 101:
            return "Disk full";
        case 106:
            return "Invalid numeric input";
        default:
            return "I/O error " + std::to_string(code);
    }
}

std::optional<int> InOutCodeFromErrno(int errnoValue) {
    switch (errnoValue) {
        case ENOENT:
            return 2;
        case ENOTDIR:
        case ENAMETOOLONG:
        case ELOOP:
            return 3;
        case EMFILE:
        case ENFILE:
            return 4;
        case EACCES:
        case EPERM:
        case EROFS:
        case EISDIR:
        case ETXTBSY:
            return 5;
        case ENOSPC:
        case EDQUOT:
            return 101;
        default:
            return std::nullopt;
    }
}

std::string TrimTrailingStops(std::string_view text) {
    std::size_t end = text.size();
    while (end > 0) {
        const auto c = static_cast<unsigned char>(text[end - 1]);
        if (c <= 0x20 || c == '.') {
            --end;
        } else {
            break;
        }
    }
    return std::string(text.substr(0, end));
}

Wording TrimTrailingStops(const Wording& text) {
    return {TrimTrailingStops(text.english), TrimTrailingStops(text.russian)};
}

std::string SystemErrorText(int errnoValue) {
    return TrimTrailingStops(std::strerror(errnoValue));
}

std::string FullPath(const std::string& name) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(name, error);
    return error ? name : absolute.string();
}

std::string ErrorBoxCaption(std::string_view executablePath) {
    std::string_view name = executablePath;
    const std::size_t slash = name.find_last_of('/');
    if (slash != std::string_view::npos) {
        name = name.substr(slash + 1);
    }
    name = name.substr(0, name.find('.'));
    std::string caption;
    std::size_t pos = 0;
    bool first = true;
    while (pos < name.size()) {
        std::size_t length = 1;
        const std::optional<char32_t> c = DecodeUtf8At(name, pos, length);
        if (!c) {
            caption += name[pos];  // a stray byte is kept as it is
        } else {
            AppendUtf8(first ? *c : LowerCase(*c), caption);
        }
        first = false;
        pos += length;
    }
    return caption;
}

std::string ErrorBoxMessage(std::string_view message) {
    std::string shown(message);
    if (message.empty()) {
        return shown;
    }
    // Step back to the lead byte of the last character.
    std::size_t start = message.size() - 1;
    while (start > 0 && (static_cast<unsigned char>(message[start]) & 0xC0u) == 0x80u &&
           message.size() - start < 4) {
        --start;
    }
    std::size_t length = 1;
    const std::optional<char32_t> decoded = DecodeUtf8At(message, start, length);
    // A malformed tail is judged by its last byte.
    const char32_t last = decoded && start + length == message.size()
                              ? *decoded
                              : static_cast<unsigned char>(message.back());
    if (last > U'.') {
        shown += '.';
    }
    return shown;
}

}  // namespace zk
