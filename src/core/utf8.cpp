#include "utf8.h"

#include <locale.h>
#include <wctype.h>

namespace zk {

std::optional<char32_t> DecodeUtf8At(std::string_view text, std::size_t pos, std::size_t& length) {
    length = 1;
    const auto lead = static_cast<unsigned char>(text[pos]);
    if (lead < 0x80) {
        return lead;
    }
    std::size_t extra = 0;
    unsigned char low = 0x80;  // bounds of the second byte, which rule out the bad forms
    unsigned char high = 0xBF;
    char32_t code = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        extra = 1;
        code = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        extra = 2;
        code = lead & 0x0Fu;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        extra = 3;
        code = lead & 0x07u;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return std::nullopt;
    }
    if (text.size() - pos <= extra) {
        return std::nullopt;
    }
    const auto second = static_cast<unsigned char>(text[pos + 1]);
    if (second < low || second > high) {
        return std::nullopt;
    }
    for (std::size_t k = 1; k <= extra; ++k) {
        const auto next = static_cast<unsigned char>(text[pos + k]);
        if ((next & 0xC0u) != 0x80u) {
            return std::nullopt;
        }
        code = (code << 6u) | (next & 0x3Fu);
    }
    length = extra + 1;
    return code;
}

bool IsValidUtf8(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t length = 1;
        if (!DecodeUtf8At(text, pos, length)) {
            return false;
        }
        pos += length;
    }
    return true;
}

void AppendUtf8(char32_t code, std::string& out) {
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

char32_t LowerCase(char32_t code) {
    // A locale object of its own, so that the process's locale settings do not matter.
    static const locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
    if (utf8 == static_cast<locale_t>(nullptr)) {
        return code >= U'A' && code <= U'Z' ? code + 0x20 : code;
    }
    return static_cast<char32_t>(towlower_l(static_cast<wint_t>(code), utf8));
}

}  // namespace zk
