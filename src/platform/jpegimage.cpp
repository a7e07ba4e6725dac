#include "jpegimage.h"

// clang-format off
#include <cstdio>
#include <jpeglib.h>
// clang-format on
#include <csetjmp>
#include <cstring>
#include <limits>

namespace zk {

namespace {

// libjpeg's default error handler prints and calls exit(). This one keeps the library's message
// and jumps back into DecodeJpeg instead. Warnings count as errors: the library warns, and then
// carries on with made-up data, when the stream is damaged or ends early.
struct ErrorManager {
    jpeg_error_mgr base;  // first member: libjpeg hands back a pointer to it
    std::jmp_buf resume;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void ErrorExit(j_common_ptr cinfo) {
    auto* manager = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, manager->message);
    std::longjmp(manager->resume, 1);
}

void EmitMessage(j_common_ptr cinfo, int level) {
    if (level < 0) {
        // A warning: the message code is already set, so ErrorExit reports the warning's text.
        cinfo->err->num_warnings++;
        ErrorExit(cinfo);
    }
    // Trace messages (level >= 0) are of no interest here.
}

void OutputMessage(j_common_ptr) {
    // Nothing goes to the standard error stream.
}

// The part of the decode that libjpeg may leave by longjmp. Everything that must survive the
// jump lives in the caller's frame (`cinfo`, `manager`, `out`), so nothing local to this frame
// is read after a jump, and no object with a destructor is skipped by one.
bool DecodeInto(jpeg_decompress_struct* cinfo, ErrorManager* manager, const std::uint8_t* data,
                std::size_t size, JpegImage* out) {
    if (setjmp(manager->resume) != 0) {
        return false;
    }
    jpeg_create_decompress(cinfo);
    jpeg_mem_src(cinfo, data, static_cast<unsigned long>(size));
    jpeg_read_header(cinfo, TRUE);

    const std::uint64_t pixels =
        static_cast<std::uint64_t>(cinfo->image_width) * cinfo->image_height;
    if (pixels > kMaxJpegPixels) {
        std::snprintf(manager->message, sizeof manager->message,
                      "Picture too large (%u x %u pixels)", cinfo->image_width,
                      cinfo->image_height);
        return false;
    }

    cinfo->out_color_space = JCS_RGB;
    jpeg_start_decompress(cinfo);
    if (cinfo->output_components != 3) {
        std::snprintf(manager->message, sizeof manager->message,
                      "Unexpected number of colour components (%d)", cinfo->output_components);
        return false;
    }

    const std::size_t stride = static_cast<std::size_t>(cinfo->output_width) * 3;
    out->rgb.resize(stride * cinfo->output_height);
    while (cinfo->output_scanline < cinfo->output_height) {
        JSAMPROW row = out->rgb.data() + stride * cinfo->output_scanline;
        jpeg_read_scanlines(cinfo, &row, 1);
    }
    jpeg_finish_decompress(cinfo);
    if (cinfo->err->num_warnings != 0) {
        // Unreachable while EmitMessage turns warnings into errors; kept as the last word.
        std::snprintf(manager->message, sizeof manager->message, "Damaged JPEG data");
        return false;
    }
    out->width = static_cast<int>(cinfo->output_width);
    out->height = static_cast<int>(cinfo->output_height);
    return true;
}

}  // namespace

JpegImage DecodeJpeg(const std::uint8_t* data, std::size_t size) {
    JpegImage image;
    if (data == nullptr || size == 0) {
        image.error = "No JPEG data";
        return image;
    }
    if (size > std::numeric_limits<unsigned long>::max()) {
        image.error = "JPEG data too large";
        return image;
    }

    jpeg_decompress_struct cinfo;
    ErrorManager manager;
    std::memset(&cinfo, 0, sizeof cinfo);
    std::memset(&manager, 0, sizeof manager);
    cinfo.err = jpeg_std_error(&manager.base);
    manager.base.error_exit = ErrorExit;
    manager.base.emit_message = EmitMessage;
    manager.base.output_message = OutputMessage;

    const bool decoded = DecodeInto(&cinfo, &manager, data, size, &image);
    jpeg_destroy_decompress(&cinfo);  // safe on a half-built or failed decoder
    if (!decoded) {
        image = JpegImage{};
        image.error = manager.message[0] != '\0' ? manager.message : "JPEG decoding failed";
    }
    return image;
}

}  // namespace zk
