// Format detection, fitting and the area-averaging scaler of the decoded pictures.
#include "ui/picture_pixels.h"

#include <algorithm>
#include <initializer_list>

namespace lumeno::ui {
namespace {

bool StartsWith(std::span<const std::uint8_t> bytes, std::initializer_list<std::uint8_t> magic) {
    return bytes.size() >= magic.size() && std::equal(magic.begin(), magic.end(), bytes.begin());
}

// The source span [first, last) that target index `i` of `target` covers in `source`.
void SourceSpan(int i, int target, int source, int* first, int* last) {
    const std::int64_t s = source;
    *first = static_cast<int>(s * i / target);
    *last = std::max(*first + 1, static_cast<int>((s * (i + 1) + target - 1) / target));
    *last = std::min(*last, source);
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

PictureSize FittedSize(PictureSize size, PictureSize box) {
    if (size.IsEmpty() || box.IsEmpty()) return {};
    if (size.width <= box.width && size.height <= box.height) return size;
    const std::int64_t w = size.width;
    const std::int64_t h = size.height;
    // Rounded to the nearest pixel; the side that limits the scale fills the box exactly.
    if (w * box.height >= h * box.width) {
        const auto height = static_cast<int>((h * box.width + w / 2) / w);
        return {box.width, std::max(1, height)};
    }
    const auto width = static_cast<int>((w * box.height + h / 2) / h);
    return {std::max(1, width), box.height};
}

DecodedPicture DecodedPicture::Allocate(PictureSize size, PixelLayout layout) {
    DecodedPicture picture;
    picture.layout = layout;
    if (size.IsEmpty()) return picture;
    picture.size = size;
    picture.pixels.resize(picture.RowBytes() * static_cast<std::size_t>(size.height));
    return picture;
}

DecodedPicture FitPicturePixels(DecodedPicture picture, PictureSize box) {
    if (picture.IsNull()) return {};
    const PictureSize fitted = FittedSize(picture.size, box);
    if (fitted.IsEmpty()) return {};
    if (fitted == picture.size) return picture;
    DecodedPicture scaled = DecodedPicture::Allocate(fitted, picture.layout);
    const int channels = picture.BytesPerPixel();
    std::vector<std::uint64_t> sums(static_cast<std::size_t>(fitted.width) * channels);
    std::vector<std::uint32_t> counts(static_cast<std::size_t>(fitted.width));
    for (int y = 0; y < fitted.height; ++y) {
        int top = 0;
        int bottom = 0;
        SourceSpan(y, fitted.height, picture.size.height, &top, &bottom);
        std::fill(sums.begin(), sums.end(), 0);
        std::fill(counts.begin(), counts.end(), 0);
        for (int sy = top; sy < bottom; ++sy) {
            const std::uint8_t* row = picture.Row(sy);
            for (int x = 0; x < fitted.width; ++x) {
                int left = 0;
                int right = 0;
                SourceSpan(x, fitted.width, picture.size.width, &left, &right);
                std::uint64_t* sum = &sums[static_cast<std::size_t>(x) * channels];
                for (int sx = left; sx < right; ++sx) {
                    const std::uint8_t* pixel = row + static_cast<std::size_t>(sx) * channels;
                    for (int c = 0; c < channels; ++c) sum[c] += pixel[c];
                }
                counts[static_cast<std::size_t>(x)] += static_cast<std::uint32_t>(right - left);
            }
        }
        std::uint8_t* out = scaled.Row(y);
        for (int x = 0; x < fitted.width; ++x) {
            const std::uint64_t count = counts[static_cast<std::size_t>(x)];
            for (int c = 0; c < channels; ++c) {
                const std::uint64_t sum = sums[static_cast<std::size_t>(x) * channels + c];
                out[static_cast<std::size_t>(x) * channels + c] =
                    static_cast<std::uint8_t>((sum + count / 2) / count);
            }
        }
    }
    return scaled;
}

}  // namespace lumeno::ui
