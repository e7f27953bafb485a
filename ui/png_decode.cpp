// PNG decoding on libpng. libpng reports errors by jumping to the reader's jump buffer (with
// none set it aborts), so the function that sets it creates no C++ objects whose destructors
// a jump could skip. 16-bit samples are cut to 8 bits as they are: libpng's simplified reader
// would treat them as linear light and brighten pictures without a gamma chunk.
#include "ui/image_codecs.h"

#include <cstring>

#include <png.h>

namespace lumeno::ui {
namespace {

struct MemoryInput {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t offset;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t length) {
    auto* input = static_cast<MemoryInput*>(png_get_io_ptr(png));
    if (length > input->size - input->offset) png_error(png, "truncated");
    std::memcpy(out, input->data + input->offset, length);
    input->offset += length;
}

[[noreturn]] void JumpOnError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}
void IgnoreWarning(png_structp, png_const_charp) {}

// Releases the read and info structures on every path.
class PngReadHolder {
public:
    PngReadHolder()
        : png_(png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, JumpOnError, IgnoreWarning)),
          info_(png_ ? png_create_info_struct(png_) : nullptr) {}
    ~PngReadHolder() {
        if (png_) png_destroy_read_struct(&png_, info_ ? &info_ : nullptr, nullptr);
    }
    PngReadHolder(const PngReadHolder&) = delete;
    PngReadHolder& operator=(const PngReadHolder&) = delete;

    png_structp png() const { return png_; }
    png_infop info() const { return info_; }

private:
    png_structp png_;
    png_infop info_;
};

// Holds the jump point; `image` lives in the caller's frame.
bool ReadPng(png_structp png, png_infop info, MemoryInput* input, DecodedPicture* image) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_read_fn(png, input, ReadFromMemory);
    png_read_info(png, info);
    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    if (width == 0 || height == 0 ||
        static_cast<std::int64_t>(width) * height > kMaxPicturePixels) {
        return false;
    }
    const int colourType = png_get_color_type(png, info);
    const int bitDepth = png_get_bit_depth(png, info);
    const bool transparency = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    if (colourType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
    if (colourType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) png_set_expand_gray_1_2_4_to_8(png);
    if (transparency) png_set_tRNS_to_alpha(png);
    if (bitDepth == 16) png_set_strip_16(png);
    if (!(colourType & PNG_COLOR_MASK_COLOR)) png_set_gray_to_rgb(png);
    if (!(colourType & PNG_COLOR_MASK_ALPHA) && !transparency) {
        png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    }
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != static_cast<png_size_t>(width) * 4) return false;
    *image = DecodedPicture::Allocate({static_cast<int>(width), static_cast<int>(height)},
                                      PixelLayout::Rgba8888);
    if (image->IsNull()) return false;
    // Interlaced pictures are read pass by pass into the same rows, which libpng combines.
    for (int pass = 0; pass < passes; ++pass) {
        for (png_uint_32 y = 0; y < height; ++y) {
            png_read_row(png, image->Row(static_cast<int>(y)), nullptr);
        }
    }
    png_read_end(png, nullptr);
    return true;
}

}  // namespace

DecodedPicture DecodePngPixels(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 8 || png_sig_cmp(bytes.data(), 0, 8) != 0) return {};
    PngReadHolder holder;
    if (!holder.png() || !holder.info()) return {};
    MemoryInput input{bytes.data(), bytes.size(), 0};
    DecodedPicture image;
    if (!ReadPng(holder.png(), holder.info(), &input, &image)) return {};
    return image;
}

}  // namespace lumeno::ui
