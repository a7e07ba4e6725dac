#include "repeatername.h"

#include <optional>

#include "messages.h"
#include "utf8.h"

namespace zk {

namespace {

bool IsControl(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

}  // namespace

void CheckRepeaterName(const std::string& subject, std::string_view name) {
    const std::string rule = ": a name is 1.." + std::to_string(kMaxNameCharacters) +
                             " characters without control characters";
    if (name.empty()) {
        throw UsageError(subject + ": the name is empty" + rule);
    }
    std::size_t characters = 0;
    for (std::size_t pos = 0; pos < name.size(); ++characters) {
        std::size_t length = 1;
        const std::optional<char32_t> c = DecodeUtf8At(name, pos, length);
        if (!c) {
            throw UsageError(subject + ": " + Quoted(name) + " is not valid UTF-8");
        }
        if (IsControl(*c)) {
            throw UsageError(subject + ": " + Quoted(name) + " holds a control character" + rule);
        }
        pos += length;
    }
    if (characters > kMaxNameCharacters) {
        throw UsageError(subject + ": " + Quoted(name) + " is longer than " +
                         std::to_string(kMaxNameCharacters) + " characters");
    }
}

}  // namespace zk
