// Encoded test pictures made on the spot with libjpeg and libpng, and the colours the tests
// compare, on either window system.
#pragma once

#include "util/text_types.h"

namespace lumeno::testing {

struct Colour {
    int red = 0;
    int green = 0;
    int blue = 0;
};

// True when the two colours differ by at most `tolerance` per channel.
bool SameColour(Colour a, Colour b, int tolerance = 8);

enum class JpegColours { Rgb, Grey, Cmyk };

// A width x height JPEG filled with `colour` (grey JPEGs use its grey value).
ByteSet MakeJpeg(int width, int height, Colour colour, JpegColours colours = JpegColours::Rgb,
                 int quality = 90);

// A width x height RGB PNG filled with `colour`.
ByteSet MakePng(int width, int height, Colour colour);

}  // namespace lumeno::testing
