#include "_8_CRC.h"

#include "_2GL.h"
#include "arraylayout.h"
#include "numtext.h"

namespace zk {

std::uint16_t CrcAddByte(std::uint16_t crc, std::uint8_t byte) {
    unsigned value = crc ^ (static_cast<unsigned>(byte) << 8u);
    for (int bit = 0; bit < 8; ++bit) {
        if (value & 0x8000u) {
            value = ((value << 1u) ^ 0x1021u) & 0xFFFFu;
        } else {
            value = (value << 1u) & 0xFFFFu;
        }
    }
    return static_cast<std::uint16_t>(value);
}

std::uint16_t CheckWordOf(const std::array<std::uint8_t, 64>& bytes) {
    std::uint16_t crc = 0xFFFF;
    for (int i = 0; i < layout::kCheckedBytes; ++i) {
        crc = CrcAddByte(crc, bytes[static_cast<std::size_t>(i)]);
    }
    return crc;
}

std::uint16_t ComputeTransferCrc(TextLines& trace) {
    trace.Clear();
    TransferArray[layout::kMarker46] = 0;
    TransferArray[layout::kMarker47] = 0;
    std::uint16_t crc = 0xFFFF;
    for (int i = 0; i < layout::kCheckedBytes; ++i) {
        crc = CrcAddByte(crc, TransferArray[i]);
        trace.Add(IntToPadded(i, 2) + "  " + WordToHex(crc));
    }
    return crc;
}

}  // namespace zk
