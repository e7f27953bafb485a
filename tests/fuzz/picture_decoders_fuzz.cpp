// The picture decoders on any bytes (seeded with small JPEG, PNG, GIF, BMP and icon files):
// no crash, whatever comes out fits the picture box, and a picture whose header declares more
// than the 64-megapixel cap is refused. The declared size is read separately: with libjpeg for
// JPEG, from the IHDR chunk for PNG, and by Qt's image reader for the formats Qt decodes.
#include <csetjmp>
#include <cstdio>
#include <optional>

#include <QBuffer>
#include <QByteArray>
#include <QGuiApplication>
#include <QImageReader>

#include <jpeglib.h>

#include "tests/fuzz/fuzz_input.h"
#include "ui/image_codecs.h"
#include "ui/picture_decoder.h"

namespace {

using namespace lumeno::ui;

const QSize kBox(344, 206);
constexpr std::size_t kMaxInput = 256 * 1024;

struct JpegError {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

[[noreturn]] void JumpOut(j_common_ptr info) {
    std::longjmp(reinterpret_cast<JpegError*>(info->err)->jump, 1);
}
void Quiet(j_common_ptr) {}

// Width times height from the JPEG header, or nothing when libjpeg cannot read one.
std::optional<std::int64_t> JpegPixels(std::span<const std::uint8_t> bytes) {
    jpeg_decompress_struct info{};
    JpegError error{};
    info.err = jpeg_std_error(&error.base);
    error.base.error_exit = JumpOut;
    error.base.output_message = Quiet;
    std::optional<std::int64_t> pixels;
    if (setjmp(error.jump) == 0) {
        jpeg_create_decompress(&info);
        jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
        if (jpeg_read_header(&info, TRUE) == JPEG_HEADER_OK) {
            pixels = static_cast<std::int64_t>(info.image_width) * info.image_height;
        }
    }
    jpeg_destroy_decompress(&info);
    return pixels;
}

std::optional<std::int64_t> PngPixels(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 24 ||
        std::string_view(reinterpret_cast<const char*>(&bytes[12]), 4) != "IHDR")
        return std::nullopt;
    auto word = [&](std::size_t at) {
        return static_cast<std::int64_t>(bytes[at]) << 24 | bytes[at + 1] << 16 |
               bytes[at + 2] << 8 | bytes[at + 3];
    };
    return word(16) * word(20);
}

std::optional<std::int64_t> QtPixels(std::span<const std::uint8_t> bytes, const char* format) {
    QByteArray array = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()),
                                               static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&array);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    const QSize size = reader.size();
    if (!size.isValid()) return std::nullopt;
    return static_cast<std::int64_t>(size.width()) * size.height();
}

std::optional<std::int64_t> DeclaredPixels(std::span<const std::uint8_t> bytes) {
    switch (DetectPictureFormat(bytes)) {
        case PictureFormat::Jpeg:
            return JpegPixels(bytes);
        case PictureFormat::Png:
            return PngPixels(bytes);
        case PictureFormat::Bmp:
            return QtPixels(bytes, "BMP");
        case PictureFormat::Gif:
            return QtPixels(bytes, "GIF");
        case PictureFormat::Icon:
            return QtPixels(bytes, "ICO");
        case PictureFormat::Unknown:
            break;
    }
    return std::nullopt;
}

void EnsureApplication() {
    static int argc = 1;
    static char name[] = "fuzz_picture_decoders";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* application = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QGuiApplication(argc, argv);
    }();
    (void)application;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    EnsureApplication();
    const std::span<const std::uint8_t> bytes(data, std::min(size, kMaxInput));

    const QImage shown = DecodePicture(bytes, kBox);
    if (!shown.isNull()) {
        FUZZ_CHECK(shown.width() >= 1 && shown.width() <= kBox.width());
        FUZZ_CHECK(shown.height() >= 1 && shown.height() <= kBox.height());
    }
    const std::optional<std::int64_t> declared = DeclaredPixels(bytes);
    if (declared && *declared > kMaxPicturePixels) {
        FUZZ_CHECK(shown.isNull());
        if (DetectPictureFormat(bytes) == PictureFormat::Jpeg)
            FUZZ_CHECK(DecodeJpeg(bytes, kBox).isNull());
        if (DetectPictureFormat(bytes) == PictureFormat::Png) FUZZ_CHECK(DecodePng(bytes).isNull());
    }
    // Full-size PNG decoding is cheap enough to check on every input: nothing above the cap.
    const QImage png = DecodePng(bytes);
    if (!png.isNull()) {
        FUZZ_CHECK(static_cast<std::int64_t>(png.width()) * png.height() <= kMaxPicturePixels);
    }
    return 0;
}
