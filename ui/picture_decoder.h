// Decoding of the encoded image files handed to the Qt picture box: the format is told by the
// leading bytes; JPEG and PNG go through the shared decoders (libjpeg-turbo and libpng), BMP,
// GIF and icons through Qt's image readers. Decoding yields a QImage, so it may run on any
// thread.
#pragma once

#include <cstdint>
#include <span>

#include <QImage>
#include <QSize>

#include "ui/picture_pixels.h"

namespace lumeno::ui {

// Decodes the bytes for showing in a box of `box` pixels: the result fits the box, keeping its
// aspect ratio; a picture smaller than the box keeps its own size (it is never enlarged).
// JPEGs are decoded at the smallest DCT scale that still covers the fitted size. A null image
// for empty, unknown or undecodable bytes and for pictures of absurd dimensions.
QImage DecodePicture(std::span<const std::uint8_t> bytes, QSize box);

// The shared decoders with a QImage result (RGB888 for JPEG, RGBA8888 for PNG); see
// image_codecs.h.
QImage DecodeJpeg(std::span<const std::uint8_t> bytes, QSize box);
QImage DecodePng(std::span<const std::uint8_t> bytes);

// Scales an image down to fit `box`, keeping its aspect ratio; never enlarges.
QImage FitPicture(const QImage& image, QSize box);

// The size a picture of `size` is shown at in `box` (see FitPicture).
QSize FittedSize(QSize size, QSize box);

}  // namespace lumeno::ui
