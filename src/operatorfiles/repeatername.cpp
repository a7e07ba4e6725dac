#include "repeatername.h"

#include <optional>

#include "messages.h"
#include "utf8.h"

namespace zk {

namespace {

bool IsControl(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

// The next character of `text` from `pos` in lower case, or the byte there when it starts no
// well-formed character; `pos` moves past what was read.
char32_t NextLowerCase(std::string_view text, std::size_t& pos) {
    std::size_t length = 1;
    const std::optional<char32_t> c = DecodeUtf8At(text, pos, length);
    const char32_t folded = c ? LowerCase(*c) : 0x110000 + static_cast<unsigned char>(text[pos]);
    pos += length;
    return folded;
}

}  // namespace

bool SameRepeaterName(std::string_view a, std::string_view b) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (NextLowerCase(a, i) != NextLowerCase(b, j)) {
            return false;
        }
    }
    return i == a.size() && j == b.size();
}

void CheckRepeaterName(const std::string& subject, std::string_view name) {
    const std::string most = std::to_string(kMaxNameCharacters);
    const Wording rule{": a name is 1.." + most + " characters without control characters",
                       ": допустимо от 1 до " + most + " символов без управляющих"};
    const Wording quoted = Verbatim(subject + ": " + Quoted(name));
    if (name.empty()) {
        throw UsageError(Verbatim(subject) + Wording{": the name is empty", ": имя пустое"} + rule);
    }
    std::size_t characters = 0;
    for (std::size_t pos = 0; pos < name.size(); ++characters) {
        std::size_t length = 1;
        const std::optional<char32_t> c = DecodeUtf8At(name, pos, length);
        if (!c) {
            throw UsageError(quoted + Wording{" is not valid UTF-8", " не в кодировке UTF-8"});
        }
        if (IsControl(*c)) {
            throw UsageError(quoted +
                             Wording{" holds a control character", " содержит управляющий символ"} +
                             rule);
        }
        pos += length;
    }
    if (characters > kMaxNameCharacters) {
        throw UsageError(quoted + Wording{" is longer than " + most + " characters",
                                          " длиннее " + most + " символов"});
    }
}

}  // namespace zk
