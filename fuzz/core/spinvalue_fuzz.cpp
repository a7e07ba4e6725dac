// The spin edit's reading of typed or pasted text: never a crash, never a value out of range
// where the rules promise one in range, and agreement with a plain model of the number syntax.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "spinvalue.h"

namespace {

// Model: spaces, optional sign, then decimal digits or a hex prefix and hex digits, evaluated in
// 128-bit arithmetic so that nothing can overflow.
bool ModelParse(std::string_view text, std::int32_t& out) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i++] == '-';
    }
    int base = 10;
    const std::string_view rest = text.substr(i);
    if (rest.starts_with("0x") || rest.starts_with("0X")) {
        base = 16;
        i += 2;
    } else if (rest.starts_with("$") || rest.starts_with("x") || rest.starts_with("X")) {
        base = 16;
        i += 1;
    }
    if (i == text.size()) {
        return false;
    }
    __int128 value = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        int digit = -1;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (base == 16 && c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else if (base == 16 && c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        }
        if (digit < 0) {
            return false;
        }
        value = value * base + digit;
        if (value > (__int128{1} << 40)) {
            return false;
        }
    }
    if (negative) {
        value = -value;
    }
    if (value < INT32_MIN || value > INT32_MAX) {
        return false;
    }
    out = static_cast<std::int32_t>(value);
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    // The first two bytes choose a range; the rest is the text.
    const std::int32_t minimum = static_cast<std::int8_t>(data[0]);
    const std::int32_t maximum = minimum + data[1];
    const std::string_view text(reinterpret_cast<const char*>(data + 2), size - 2);

    std::int32_t expected = 0;
    const bool modelOk = ModelParse(text, expected);
    const auto parsed = zk::ParseSpinText(text);
    if (parsed.has_value() != modelOk || (modelOk && *parsed != expected)) {
        std::abort();
    }
    if (zk::SpinTextValue(text, minimum) != (modelOk ? expected : minimum)) {
        std::abort();
    }
    for (const int delta : {-1, 1}) {
        const std::int32_t stepped = zk::SteppedSpinValue(text, delta, minimum, maximum);
        if (stepped < minimum || stepped > maximum) {
            std::abort();
        }
    }
    if (const auto shown = zk::SpinTextOnFocusLoss(text, minimum, maximum)) {
        const auto value = zk::ParseSpinText(*shown);
        if (!modelOk || !value || *value < minimum || *value > maximum ||
            (expected >= minimum && expected <= maximum)) {
            std::abort();
        }
    }
    return 0;
}
