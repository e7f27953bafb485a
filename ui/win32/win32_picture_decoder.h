// Decoding of the byte sets handed to the Win32 picture box: JPEG and PNG through the shared
// decoders (libjpeg-turbo with DCT scaling, libpng), BMP, GIF and icons through the system's
// picture loader (OleLoadPicture). May run on any thread.
#pragma once

#include <cstdint>
#include <span>

#include "ui/picture_pixels.h"

namespace lumeno::ui::win32 {

// The picture fitted to `box` (scaled down, aspect kept); empty for empty, unknown or
// undecodable bytes.
DecodedPicture DecodePictureForBox(std::span<const std::uint8_t> bytes, PictureSize box);

}  // namespace lumeno::ui::win32
