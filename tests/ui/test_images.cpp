// Test picture encoders.
#include "tests/ui/test_images.h"

#include <cstdlib>

#include <QBuffer>

namespace lumeno::testing {

ByteSet MakeJpeg(int width, int height, QColor colour, JpegColours colours, int quality) {
    return testing::MakeJpeg(width, height, Colour{colour.red(), colour.green(), colour.blue()},
                             colours, quality);
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
