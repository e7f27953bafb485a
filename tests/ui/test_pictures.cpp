// Test picture encoders on libjpeg and libpng.
#include "tests/ui/test_pictures.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>
#include <png.h>

namespace lumeno::testing {
namespace {

void AppendToByteSet(png_structp png, png_bytep data, png_size_t length) {
    auto* bytes = static_cast<ByteSet*>(png_get_io_ptr(png));
    bytes->insert(bytes->end(), data, data + length);
}
void FlushNothing(png_structp) {}

}  // namespace

bool SameColour(Colour a, Colour b, int tolerance) {
    return std::abs(a.red - b.red) <= tolerance && std::abs(a.green - b.green) <= tolerance &&
           std::abs(a.blue - b.blue) <= tolerance;
}

ByteSet MakeJpeg(int width, int height, Colour colour, JpegColours colours, int quality) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    std::vector<JSAMPLE> row;
    switch (colours) {
        case JpegColours::Rgb:
            info.input_components = 3;
            info.in_color_space = JCS_RGB;
            for (int x = 0; x < width; ++x) {
                row.insert(row.end(),
                           {static_cast<JSAMPLE>(colour.red), static_cast<JSAMPLE>(colour.green),
                            static_cast<JSAMPLE>(colour.blue)});
            }
            break;
        case JpegColours::Grey:
            info.input_components = 1;
            info.in_color_space = JCS_GRAYSCALE;
            row.assign(
                static_cast<std::size_t>(width),
                static_cast<JSAMPLE>((colour.red * 11 + colour.green * 16 + colour.blue * 5) / 32));
            break;
        case JpegColours::Cmyk: {
            info.input_components = 4;
            info.in_color_space = JCS_CMYK;
            // Inverted CMYK as Adobe writes it: 255 is no ink.
            const int k = 255 - std::max({colour.red, colour.green, colour.blue});
            const int white = 255 - k;
            auto ink = [&](int channel) {
                const int c = white == 0 ? 0 : (white - channel) * 255 / white;
                return static_cast<JSAMPLE>(255 - c);
            };
            for (int x = 0; x < width; ++x) {
                row.insert(row.end(), {ink(colour.red), ink(colour.green), ink(colour.blue),
                                       static_cast<JSAMPLE>(255 - k)});
            }
            break;
        }
    }
    jpeg_set_defaults(&info);
    if (colours == JpegColours::Cmyk) {
        jpeg_set_colorspace(&info, JCS_CMYK);
        info.write_Adobe_marker = TRUE;
    }
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    JSAMPROW pointer = row.data();
    for (int y = 0; y < height; ++y) jpeg_write_scanlines(&info, &pointer, 1);
    jpeg_finish_compress(&info);
    ByteSet bytes(buffer, buffer + size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return bytes;
}

ByteSet MakePng(int width, int height, Colour colour) {
    ByteSet bytes;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &bytes, AppendToByteSet, FlushNothing);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<png_byte> row;
    for (int x = 0; x < width; ++x) {
        row.insert(row.end(),
                   {static_cast<png_byte>(colour.red), static_cast<png_byte>(colour.green),
                    static_cast<png_byte>(colour.blue)});
    }
    for (int y = 0; y < height; ++y) png_write_row(png, row.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return bytes;
}

}  // namespace lumeno::testing
