#include "numtext.h"

#include <charconv>
#include <iterator>

namespace zk {

char HexDigit(unsigned value) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    return kDigits[value & 0xFu];
}

std::string ByteToHex(std::uint8_t value) {
    return {HexDigit(value >> 4u), HexDigit(value)};
}

std::string WordToHex(std::uint16_t value) {
    return {HexDigit(value >> 12u), HexDigit(value >> 8u), HexDigit(value >> 4u), HexDigit(value)};
}

std::string IntToPadded(long long value, int width) {
    std::string text;
    AppendIntPadded(text, value, width);
    return text;
}

void AppendIntPadded(std::string& out, long long value, int width) {
    char digits[24];
    const char* end = std::to_chars(std::begin(digits), std::end(digits), value).ptr;
    const auto length = static_cast<int>(end - digits);
    if (length < width) {
        out.append(static_cast<std::size_t>(width - length), ' ');
    }
    out.append(digits, static_cast<std::size_t>(length));
}

}  // namespace zk
