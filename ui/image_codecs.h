// The library-backed decoders behind the picture box: libjpeg-turbo and libpng. Neither ever
// ends the process on bad input: library errors come back as an empty picture. Both window
// systems use them.
#pragma once

#include <cstdint>
#include <span>

#include "ui/picture_pixels.h"

namespace lumeno::ui {

// Decodes a JPEG; with a non-empty `box` it uses the smallest DCT scale (n/8) whose output still
// covers the size the picture is shown at in the box, so no more is decoded than the box needs
// (an empty box decodes at full size). RGB result.
DecodedPicture DecodeJpegPixels(std::span<const std::uint8_t> bytes, PictureSize box);

// Decodes a PNG into straight RGBA (palette, grey, 16-bit and interlaced inputs included).
DecodedPicture DecodePngPixels(std::span<const std::uint8_t> bytes);

}  // namespace lumeno::ui
