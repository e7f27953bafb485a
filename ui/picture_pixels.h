// Decoded pictures as plain pixel rows, shared by the picture boxes of both window systems:
// format detection by leading bytes, the size a picture is shown at in its box, and scaling
// down to that size. Nothing here depends on a window system.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace lumeno::ui {

// Pictures with more source pixels than this are refused rather than decoded.
inline constexpr std::int64_t kMaxPicturePixels = 64LL * 1024 * 1024;

enum class PictureFormat { Unknown, Jpeg, Png, Bmp, Gif, Icon };

PictureFormat DetectPictureFormat(std::span<const std::uint8_t> bytes);

struct PictureSize {
    int width = 0;
    int height = 0;

    bool IsEmpty() const { return width <= 0 || height <= 0; }
    friend bool operator==(const PictureSize&, const PictureSize&) = default;
};

// The size a picture of `size` is shown at in `box`: scaled down to fit, keeping its aspect
// ratio (the limiting side fills the box, the other is rounded to the nearest pixel and never
// below 1); a picture that fits already keeps its size. Empty for an empty size or box.
PictureSize FittedSize(PictureSize size, PictureSize box);

// Pixels in memory order R, G, B (and A), rows top to bottom without padding.
enum class PixelLayout { Rgb888, Rgba8888 };

struct DecodedPicture {
    PictureSize size;
    PixelLayout layout = PixelLayout::Rgb888;
    std::vector<std::uint8_t> pixels;

    // An empty picture with `size` pixels of `layout`; stays empty when the size is empty.
    static DecodedPicture Allocate(PictureSize size, PixelLayout layout);

    bool IsNull() const { return pixels.empty(); }
    int BytesPerPixel() const { return layout == PixelLayout::Rgb888 ? 3 : 4; }
    std::size_t RowBytes() const {
        return static_cast<std::size_t>(size.width) * static_cast<std::size_t>(BytesPerPixel());
    }
    std::uint8_t* Row(int y) { return pixels.data() + RowBytes() * static_cast<std::size_t>(y); }
    const std::uint8_t* Row(int y) const {
        return pixels.data() + RowBytes() * static_cast<std::size_t>(y);
    }
};

// Scales a picture down to FittedSize(picture.size, box) by averaging the source pixels each
// target pixel covers; returns it unchanged when it fits already, empty when it is empty.
DecodedPicture FitPicturePixels(DecodedPicture picture, PictureSize box);

}  // namespace lumeno::ui
