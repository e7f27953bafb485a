// Test picture encoders.
#include "tests/ui/test_images.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

#include <QBuffer>
#include <jpeglib.h>

namespace lumeno::testing {

ByteSet MakeJpeg(int width, int height, QColor colour, JpegColours colours, int quality) {
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
                row.insert(row.end(), {static_cast<JSAMPLE>(colour.red()),
                                       static_cast<JSAMPLE>(colour.green()),
                                       static_cast<JSAMPLE>(colour.blue())});
            }
            break;
        case JpegColours::Grey:
            info.input_components = 1;
            info.in_color_space = JCS_GRAYSCALE;
            row.assign(static_cast<std::size_t>(width), static_cast<JSAMPLE>(qGray(colour.rgb())));
            break;
        case JpegColours::Cmyk: {
            info.input_components = 4;
            info.in_color_space = JCS_CMYK;
            // Inverted CMYK as Adobe writes it: 255 is no ink.
            const int k = 255 - std::max({colour.red(), colour.green(), colour.blue()});
            const int white = 255 - k;
            auto ink = [&](int channel) {
                const int c = white == 0 ? 0 : (white - channel) * 255 / white;
                return static_cast<JSAMPLE>(255 - c);
            };
            for (int x = 0; x < width; ++x) {
                row.insert(row.end(), {ink(colour.red()), ink(colour.green()), ink(colour.blue()),
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

ByteSet EncodeWithQt(const QImage& image, const char* format) {
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return ByteSet(data.begin(), data.end());
}

QImage SolidImage(int width, int height, QColor colour, QImage::Format format) {
    QImage image(width, height, format);
    image.fill(colour);
    return image;
}

bool SameColour(QColor a, QColor b, int tolerance) {
    return std::abs(a.red() - b.red()) <= tolerance &&
           std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

}  // namespace lumeno::testing
