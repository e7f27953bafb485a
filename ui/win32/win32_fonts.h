// The fonts of the Win32 window at one DPI: one for captions, buttons, check boxes and list
// views, fitted to the table's 16-pixel caption rows, and one for the edit boxes, fitted to
// the text area of the smallest edit box, so that no caption or digit is cut at any DPI.
#pragma once

#include "ui/win32/win32_api.h"

namespace lumeno::ui::win32 {

// The fonts' sizes in pixels at 96 DPI: what the captions are drawn at where the font allows,
// and the height of the text rows they must fit.
inline constexpr int kCaptionFontPixels = 12;
inline constexpr int kCaptionRowPixels = 16;

class ControlFonts {
public:
    // `editTextHeight`: the height in device pixels that an edit box's line must fit.
    ControlFonts(int dpi, int editTextHeight);
    ~ControlFonts();
    ControlFonts(const ControlFonts&) = delete;
    ControlFonts& operator=(const ControlFonts&) = delete;

    HFONT Caption() const { return caption_; }
    HFONT Edit() const { return edit_; }

private:
    HFONT caption_ = nullptr;
    HFONT edit_ = nullptr;
};

// The height in pixels of a line of `font` (its cell, internal leading included).
int LineHeightOf(HFONT font);

}  // namespace lumeno::ui::win32
