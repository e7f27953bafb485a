// JPEG decoding on libjpeg-turbo with DCT scaling. libjpeg's default error handler exits the
// process, so an error manager that long-jumps back out is installed; the function that holds
// the jump point creates no C++ objects whose destructors a jump could skip.
#include "ui/image_codecs.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace lumeno::ui {
namespace {

struct JpegErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

[[noreturn]] void JumpOnError(j_common_ptr info) {
    std::longjmp(reinterpret_cast<JpegErrorManager*>(info->err)->jump, 1);
}

// Corrupt-data warnings would otherwise go to standard error.
void IgnoreMessage(j_common_ptr) {}

// The smallest n in 1..8 for which the n/8-scaled picture still covers the size it is shown
// at in `box`.
int ScaleNumerator(JDIMENSION width, JDIMENSION height, PictureSize box) {
    if (box.IsEmpty()) return 8;
    const PictureSize atLeast =
        FittedSize({static_cast<int>(width), static_cast<int>(height)}, box);
    for (int n = 1; n < 8; ++n) {
        const long long w = (static_cast<long long>(width) * n + 7) / 8;
        const long long h = (static_cast<long long>(height) * n + 7) / 8;
        if (w >= atLeast.width && h >= atLeast.height) return n;
    }
    return 8;
}

// Adobe writes CMYK JPEGs inverted: 255 means no ink.
void CmykRowToRgb(const JSAMPLE* cmyk, std::uint8_t* rgb, JDIMENSION width) {
    for (JDIMENSION x = 0; x < width; ++x, cmyk += 4, rgb += 3) {
        const int k = cmyk[3];
        rgb[0] = static_cast<std::uint8_t>(cmyk[0] * k / 255);
        rgb[1] = static_cast<std::uint8_t>(cmyk[1] * k / 255);
        rgb[2] = static_cast<std::uint8_t>(cmyk[2] * k / 255);
    }
}

// Holds the jump point. `image` lives in the caller's frame; `cmykRow` is a buffer of the
// decompressor's pool, freed with it.
bool Decompress(jpeg_decompress_struct* info, JpegErrorManager* errors,
                std::span<const std::uint8_t> bytes, PictureSize box, DecodedPicture* image) {
    if (setjmp(errors->jump)) return false;
    jpeg_create_decompress(info);
    jpeg_mem_src(info, bytes.data(), static_cast<unsigned long>(bytes.size()));
    if (jpeg_read_header(info, TRUE) != JPEG_HEADER_OK) return false;
    if (static_cast<std::int64_t>(info->image_width) * info->image_height > kMaxPicturePixels) {
        return false;
    }
    const bool cmyk = info->jpeg_color_space == JCS_CMYK || info->jpeg_color_space == JCS_YCCK;
    info->out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    info->scale_num =
        static_cast<unsigned>(ScaleNumerator(info->image_width, info->image_height, box));
    info->scale_denom = 8;
    jpeg_start_decompress(info);
    *image = DecodedPicture::Allocate(
        {static_cast<int>(info->output_width), static_cast<int>(info->output_height)},
        PixelLayout::Rgb888);
    if (image->IsNull()) return false;
    JSAMPROW cmykRow = nullptr;
    if (cmyk) {
        cmykRow = static_cast<JSAMPROW>((*info->mem->alloc_small)(
            reinterpret_cast<j_common_ptr>(info), JPOOL_IMAGE, info->output_width * 4));
    }
    while (info->output_scanline < info->output_height) {
        std::uint8_t* line = image->Row(static_cast<int>(info->output_scanline));
        JSAMPROW row = cmyk ? cmykRow : line;
        if (jpeg_read_scanlines(info, &row, 1) != 1) return false;
        if (cmyk) CmykRowToRgb(cmykRow, line, info->output_width);
    }
    jpeg_finish_decompress(info);
    return true;
}

}  // namespace

DecodedPicture DecodeJpegPixels(std::span<const std::uint8_t> bytes, PictureSize box) {
    if (bytes.empty()) return {};
    jpeg_decompress_struct info{};
    JpegErrorManager errors{};
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = JumpOnError;
    errors.base.output_message = IgnoreMessage;
    DecodedPicture image;
    const bool ok = Decompress(&info, &errors, bytes, box, &image);
    jpeg_destroy_decompress(&info);
    if (!ok) return {};
    return image;
}

}  // namespace lumeno::ui
