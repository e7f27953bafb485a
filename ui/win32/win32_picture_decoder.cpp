// Format dispatch, and the system's picture loader for the formats the shared decoders leave.
#include "ui/win32/win32_picture_decoder.h"

#include <cstring>

#include "ui/image_codecs.h"
#include "ui/win32/win32_api.h"

#include <olectl.h>

namespace lumeno::ui::win32 {
namespace {

constexpr int kHimetricPerInch = 2540;
constexpr int kPixelsPerInch = 96;

// COM for the loader, balanced on every path; a thread already in another apartment keeps it.
class ComScope {
public:
    ComScope() : result_(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComScope() {
        if (result_ >= 0) ::CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    HRESULT result_;
};

// Renders the picture the loader made onto the dialog background, as opaque RGB.
DecodedPicture RenderPicture(IPicture& picture) {
    OLE_XSIZE_HIMETRIC himetricWidth = 0;
    OLE_YSIZE_HIMETRIC himetricHeight = 0;
    if (picture.get_Width(&himetricWidth) < 0 || picture.get_Height(&himetricHeight) < 0) {
        return {};
    }
    const PictureSize size{::MulDiv(himetricWidth, kPixelsPerInch, kHimetricPerInch),
                           ::MulDiv(himetricHeight, kPixelsPerInch, kHimetricPerInch)};
    if (size.IsEmpty() || static_cast<std::int64_t>(size.width) * size.height > kMaxPicturePixels) {
        return {};
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = size.width;
    info.bmiHeader.biHeight = -size.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap || !bits) return {};
    HDC dc = ::CreateCompatibleDC(nullptr);
    HGDIOBJ previous = ::SelectObject(dc, bitmap);
    RECT all{0, 0, size.width, size.height};
    ::FillRect(dc, &all, ::GetSysColorBrush(COLOR_BTNFACE));
    const bool rendered = picture.Render(dc, 0, 0, size.width, size.height, 0, himetricHeight,
                                         himetricWidth, -himetricHeight, nullptr) >= 0;
    ::GdiFlush();
    DecodedPicture decoded;
    if (rendered) {
        decoded = DecodedPicture::Allocate(size, PixelLayout::Rgb888);
        const auto* in = static_cast<const std::uint8_t*>(bits);
        for (int y = 0; y < size.height; ++y) {
            std::uint8_t* out = decoded.Row(y);
            for (int x = 0; x < size.width; ++x, in += 4, out += 3) {
                out[0] = in[2];
                out[1] = in[1];
                out[2] = in[0];
            }
        }
    }
    ::SelectObject(dc, previous);
    ::DeleteDC(dc);
    ::DeleteObject(bitmap);
    return decoded;
}

DecodedPicture DecodeWithSystem(std::span<const std::uint8_t> bytes) {
    if (bytes.empty() || bytes.size() > static_cast<std::size_t>(0x7FFFFFFF)) return {};
    ComScope com;
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (!memory) return {};
    void* target = ::GlobalLock(memory);
    if (!target) {
        ::GlobalFree(memory);
        return {};
    }
    std::memcpy(target, bytes.data(), bytes.size());
    ::GlobalUnlock(memory);
    IStream* stream = nullptr;
    if (::CreateStreamOnHGlobal(memory, TRUE, &stream) < 0 || !stream) {
        ::GlobalFree(memory);
        return {};
    }
    IPicture* picture = nullptr;
    DecodedPicture decoded;
    if (::OleLoadPicture(stream, static_cast<LONG>(bytes.size()), FALSE, IID_IPicture,
                         reinterpret_cast<void**>(&picture)) >= 0 &&
        picture) {
        decoded = RenderPicture(*picture);
        picture->Release();
    }
    stream->Release();  // frees the memory with it
    return decoded;
}

}  // namespace

DecodedPicture DecodePictureForBox(std::span<const std::uint8_t> bytes, PictureSize box) {
    DecodedPicture picture;
    switch (DetectPictureFormat(bytes)) {
        case PictureFormat::Jpeg:
            picture = DecodeJpegPixels(bytes, box);
            break;
        case PictureFormat::Png:
            picture = DecodePngPixels(bytes);
            break;
        case PictureFormat::Bmp:
        case PictureFormat::Gif:
        case PictureFormat::Icon:
            picture = DecodeWithSystem(bytes);
            break;
        case PictureFormat::Unknown:
            return {};
    }
    return FitPicturePixels(std::move(picture), box);
}

}  // namespace lumeno::ui::win32
