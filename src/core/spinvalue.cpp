#include "spinvalue.h"

#include <algorithm>

namespace zk {

namespace {

int DigitValue(char c, int base) {
    int value = 99;
    if (c >= '0' && c <= '9') {
        value = c - '0';
    } else if (c >= 'a' && c <= 'f') {
        value = c - 'a' + 10;
    } else if (c >= 'A' && c <= 'F') {
        value = c - 'A' + 10;
    }
    return value < base ? value : -1;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

}  // namespace

std::optional<std::int32_t> ParseSpinText(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && text[pos] == ' ') {
        ++pos;
    }
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    int base = 10;
    const std::string_view rest = text.substr(pos);
    if (StartsWith(rest, "0x") || StartsWith(rest, "0X")) {
        base = 16;
        pos += 2;
    } else if (StartsWith(rest, "$") || StartsWith(rest, "x") || StartsWith(rest, "X")) {
        base = 16;
        pos += 1;
    }
    if (pos >= text.size()) {
        return std::nullopt;
    }
    // Accumulate the magnitude in 64 bits; anything past 2^31 is out of range whatever the sign.
    constexpr std::int64_t kLimit = std::int64_t{1} << 31;
    std::int64_t magnitude = 0;
    for (; pos < text.size(); ++pos) {
        const int digit = DigitValue(text[pos], base);
        if (digit < 0) {
            return std::nullopt;
        }
        magnitude = magnitude * base + digit;
        if (magnitude > kLimit) {
            return std::nullopt;
        }
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value > kLimit - 1) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(value);
}

std::int32_t SpinTextValue(std::string_view text, std::int32_t minimum) {
    return ParseSpinText(text).value_or(minimum);
}

std::int32_t SteppedSpinValue(std::string_view text, int delta, std::int32_t minimum,
                              std::int32_t maximum) {
    const std::int64_t stepped = std::int64_t{SpinTextValue(text, minimum)} + delta;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(stepped, minimum, maximum));
}

std::optional<std::string> SpinTextOnFocusLoss(std::string_view text, std::int32_t minimum,
                                               std::int32_t maximum) {
    const std::optional<std::int32_t> value = ParseSpinText(text);
    if (!value || (*value >= minimum && *value <= maximum)) {
        return std::nullopt;
    }
    return std::to_string(*value < minimum ? minimum : maximum);
}

}  // namespace zk
