// libjpeg header decoding for the local site's tests.
#include "tests/demo_site/jpeg_probe.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace lumeno::demo::testing {
namespace {

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

void OnError(j_common_ptr info) {
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}
void Quiet(j_common_ptr) {}

}  // namespace

JpegInfo ProbeJpeg(const std::string& bytes) {
    JpegInfo info;
    if (bytes.empty()) return info;
    jpeg_decompress_struct decoder;
    ErrorManager errors;
    decoder.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = OnError;
    errors.base.output_message = Quiet;
    if (setjmp(errors.jump) != 0) {
        jpeg_destroy_decompress(&decoder);
        return JpegInfo{};
    }
    jpeg_create_decompress(&decoder);
    jpeg_mem_src(&decoder, reinterpret_cast<const unsigned char*>(bytes.data()),
                 static_cast<unsigned long>(bytes.size()));
    if (jpeg_read_header(&decoder, TRUE) == JPEG_HEADER_OK) {
        info.valid = true;
        info.width = static_cast<int>(decoder.image_width);
        info.height = static_cast<int>(decoder.image_height);
    }
    jpeg_destroy_decompress(&decoder);
    return info;
}

}  // namespace lumeno::demo::testing
