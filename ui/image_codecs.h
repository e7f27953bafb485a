// The library-backed decoders behind DecodePicture. Neither ever ends the process on bad
// input: library errors come back as a null image.
#pragma once

#include <cstdint>
#include <span>

#include <QImage>
#include <QSize>

namespace lumeno::ui {

// Pictures with more source pixels than this are refused rather than decoded.
inline constexpr std::int64_t kMaxPicturePixels = 64LL * 1024 * 1024;

// Decodes a JPEG; with a non-empty `box` it uses the smallest DCT scale (n/8) whose output still
// covers the size the picture is shown at in the box, so no more is decoded than the box needs
// (an empty box decodes at full size). RGB888 result.
QImage DecodeJpeg(std::span<const std::uint8_t> bytes, QSize box);

// Decodes a PNG into straight RGBA (palette, grey, 16-bit and interlaced inputs included).
QImage DecodePng(std::span<const std::uint8_t> bytes);

}  // namespace lumeno::ui
