// JPEG decoding through libjpeg: a complete JPEG file held in memory becomes 8-bit RGB pixels.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zk {

// The outcome of one decode. On success `error` is empty and `rgb` holds `height` rows of
// `width` * 3 bytes (red, green, blue), top row first, with no padding between rows. On failure
// `width` and `height` are 0, `rgb` is empty and `error` says what was wrong.
struct JpegImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;
    std::string error;

    bool ok() const { return error.empty(); }
};

// Largest picture accepted, in pixels; a header that asks for more is refused before any pixel
// memory is taken, so a damaged size field cannot exhaust the memory.
inline constexpr std::uint64_t kMaxJpegPixels = 64ull * 1024 * 1024;

// Decodes `size` bytes at `data`. Never ends the process and never throws for bad data: empty
// input, data that is not a JPEG, a damaged or truncated stream (libjpeg only warns about a
// stream that ends early and would return grey rows for the missing part), a colour space that
// cannot be turned into RGB and an oversized picture all give a failure. Grey-scale pictures come
// out as RGB with equal channels.
JpegImage DecodeJpeg(const std::uint8_t* data, std::size_t size);

}  // namespace zk
