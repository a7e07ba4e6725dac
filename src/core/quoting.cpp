#include "quoting.h"

#include <optional>

#include "utf8.h"

namespace zk {

namespace {

constexpr std::size_t kShownCharacters = 64;

void AppendHex(unsigned byte, std::string& out) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    out += "\\x";
    out += kDigits[(byte >> 4) & 0xFu];
    out += kDigits[byte & 0xFu];
}

bool IsControl(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

// Escapes `text`, keeping at most `limit` characters; true when some were left off.
bool Escape(std::string_view text, std::size_t limit, std::string& out) {
    std::size_t pos = 0;
    for (std::size_t count = 0; pos < text.size(); ++count) {
        if (count == limit) {
            return true;
        }
        std::size_t length = 1;
        const std::optional<char32_t> c = DecodeUtf8At(text, pos, length);
        if (!c) {
            AppendHex(static_cast<unsigned char>(text[pos]), out);
        } else if (IsControl(*c)) {
            AppendHex(static_cast<unsigned>(*c), out);
        } else {
            out.append(text.substr(pos, length));
        }
        pos += length;
    }
    return false;
}

}  // namespace

std::string EscapeControls(std::string_view text) {
    std::string out;
    Escape(text, std::string_view::npos, out);
    return out;
}

std::string Quoted(std::string_view value) {
    std::string out = "\"";
    if (Escape(value, kShownCharacters, out)) {
        out += "…";
    }
    out += '"';
    return out;
}

}  // namespace zk
