// Encoded test pictures made on the spot for the Qt tests: JPEGs through libjpeg (RGB, grey
// and CMYK, see test_pictures.h), other formats through Qt's image writers.
#pragma once

#include <QColor>
#include <QImage>

#include "tests/ui/test_pictures.h"
#include "util/text_types.h"

namespace lumeno::testing {

// A width x height JPEG filled with `colour` (grey JPEGs use its grey value).
ByteSet MakeJpeg(int width, int height, QColor colour, JpegColours colours = JpegColours::Rgb,
                 int quality = 90);

// `image` written by Qt in `format` ("PNG", "BMP", "ICO").
ByteSet EncodeWithQt(const QImage& image, const char* format);

QImage SolidImage(int width, int height, QColor colour,
                  QImage::Format format = QImage::Format_RGB32);

// True when the two colours differ by at most `tolerance` per channel.
bool SameColour(QColor a, QColor b, int tolerance = 8);

}  // namespace lumeno::testing
