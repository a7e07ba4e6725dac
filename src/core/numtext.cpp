#include "numtext.h"

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
    std::string digits = std::to_string(value);
    if (static_cast<int>(digits.size()) >= width) {
        return digits;
    }
    return std::string(static_cast<std::size_t>(width) - digits.size(), ' ') + digits;
}

}  // namespace zk
