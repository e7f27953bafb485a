// Format detection, dispatch to the decoders, and fitting into the box.
#include "ui/picture_decoder.h"

#include <algorithm>

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>

#include "ui/image_codecs.h"

namespace lumeno::ui {
namespace {

bool StartsWith(std::span<const std::uint8_t> bytes, std::initializer_list<std::uint8_t> magic) {
    return bytes.size() >= magic.size() && std::equal(magic.begin(), magic.end(), bytes.begin());
}

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

}  // namespace

PictureFormat DetectPictureFormat(std::span<const std::uint8_t> bytes) {
    if (StartsWith(bytes, {0xFF, 0xD8, 0xFF})) return PictureFormat::Jpeg;
    if (StartsWith(bytes, {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A})) {
        return PictureFormat::Png;
    }
    if (StartsWith(bytes, {'G', 'I', 'F', '8', '7', 'a'}) ||
        StartsWith(bytes, {'G', 'I', 'F', '8', '9', 'a'})) {
        return PictureFormat::Gif;
    }
    if (StartsWith(bytes, {'B', 'M'})) return PictureFormat::Bmp;
    // Icon and cursor directories: reserved 0, type 1 (icon) or 2 (cursor), at least one image.
    if (bytes.size() >= 6 && StartsWith(bytes, {0, 0}) && (bytes[2] == 1 || bytes[2] == 2) &&
        bytes[3] == 0 && (bytes[4] != 0 || bytes[5] != 0)) {
        return PictureFormat::Icon;
    }
    return PictureFormat::Unknown;
}

QSize FittedSize(QSize size, QSize box) {
    if (size.isEmpty() || box.isEmpty()) return {};
    if (size.width() <= box.width() && size.height() <= box.height()) return size;
    const std::int64_t w = size.width();
    const std::int64_t h = size.height();
    // Rounded to the nearest pixel; the side that limits the scale fills the box exactly.
    if (w * box.height() >= h * box.width()) {
        const auto height = static_cast<int>((h * box.width() + w / 2) / w);
        return {box.width(), std::max(1, height)};
    }
    const auto width = static_cast<int>((w * box.height() + h / 2) / h);
    return {std::max(1, width), box.height()};
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
