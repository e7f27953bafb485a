// PNG decoding on libpng's simplified read interface, which keeps libpng's error jumps inside
// the library: a broken file comes back as a failed read, never as an exit.
#include "ui/image_codecs.h"

#include <png.h>

namespace lumeno::ui {
namespace {

// Frees the png_image's internal state on every path.
class PngReader {
public:
    PngReader() { image_.version = PNG_IMAGE_VERSION; }
    ~PngReader() { png_image_free(&image_); }
    PngReader(const PngReader&) = delete;
    PngReader& operator=(const PngReader&) = delete;

    png_image& Get() { return image_; }

private:
    png_image image_{};
};

}  // namespace

QImage DecodePng(std::span<const std::uint8_t> bytes) {
    if (bytes.empty()) return {};
    PngReader reader;
    png_image& png = reader.Get();
    if (!png_image_begin_read_from_memory(&png, bytes.data(), bytes.size())) return {};
    if (static_cast<std::int64_t>(png.width) * png.height > kMaxPicturePixels) return {};
    png.format = PNG_FORMAT_RGBA;
    QImage image(static_cast<int>(png.width), static_cast<int>(png.height),
                 QImage::Format_RGBA8888);
    if (image.isNull()) return {};
    if (!png_image_finish_read(&png, nullptr, image.bits(),
                               static_cast<png_int_32>(image.bytesPerLine()), nullptr)) {
        return {};
    }
    return image;
}

}  // namespace lumeno::ui
