// The JPEG decoder against pictures made here with libjpeg's own compressor, and against the
// damaged forms such a file takes in practice: cut short, overwritten, not a JPEG at all.
#include "jpegimage.h"

#include <gtest/gtest.h>

// clang-format off
#include <cstdio>
#include <jpeglib.h>
// clang-format on
#include <cstdint>
#include <cstdlib>
#include <random>
#include <vector>

namespace zk {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct Rgb {
    int r, g, b;
};

// A picture in four quadrants: red, green / blue, white.
Rgb QuadrantColour(int x, int y, int width, int height) {
    const bool right = x >= width / 2;
    const bool bottom = y >= height / 2;
    if (!bottom) {
        return right ? Rgb{0, 200, 0} : Rgb{220, 0, 0};
    }
    return right ? Rgb{255, 255, 255} : Rgb{0, 0, 230};
}

// Compresses a `width` x `height` quadrant picture, in colour or grey, at quality 95.
Bytes EncodeQuadrants(int width, int height, bool grey = false) {
    jpeg_compress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    cinfo.input_components = grey ? 1 : 3;
    cinfo.in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 95, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<unsigned char> row(static_cast<std::size_t>(width) * cinfo.input_components);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Rgb c = QuadrantColour(x, y, width, height);
            if (grey) {
                row[x] = static_cast<unsigned char>((c.r + c.g + c.b) / 3);
            } else {
                row[3 * x] = static_cast<unsigned char>(c.r);
                row[3 * x + 1] = static_cast<unsigned char>(c.g);
                row[3 * x + 2] = static_cast<unsigned char>(c.b);
            }
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    Bytes out(buffer, buffer + size);
    std::free(buffer);
    return out;
}

Rgb PixelAt(const JpegImage& image, int x, int y) {
    const std::size_t at = (static_cast<std::size_t>(y) * image.width + x) * 3;
    return {image.rgb[at], image.rgb[at + 1], image.rgb[at + 2]};
}

void ExpectNear(const Rgb& actual, const Rgb& expected) {
    constexpr int kTolerance = 12;  // quality 95 keeps flat areas within a few levels
    EXPECT_NEAR(actual.r, expected.r, kTolerance);
    EXPECT_NEAR(actual.g, expected.g, kTolerance);
    EXPECT_NEAR(actual.b, expected.b, kTolerance);
}

void ExpectFailure(const JpegImage& image) {
    EXPECT_FALSE(image.ok());
    EXPECT_FALSE(image.error.empty());
    EXPECT_EQ(image.width, 0);
    EXPECT_EQ(image.height, 0);
    EXPECT_TRUE(image.rgb.empty());
}

// Offset of the first byte after the start-of-scan header, where the compressed data begins.
std::size_t ScanDataOffset(const Bytes& jpeg) {
    for (std::size_t i = 0; i + 3 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xDA) {
            return i + 2 + ((jpeg[i + 2] << 8) | jpeg[i + 3]);
        }
    }
    return 0;
}

TEST(DecodeJpeg, ColourPictureGivesItsSizeAndColoursInRowOrder) {
    // An odd width and height: rows must follow each other without padding, and the decoder must
    // not round the size up to whole blocks.
    for (const auto& [width, height] : {std::pair{64, 48}, std::pair{37, 23}}) {
        SCOPED_TRACE(testing::Message() << width << " x " << height);
        const Bytes jpeg = EncodeQuadrants(width, height);
        const JpegImage image = DecodeJpeg(jpeg.data(), jpeg.size());
        ASSERT_TRUE(image.ok()) << image.error;
        EXPECT_EQ(image.width, width);
        EXPECT_EQ(image.height, height);
        ASSERT_EQ(image.rgb.size(), static_cast<std::size_t>(width) * height * 3);
        for (const auto& [x, y] : {std::pair{width / 4, height / 4},
                                   {3 * width / 4, height / 4},
                                   {width / 4, 3 * height / 4},
                                   {3 * width / 4, 3 * height / 4}}) {
            ExpectNear(PixelAt(image, x, y), QuadrantColour(x, y, width, height));
        }
        // The bottom-right corner is the last pixel of the buffer.
        ExpectNear(PixelAt(image, width - 1, height - 1), {255, 255, 255});
    }
}

