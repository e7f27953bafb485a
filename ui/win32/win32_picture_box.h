// The picture box as a Win32 control of its own class: it keeps one picture, already fitted to
// its size, as a device-independent bitmap and paints it centred on the dialog background, or
// paints the background alone. WM_PRINTCLIENT paints the same into any device context.
#pragma once

#include "ui/picture_pixels.h"
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
    PictureSize BoxSize() const { return box_; }

    // Window thread. An empty picture clears the box; a larger one than the box is scaled.
    void SetPicture(DecodedPicture picture);
    bool HasPicture() const { return bitmap_ != nullptr; }
    PictureSize PictureShown() const { return shown_; }

    // The class name the control is registered under.
    static const wchar_t* ClassName();

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Paint(HDC dc);
    void Clear();

    HWND window_ = nullptr;
    PictureSize box_;
    HBITMAP bitmap_ = nullptr;
    PictureSize shown_;
};

}  // namespace lumeno::ui::win32
