// Picture drawing and libjpeg encoding for the local site.
#include "demo_site/picture_maker.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

namespace lumeno::demo {
namespace {

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

// libjpeg's default handler ends the process; jump back into Encode instead.
void OnJpegError(j_common_ptr info) {
    auto* manager = reinterpret_cast<ErrorManager*>(info->err);
    std::longjmp(manager->jump, 1);
}

std::uint32_t Mix(std::uint32_t x) {
    x ^= x >> 16;
    x *= 0x7feb352dU;
    x ^= x >> 15;
    x *= 0x846ca68bU;
    x ^= x >> 16;
    return x;
}

// Kept free of objects with destructors: a longjmp out of libjpeg must not skip any.
bool Encode(const unsigned char* rgb, int width, int height, unsigned char** out,
            unsigned long* outSize) {
    jpeg_compress_struct info;
    ErrorManager errors;
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = OnJpegError;
    if (setjmp(errors.jump) != 0) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, out, outSize);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 85, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<unsigned char*>(rgb) +
                       static_cast<size_t>(info.next_scanline) * static_cast<size_t>(width) * 3;
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

}  // namespace

std::string MakeJpeg(int width, int height, std::uint32_t seed) {
    if (width <= 0 || height <= 0 || width > 8192 || height > 8192) return {};
    const std::uint32_t h = Mix(seed + 0x9e3779b9U);
    const int r0 = static_cast<int>(h & 0xff), g0 = static_cast<int>((h >> 8) & 0xff),
              b0 = static_cast<int>((h >> 16) & 0xff);
    const std::uint32_t h2 = Mix(h);
    const int r1 = static_cast<int>(h2 & 0xff), g1 = static_cast<int>((h2 >> 8) & 0xff),
              b1 = static_cast<int>((h2 >> 16) & 0xff);
    const int stripe = 8 + static_cast<int>((h2 >> 24) % 40);  // stripe period in pixels
    const int cx = static_cast<int>(h % static_cast<std::uint32_t>(width));
    const int cy = static_cast<int>((h >> 12) % static_cast<std::uint32_t>(height));
    const long radius = (width < height ? width : height) / 3;

    std::vector<unsigned char> rgb(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            // Diagonal gradient between the two seed colours.
            const int t = (x * 255 / width + y * 255 / height) / 2;
            int r = r0 + (r1 - r0) * t / 255, g = g0 + (g1 - g0) * t / 255,
                b = b0 + (b1 - b0) * t / 255;
            if (((x + y) / stripe) % 2 == 0) {
                r = r * 3 / 4;
                g = g * 3 / 4;
                b = b * 3 / 4;
            }
            const long dx = x - cx, dy = y - cy;
            if (dx * dx + dy * dy < radius * radius) {
                r = 255 - r;
                g = 255 - g;
                b = 255 - b;
            }
            unsigned char* p = &rgb[(static_cast<size_t>(y) * static_cast<size_t>(width) +
                                     static_cast<size_t>(x)) *
                                    3];
            p[0] = static_cast<unsigned char>(r);
            p[1] = static_cast<unsigned char>(g);
            p[2] = static_cast<unsigned char>(b);
        }
    }

    unsigned char* out = nullptr;
    unsigned long outSize = 0;
    const bool ok = Encode(rgb.data(), width, height, &out, &outSize);
    std::string bytes;
    if (ok && out != nullptr) bytes.assign(reinterpret_cast<const char*>(out), outSize);
    std::free(out);
    return bytes;
}

}  // namespace lumeno::demo
