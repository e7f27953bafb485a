// Choosing the window's faces and fitting their size: the largest pixel size, up to the
// design size scaled for the DPI, whose line fits the height it is given.
#include "ui/win32/win32_fonts.h"

#include <array>
#include <string>
#include <vector>

#include "ui/win32/win32_dpi.h"

namespace lumeno::ui::win32 {
namespace {

// Fonts that hold the Chinese captions, in the order they are preferred: the system's own
// Chinese UI fonts, then those a Linux desktop under Wine offers.
constexpr std::array<const wchar_t*, 8> kChineseFaces = {L"Microsoft YaHei UI",
                                                         L"Microsoft YaHei",
                                                         L"SimSun",
                                                         L"NSimSun",
                                                         L"Noto Sans CJK SC",
                                                         L"Noto Sans SC",
                                                         L"WenQuanYi Micro Hei",
                                                         L"Droid Sans Fallback"};
// The edit boxes hold page numbers and the site's address: a Latin UI face has a shorter line
// than a Chinese one at the same size, so the digits stay larger in the same box. Windows
// links Chinese glyphs into its faces for anything else typed there; the last two are what a
// Linux desktop under Wine offers.
constexpr std::array<const wchar_t*, 4> kEditFaces = {L"Segoe UI", L"Tahoma", L"DejaVu Sans",
                                                      L"Liberation Sans"};
constexpr int kSmallestFontPixels = 6;

int CALLBACK CollectFace(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM found) {
    reinterpret_cast<std::vector<std::wstring>*>(found)->emplace_back(font->lfFaceName);
    return 1;
}

std::vector<std::wstring> InstalledFaces(BYTE charset) {
    std::vector<std::wstring> faces;
    LOGFONTW query{};
    query.lfCharSet = charset;
    HDC screen = ::GetDC(nullptr);
    ::EnumFontFamiliesExW(screen, &query, CollectFace, reinterpret_cast<LPARAM>(&faces), 0);
    ::ReleaseDC(nullptr, screen);
    return faces;
}

template <std::size_t N>
std::wstring PreferredFace(const std::vector<std::wstring>& installed,
                           const std::array<const wchar_t*, N>& preferred) {
    for (const wchar_t* face : preferred) {
        for (const std::wstring& found : installed) {
            if (found == face) return found;
        }
    }
    return {};
}

// The preferred installed face that covers GB2312, else the first installed one that does;
// empty when none does (the font mapper then picks by character set).
std::wstring ChineseFace() {
    const std::vector<std::wstring> faces = InstalledFaces(GB2312_CHARSET);
    std::wstring face = PreferredFace(faces, kChineseFaces);
    if (!face.empty()) return face;
    for (const std::wstring& found : faces) {
        if (!found.empty() && found[0] != L'@') return found;  // '@' faces are vertical
    }
    return {};
}

std::wstring EditFace() {
    const std::wstring face = PreferredFace(InstalledFaces(DEFAULT_CHARSET), kEditFaces);
    return face.empty() ? ChineseFace() : face;
}

HFONT MakeFont(const std::wstring& face, int pixels, BYTE charset) {
    return ::CreateFontW(-pixels, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, charset,
                         OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                         DEFAULT_PITCH | FF_DONTCARE, face.c_str());
}

// The largest size up to `pixels` whose line is at most `lineHeight` high.
HFONT FittedFont(const std::wstring& face, int pixels, int lineHeight, BYTE charset) {
    for (int size = pixels; size > kSmallestFontPixels; --size) {
        HFONT font = MakeFont(face, size, charset);
        if (font && LineHeightOf(font) <= lineHeight) return font;
        if (font) ::DeleteObject(font);
    }
    return MakeFont(face, kSmallestFontPixels, charset);
}

}  // namespace

int LineHeightOf(HFONT font) {
    HDC screen = ::GetDC(nullptr);
    HGDIOBJ previous = ::SelectObject(screen, font);
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(screen, &metrics);
    ::SelectObject(screen, previous);
    ::ReleaseDC(nullptr, screen);
    return metrics.tmHeight;
}

ControlFonts::ControlFonts(int dpi, int editTextHeight) {
    const int pixels = ScaleForDpi(kCaptionFontPixels, dpi);
    // The faces are looked up once per process: enumerating the installed fonts is the costly
    // part, and a change of DPI changes only the sizes.
    static const std::wstring captionFace = ChineseFace();
    static const std::wstring editFace = EditFace();
    caption_ = FittedFont(captionFace, pixels, ScaleForDpi(kCaptionRowPixels, dpi), GB2312_CHARSET);
    edit_ = FittedFont(editFace, pixels, editTextHeight, DEFAULT_CHARSET);
}

ControlFonts::~ControlFonts() {
    if (caption_) ::DeleteObject(caption_);
    if (edit_) ::DeleteObject(edit_);
}

}  // namespace lumeno::ui::win32