TEST(DecodeJpeg, GreyPictureComesOutAsRgbWithEqualChannels) {
    const Bytes jpeg = EncodeQuadrants(32, 32, /*grey=*/true);
    const JpegImage image = DecodeJpeg(jpeg.data(), jpeg.size());
    ASSERT_TRUE(image.ok()) << image.error;
    ASSERT_EQ(image.rgb.size(), 32u * 32u * 3u);
    const Rgb white = PixelAt(image, 28, 28);
    EXPECT_GT(white.r, 240);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const Rgb p = PixelAt(image, x, y);
            ASSERT_EQ(p.r, p.g);
            ASSERT_EQ(p.g, p.b);
        }
    }
}

TEST(DecodeJpeg, EmptyInputFails) {
    const Bytes none;
    ExpectFailure(DecodeJpeg(nullptr, 0));
    ExpectFailure(DecodeJpeg(none.data(), none.size()));
    const std::uint8_t byte = 0xFF;
    ExpectFailure(DecodeJpeg(&byte, 0));
}

TEST(DecodeJpeg, GarbageFailsWithoutEndingTheProcess) {
    std::mt19937 random(77);
    Bytes garbage(4096);
    for (auto& b : garbage) {
        b = static_cast<std::uint8_t>(random());
    }
    garbage[0] = 0x00;  // anything but the start-of-image marker
    const JpegImage image = DecodeJpeg(garbage.data(), garbage.size());
    ExpectFailure(image);
    EXPECT_NE(image.error.find("Not a JPEG file"), std::string::npos) << image.error;

    const Bytes text{'h', 'e', 'l', 'l', 'o'};
    ExpectFailure(DecodeJpeg(text.data(), text.size()));
}

TEST(DecodeJpeg, TruncatedStreamFailsInsteadOfGivingGreyRows) {
    const Bytes jpeg = EncodeQuadrants(64, 48);
    const std::size_t scan = ScanDataOffset(jpeg);
    ASSERT_GT(scan, 0u);

    // Cut inside the compressed data: libjpeg only warns and fills the rest with grey.
    const Bytes halfData(jpeg.begin(), jpeg.begin() + (scan + jpeg.size()) / 2);
    const JpegImage cut = DecodeJpeg(halfData.data(), halfData.size());
    ExpectFailure(cut);
    EXPECT_NE(cut.error.find("Premature end"), std::string::npos) << cut.error;

    // Without the end-of-image marker only.
    const Bytes noEnd(jpeg.begin(), jpeg.end() - 2);
    ExpectFailure(DecodeJpeg(noEnd.data(), noEnd.size()));

    // Cut inside the headers, before any pixel data.
    for (std::size_t length : {std::size_t{2}, std::size_t{20}, scan - 1, scan}) {
        SCOPED_TRACE(length);
        ExpectFailure(DecodeJpeg(jpeg.data(), length));
    }
}

TEST(DecodeJpeg, DamagedScanDataFails) {
    const Bytes jpeg = EncodeQuadrants(64, 48);
    const std::size_t scan = ScanDataOffset(jpeg);
    ASSERT_GT(scan, 0u);
    // A marker in the middle of the entropy-coded data, where none can stand.
    Bytes damaged = jpeg;
    const std::size_t middle = (scan + jpeg.size()) / 2;
    damaged[middle] = 0xFF;
    damaged[middle + 1] = 0xD0 + 5;  // a restart marker the stream never announced
    ExpectFailure(DecodeJpeg(damaged.data(), damaged.size()));
}

TEST(DecodeJpeg, OversizedHeaderIsRefusedBeforeDecoding) {
    Bytes jpeg = EncodeQuadrants(16, 16);
    // The baseline frame header: FF C0, length, precision, height, width.
    std::size_t sof = 0;
    for (std::size_t i = 0; i + 1 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) {
            sof = i;
            break;
        }
    }
    ASSERT_GT(sof, 0u);
    for (std::size_t at : {sof + 5, sof + 7}) {  // 65000 rows, 65000 columns
        jpeg[at] = 0xFD;
        jpeg[at + 1] = 0xE8;
    }
    const JpegImage image = DecodeJpeg(jpeg.data(), jpeg.size());
    ExpectFailure(image);
    EXPECT_NE(image.error.find("too large"), std::string::npos) << image.error;
}

}  // namespace
}  // namespace zk
