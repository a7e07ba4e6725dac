#include "errors.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace zk {

namespace {

std::string Quoted(const std::string& fullPath) {
    return "\"" + fullPath + "\"";
}

// Decodes the UTF-8 character starting at text[pos]; a malformed byte stands for itself.
char32_t DecodeAt(std::string_view text, std::size_t pos, std::size_t& length) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    length = 1;
    std::size_t extra = 0;
    char32_t code = 0;
    if (lead >= 0xC2 && lead < 0xE0) {
        extra = 1;
        code = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead < 0xF0) {
        extra = 2;
        code = lead & 0x0Fu;
    } else if (lead >= 0xF0 && lead < 0xF5) {
        extra = 3;
        code = lead & 0x07u;
    } else {
        return lead;
    }
    if (pos + extra >= text.size()) {
        return lead;
    }
    for (std::size_t k = 1; k <= extra; ++k) {
        const auto next = static_cast<unsigned char>(text[pos + k]);
        if ((next & 0xC0u) != 0x80u) {
            return lead;
        }
        code = (code << 6u) | (next & 0x3Fu);
    }
    length = extra + 1;
    return code;
}

void Encode(char32_t code, std::string& out) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// Lower case for the scripts an executable name is likely to use: Latin and Cyrillic.
char32_t ToLower(char32_t c) {
    if ((c >= U'A' && c <= U'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) {
        return c + 0x20;
    }
    if (c >= 0x410 && c <= 0x42F) {
        return c + 0x20;
    }
    if (c >= 0x400 && c <= 0x40F) {
        return c + 0x50;
    }
    return c;
}

}  // namespace

FileCreateError::FileCreateError(const std::string& fullPath, int errnoValue)
    : Fault("Cannot create file " + Quoted(fullPath) + ". " + SystemErrorText(errnoValue)) {}

FileOpenError::FileOpenError(const std::string& fullPath, int errnoValue)
    : Fault("Cannot open file " + Quoted(fullPath) + ". " + SystemErrorText(errnoValue)) {}

InOutError::InOutError(int code) : Fault(InOutMessage(code)), code_(code) {}

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

int InOutCodeFromErrno(int errnoValue) {
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
            return errnoValue;
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
        const char32_t c = DecodeAt(name, pos, length);
        if (length == 1 && c >= 0x80) {
            caption += name[pos];  // a stray byte is kept as it is
        } else {
            Encode(first ? c : ToLower(c), caption);
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
    char32_t last = DecodeAt(message, start, length);
    if (start + length != message.size()) {
        last = static_cast<unsigned char>(message.back());  // malformed tail: judge the byte
    }
    if (last > U'.') {
        shown += '.';
    }
    return shown;
}

}  // namespace zk
