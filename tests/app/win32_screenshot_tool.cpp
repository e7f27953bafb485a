// Writes a picture of the main window in its start-up state, frame included, as the screen
// shows it, to the PNG file named on the command line (run under Wine with an X display).
#include <cstdio>
#include <vector>

#include <png.h>

#include "app/base_url.h"
#include "app/main_window.h"
#include "ui/win32/win32_api.h"
#include "ui/win32/win32_form.h"

namespace {

bool WritePng(const char* file, int width, int height, const std::vector<std::uint8_t>& rgb) {
    std::FILE* out = std::fopen(file, "wb");
    if (!out) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_init_io(png, out);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y) {
        png_write_row(png, rgb.data() + static_cast<std::size_t>(y) * width * 3);
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(out) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <file.png>\n", argv[0]);
        return 2;
    }
    auto system = lumeno::ui::CreateWindowSystem(argc, argv);
    lumeno::MainWindow window(lumeno::BaseUrl);
    window.Show();
    const DWORD until = ::GetTickCount() + 1500;
    while (::GetTickCount() < until) {
        system->ProcessEvents();
        ::Sleep(10);
    }
    HWND handle = dynamic_cast<lumeno::ui::win32::Win32Form&>(window.Form()).Handle();
    RECT rect;
    ::GetWindowRect(handle, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    BITMAPINFO bitmapInfo{};
    bitmapInfo.bmiHeader.biSize = sizeof(bitmapInfo.bmiHeader);
    bitmapInfo.bmiHeader.biWidth = width;
    bitmapInfo.bmiHeader.biHeight = -height;
    bitmapInfo.bmiHeader.biPlanes = 1;
    bitmapInfo.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(screen, &bitmapInfo, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    ::GdiFlush();
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * height * 3);
    const auto* in = static_cast<const std::uint8_t*>(bits);
    for (std::size_t i = 0; i < static_cast<std::size_t>(width) * height; ++i) {
        rgb[i * 3] = in[i * 4 + 2];
        rgb[i * 3 + 1] = in[i * 4 + 1];
        rgb[i * 3 + 2] = in[i * 4];
    }
    ::SelectObject(memory, previous);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    return WritePng(argv[1], width, height, rgb) ? 0 : 1;
}
