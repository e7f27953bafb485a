// Decoding of the encoded image files handed to the picture box: the format is told by the
// leading bytes; JPEG and PNG go through libjpeg-turbo and libpng, BMP, GIF and icons through
// Qt's image readers. Decoding yields a QImage, so it may run on any thread.
#pragma once

#include <cstdint>
#include <span>

#include <QImage>
#include <QSize>

namespace lumeno::ui {

enum class PictureFormat { Unknown, Jpeg, Png, Bmp, Gif, Icon };

PictureFormat DetectPictureFormat(std::span<const std::uint8_t> bytes);

// Decodes the bytes for showing in a box of `box` pixels: the result fits the box, keeping its
// aspect ratio; a picture smaller than the box keeps its own size (it is never enlarged).
// JPEGs are decoded at the smallest DCT scale that still covers the fitted size. A null image
// for empty, unknown or undecodable bytes and for pictures of absurd dimensions.
QImage DecodePicture(std::span<const std::uint8_t> bytes, QSize box);

// Scales an image down to fit `box`, keeping its aspect ratio; never enlarges.
QImage FitPicture(const QImage& image, QSize box);

// The size a picture of `size` is shown at in `box` (see FitPicture).
QSize FittedSize(QSize size, QSize box);

}  // namespace lumeno::ui
