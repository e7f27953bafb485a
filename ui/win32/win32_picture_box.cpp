// Painting and the bitmap of the Win32 picture box.
#include "ui/win32/win32_picture_box.h"

#include <cstring>

#include "ui/win32/win32_picture_decoder.h"

namespace lumeno::ui::win32 {
namespace {

void RegisterPictureBoxClass(WNDPROC procedure) {
    static const bool registered = [procedure] {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = procedure;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        windowClass.lpszClassName = PictureBox::ClassName();
        return ::RegisterClassW(&windowClass) != 0;
    }();
    (void)registered;
}

// A top-down 32-bit DIB of the picture, its transparent parts laid over `background`.
HBITMAP MakeBitmap(const DecodedPicture& picture, COLORREF background) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = picture.size.width;
    info.bmiHeader.biHeight = -picture.size.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap || !bits) return nullptr;
    const int backRed = GetRValue(background);
    const int backGreen = GetGValue(background);
    const int backBlue = GetBValue(background);
    auto* out = static_cast<std::uint8_t*>(bits);
    const int channels = picture.BytesPerPixel();
    for (int y = 0; y < picture.size.height; ++y) {
        const std::uint8_t* in = picture.Row(y);
        for (int x = 0; x < picture.size.width; ++x, in += channels, out += 4) {
            const int alpha = channels == 4 ? in[3] : 255;
            auto blend = [alpha](int value, int back) {
                return static_cast<std::uint8_t>((value * alpha + back * (255 - alpha) + 127) /
                                                 255);
            };
            out[0] = blend(in[2], backBlue);
            out[1] = blend(in[1], backGreen);
            out[2] = blend(in[0], backRed);
            out[3] = 0;
        }
    }
    ::GdiFlush();
    return bitmap;
}

}  // namespace

const wchar_t* PictureBox::ClassName() {
    return L"LumenoPictureBox";
}

PictureBox::PictureBox(HWND parent, int id, int left, int top, int width, int height, bool visible)
    : boxWidth_(width), boxHeight_(height) {
    RegisterPictureBoxClass(&PictureBox::WindowProc);
    window_ =
        ::CreateWindowExW(0, ClassName(), L"", WS_CHILD | (visible ? WS_VISIBLE : 0), left, top,
                          width, height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                          ::GetModuleHandleW(nullptr), this);
}

PictureBox::~PictureBox() {
    if (window_) ::SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    Clear();
}

void PictureBox::Clear() {
    if (bitmap_) ::DeleteObject(bitmap_);
    bitmap_ = nullptr;
    shown_ = {};
}

void PictureBox::SetPicture(DecodedPicture picture, ByteSet encoded) {
    Clear();
    encoded_ = std::move(encoded);
    picture = FitPicturePixels(std::move(picture), BoxSize());
    if (!picture.IsNull()) {
        bitmap_ = MakeBitmap(picture, ::GetSysColor(COLOR_BTNFACE));
        if (bitmap_) shown_ = picture.size;
    }
    if (window_) ::InvalidateRect(window_, nullptr, TRUE);
}

void PictureBox::Place(int left, int top, int width, int height) {
    const bool resized = PictureSize{width, height} != BoxSize();
    boxWidth_ = width;
    boxHeight_ = height;
    if (window_) ::MoveWindow(window_, left, top, width, height, TRUE);
    if (resized && !encoded_.empty()) {
        ByteSet encoded = std::move(encoded_);
        DecodedPicture picture = DecodePictureForBox(encoded, BoxSize());
        SetPicture(std::move(picture), std::move(encoded));
    }
}

void PictureBox::Paint(HDC dc) {
    RECT client;
    ::GetClientRect(window_, &client);
    ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_BTNFACE));
    if (!bitmap_) return;
    HDC source = ::CreateCompatibleDC(dc);
    HGDIOBJ previous = ::SelectObject(source, bitmap_);
    const int left = (client.right - shown_.width) / 2;
    const int top = (client.bottom - shown_.height) / 2;
    ::BitBlt(dc, left, top, shown_.width, shown_.height, source, 0, 0, SRCCOPY);
    ::SelectObject(source, previous);
    ::DeleteDC(source);
}

LRESULT CALLBACK PictureBox::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(window, GWLP_USERDATA,
                            reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* box = reinterpret_cast<PictureBox*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (box) {
        switch (message) {
            case WM_ERASEBKGND:
                return 1;  // the paint fills the background itself
            case WM_PAINT: {
                PAINTSTRUCT paint;
                HDC dc = ::BeginPaint(window, &paint);
                box->window_ = window;
                box->Paint(dc);
                ::EndPaint(window, &paint);
                return 0;
            }
            case WM_PRINTCLIENT:
                box->window_ = window;
                box->Paint(reinterpret_cast<HDC>(wParam));
                return 0;
            default:
                break;
        }
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace lumeno::ui::win32
