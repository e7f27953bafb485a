// Dispatch to the decoders and fitting into the box, on QImage.
#include "ui/picture_decoder.h"

#include <memory>

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>

#include "ui/image_codecs.h"

namespace lumeno::ui {
namespace {

// The size the header declares is checked before anything is decoded, so a picture above the
// cap costs no decoding (the decoded image may be smaller than the header says).
QImage DecodeWithQt(std::span<const std::uint8_t> bytes, const char* format) {
    QByteArray array = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()),
                                               static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&array);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    const QSize declared = reader.size();
    auto tooLarge = [](QSize size) {
        return static_cast<std::int64_t>(size.width()) * size.height() > kMaxPicturePixels;
    };
    if (declared.isValid() && tooLarge(declared)) return {};
    QImage image = reader.read();
    if (image.isNull() || tooLarge(image.size())) return {};
    return image;
}

void FreePixels(void* pixels) {
    delete static_cast<std::vector<std::uint8_t>*>(pixels);
}

// Hands the decoded rows to a QImage without copying them.
QImage ToQImage(DecodedPicture picture) {
    if (picture.IsNull()) return {};
    const auto rowBytes = static_cast<qsizetype>(picture.RowBytes());
    const QImage::Format format =
        picture.layout == PixelLayout::Rgb888 ? QImage::Format_RGB888 : QImage::Format_RGBA8888;
    auto pixels = std::make_unique<std::vector<std::uint8_t>>(std::move(picture.pixels));
    QImage image(pixels->data(), picture.size.width, picture.size.height, rowBytes, format,
                 FreePixels, pixels.get());
    if (image.isNull()) return {};
    pixels.release();
    return image;
}

QSize ToQSize(PictureSize size) {
    return {size.width, size.height};
}
PictureSize ToPictureSize(QSize size) {
    return {size.width(), size.height()};
}

}  // namespace

QImage DecodeJpeg(std::span<const std::uint8_t> bytes, QSize box) {
    return ToQImage(DecodeJpegPixels(bytes, ToPictureSize(box)));
}

QImage DecodePng(std::span<const std::uint8_t> bytes) {
    return ToQImage(DecodePngPixels(bytes));
}

QSize FittedSize(QSize size, QSize box) {
    return ToQSize(FittedSize(ToPictureSize(size), ToPictureSize(box)));
}

QImage FitPicture(const QImage& image, QSize box) {
    if (image.isNull()) return {};
    const QSize fitted = FittedSize(image.size(), box);
    if (fitted.isEmpty()) return {};
    if (fitted == image.size()) return image;
    return image.scaled(fitted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QImage DecodePicture(std::span<const std::uint8_t> bytes, QSize box) {
    QImage image;
    switch (DetectPictureFormat(bytes)) {
        case PictureFormat::Jpeg:
            image = DecodeJpeg(bytes, box);
            break;
        case PictureFormat::Png:
            image = DecodePng(bytes);
            break;
        case PictureFormat::Bmp:
            image = DecodeWithQt(bytes, "BMP");
            break;
        case PictureFormat::Gif:
            image = DecodeWithQt(bytes, "GIF");
            break;
        case PictureFormat::Icon:
            image = DecodeWithQt(bytes, "ICO");
            break;
        case PictureFormat::Unknown:
            return {};
    }
    return FitPicture(image, box);
}

}  // namespace lumeno::ui
