// The picture box as a Win32 control of its own class: it keeps one picture, already fitted to
// its size, as a device-independent bitmap and paints it centred on the dialog background, or
// paints the background alone. WM_PRINTCLIENT paints the same into any device context. When
// the window's DPI changes, the box takes its new size and decodes its picture again for it.
#pragma once

#include <atomic>

#include "ui/picture_pixels.h"
#include "util/text_types.h"
#include "ui/win32/win32_api.h"

namespace lumeno::ui::win32 {

class PictureBox {
public:
    // Creates the control as a child of `parent`.
    PictureBox(HWND parent, int id, int left, int top, int width, int height, bool visible);
    ~PictureBox();
    PictureBox(const PictureBox&) = delete;
    PictureBox& operator=(const PictureBox&) = delete;

    HWND Handle() const { return window_; }
    // The box's size in device pixels, what a picture is decoded for. Any thread.
    PictureSize BoxSize() const { return {boxWidth_.load(), boxHeight_.load()}; }

    // Window thread. An empty picture clears the box; a larger one than the box is scaled.
    // `encoded`, the bytes the picture was decoded from, is kept to decode it again when the
    // box changes size.
    void SetPicture(DecodedPicture picture, ByteSet encoded = {});
    // Window thread: moves and sizes the box (parent client coordinates, device pixels) and
    // shows its picture decoded for the new size.
    void Place(int left, int top, int width, int height);
    bool HasPicture() const { return bitmap_ != nullptr; }
    PictureSize PictureShown() const { return shown_; }

    // The class name the control is registered under.
    static const wchar_t* ClassName();

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Paint(HDC dc);
    void Clear();

    HWND window_ = nullptr;
    std::atomic<int> boxWidth_;
    std::atomic<int> boxHeight_;
    ByteSet encoded_;  // the picture shown, as it was handed over
    HBITMAP bitmap_ = nullptr;
    PictureSize shown_;
};

}  // namespace lumeno::ui::win32
