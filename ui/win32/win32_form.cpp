// Building the Win32 window from its table, the fixed frame, the Chinese-capable font, and
// routing clicks, list-view clicks and the close request.
#include "ui/win32/win32_form.h"

#include <array>

#include "ui/win32/win32_program_icon.h"
#include "ui/win32/win32_text.h"
#include "ui/win32/win32_window_controls.h"

namespace lumeno::ui::win32 {
namespace {

constexpr const wchar_t* kFormClass = L"LumenoForm";
// A title bar with the system menu and its close button, a minimise button; no sizing border,
// no maximise button.
constexpr DWORD kFrameStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr int kFirstControlId = 100;
// Captions fit their 16-pixel rows at 12 pixels.
constexpr int kFontPixels = 12;

// Fonts that hold the Chinese captions, in the order they are preferred: the system's own
// Chinese UI fonts, then those a Linux desktop under Wine offers.
constexpr std::array<const wchar_t*, 8> kChineseFonts = {L"Microsoft YaHei UI",
                                                         L"Microsoft YaHei",
                                                         L"SimSun",
                                                         L"NSimSun",
                                                         L"Noto Sans CJK SC",
                                                         L"Noto Sans SC",
                                                         L"WenQuanYi Micro Hei",
                                                         L"Droid Sans Fallback"};

int CALLBACK CollectFace(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM found) {
    reinterpret_cast<std::vector<std::wstring>*>(found)->emplace_back(font->lfFaceName);
    return 1;
}

// The preferred installed face that covers GB2312, else the first installed one that does;
// empty when none does (the font mapper then picks by character set).
std::wstring ChineseFace() {
    std::vector<std::wstring> faces;
    LOGFONTW query{};
    query.lfCharSet = GB2312_CHARSET;
    HDC screen = ::GetDC(nullptr);
    ::EnumFontFamiliesExW(screen, &query, CollectFace, reinterpret_cast<LPARAM>(&faces), 0);
    ::ReleaseDC(nullptr, screen);
    for (const wchar_t* preferred : kChineseFonts) {
        for (const std::wstring& face : faces) {
            if (face == preferred) return face;
        }
    }
    for (const std::wstring& face : faces) {
        if (!face.empty() && face[0] != L'@') return face;  // '@' faces are vertical
    }
    return {};
}

HFONT CreateControlFont() {
    const std::wstring face = ChineseFace();
    return ::CreateFontW(-kFontPixels, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET,
                         OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                         DEFAULT_PITCH | FF_DONTCARE, face.c_str());
}

void RegisterFormClass(WNDPROC procedure) {
    static const bool registered = [procedure] {
        // The program's icon for the taskbar, Alt-Tab and the title bar; the system's generic
        // one for programs without their own (the test programs).
        HICON generic = ::LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
        HICON largeIcon = ProgramIcon(IconSize::Large);
        HICON smallIcon = ProgramIcon(IconSize::Small);
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = procedure;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        windowClass.hIcon = largeIcon ? largeIcon : generic;
        windowClass.hIconSm = smallIcon ? smallIcon : generic;
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        windowClass.lpszClassName = kFormClass;
        return ::RegisterClassExW(&windowClass) != 0;
    }();
    (void)registered;
}

struct ControlClass {
    const wchar_t* name;
    DWORD style;
    DWORD extendedStyle;
};

ControlClass ClassFor(const ControlRow& row) {
    switch (row.kind) {
        case ControlKind::Label:
            return {L"STATIC", SS_LEFT | SS_NOPREFIX | SS_CENTERIMAGE, 0};
        case ControlKind::EditBox: {
            DWORD style = WS_TABSTOP | ES_LEFT;
            if (row.flags & kReadOnly) style |= ES_READONLY;
            if (row.flags & kMultiLine) {
                style |= ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN;
                if (row.flags & kVerticalScrollBar) style |= WS_VSCROLL;
            } else {
                style |= ES_AUTOHSCROLL;
            }
            return {L"EDIT", style, WS_EX_CLIENTEDGE};
        }
        case ControlKind::Button:
            return {L"BUTTON", WS_TABSTOP | BS_PUSHBUTTON, 0};
        case ControlKind::CheckBox:
            return {L"BUTTON", WS_TABSTOP | BS_AUTOCHECKBOX, 0};
        case ControlKind::ListView:
            return {WC_LISTVIEWW, WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS,
                    WS_EX_CLIENTEDGE};
        case ControlKind::PictureBox:
            break;
    }
    return {nullptr, 0, 0};
}

void AddColumns(HWND list, const ControlRow& row) {
    ::SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                   LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_HEADERDRAGDROP);
    int index = 0;
    for (const ListColumn& column : row.columns) {
        if (!column.title) break;
        std::wstring title = Wide(column.title);
        LVCOLUMNW entry{};
        entry.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        entry.fmt = LVCFMT_LEFT;
        entry.cx = column.width;
        entry.pszText = title.data();
        ::SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index++),
                       reinterpret_cast<LPARAM>(&entry));
    }
}

}  // namespace

Win32Form::Win32Form(const WindowLayout& layout, ShellOpener opener) {
    RegisterFormClass(&Win32Form::WindowProc);
    font_ = CreateControlFont();
    // Sized from the table's client area for now; Show gives the frame its outer size.
    RECT frame{0, 0, layout.clientWidth, layout.clientHeight};
    ::AdjustWindowRectEx(&frame, kFrameStyle, FALSE, 0);
    window_ =
        ::CreateWindowExW(0, kFormClass, Wide(layout.caption).c_str(), kFrameStyle, CW_USEDEFAULT,
                          CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
                          nullptr, nullptr, ::GetModuleHandleW(nullptr), this);
    int id = kFirstControlId;
    for (const ControlRow& row : layout.controls) Build(row, id++);
    services_ = std::make_unique<Win32WindowControls>(*this, std::move(opener));
}

Win32Form::~Win32Form() {
    if (services_) services_->Shutdown();
    for (auto& [name, entry] : controls_) entry.picture.reset();
    if (window_) {
        ::SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        ::DestroyWindow(window_);
    }
    services_.reset();
    if (font_) ::DeleteObject(font_);
}

void Win32Form::Build(const ControlRow& row, int id) {
    Entry entry{row.kind, nullptr, nullptr};
    if (row.kind == ControlKind::PictureBox) {
        entry.picture = std::make_unique<PictureBox>(window_, id, row.left, row.top, row.width,
                                                     row.height, row.visible);
        entry.window = entry.picture->Handle();
    } else {
        const ControlClass kind = ClassFor(row);
        entry.window = ::CreateWindowExW(
            kind.extendedStyle, kind.name, Wide(row.text ? row.text : "").c_str(),
            WS_CHILD | (row.visible ? WS_VISIBLE : 0) | kind.style, row.left, row.top, row.width,
            row.height, window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
            ::GetModuleHandleW(nullptr), nullptr);
        if (row.kind == ControlKind::ListView && entry.window) AddColumns(entry.window, row);
    }
    if (entry.window) {
        ::SendMessageW(entry.window, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
        if (!row.enabled) ::EnableWindow(entry.window, FALSE);
    }
    names_.emplace_back(row.name);
    controls_.emplace(row.name, std::move(entry));
}

WindowControls& Win32Form::Controls() {
    return *services_;
}

HWND Win32Form::Control(const Text& name) const {
    const auto found = controls_.find(name);
    return found == controls_.end() ? nullptr : found->second.window;
}

ControlKind Win32Form::KindOf(const Text& name) const {
    const auto found = controls_.find(name);
    return found == controls_.end() ? ControlKind::Label : found->second.kind;
}

PictureBox* Win32Form::Picture(const Text& name) const {
    const auto found = controls_.find(name);
    return found == controls_.end() ? nullptr : found->second.picture.get();
}

bool Win32Form::OnClicked(const Text& control, std::function<void()> handler) {
    const auto found = controls_.find(control);
    if (found == controls_.end() || !handler || !found->second.window) return false;
    const ControlKind kind = found->second.kind;
    if (kind != ControlKind::Button && kind != ControlKind::CheckBox &&
        kind != ControlKind::ListView) {
        return false;
    }
    clicks_[found->second.window].push_back(std::move(handler));
    return true;
}

void Win32Form::OnClose(std::function<void()> handler) {
    if (handler) closeHandlers_.push_back(std::move(handler));
}

void Win32Form::Show(int outerWidth, int outerHeight) {
    RECT area{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    const int left = area.left + (area.right - area.left - outerWidth) / 2;
    const int top = area.top + (area.bottom - area.top - outerHeight) / 2;
    ::SetWindowPos(window_, nullptr, left, top, outerWidth, outerHeight,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    closed_ = false;
    ::ShowWindow(window_, SW_SHOWNORMAL);
    ::UpdateWindow(window_);
    ::SetForegroundWindow(window_);
}

void Win32Form::Close() {
    ::SendMessageW(window_, WM_CLOSE, 0, 0);
}

void Win32Form::ShowFatalError(const Text& boxText) {
    services_->ShowFatalError(boxText);
}

void Win32Form::Shutdown() {
    services_->Shutdown();
}

bool Win32Form::IsShutDown() const {
    return services_->IsShutDown();
}

void Win32Form::RunClickHandlers(HWND control) {
    const auto found = clicks_.find(control);
    if (found == clicks_.end()) return;
    // Copy: a handler may bind further handlers.
    const auto handlers = found->second;
    for (const auto& handler : handlers) handler();
}

void Win32Form::OnCloseRequest() {
    if (closed_) return;
    closed_ = true;
    services_->Shutdown();
    for (const auto& handler : closeHandlers_) handler();
    // The window disappears; its controls stay until the form goes, as a closed Qt window's do.
    ::ShowWindow(window_, SW_HIDE);
}

LRESULT Win32Form::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (HIWORD(wParam) == BN_CLICKED && lParam != 0) {
                RunClickHandlers(reinterpret_cast<HWND>(lParam));
            }
            return 0;
        case WM_NOTIFY: {
            const auto* notice = reinterpret_cast<const NMHDR*>(lParam);
            // A left click anywhere in the list's area, on a row or below the rows.
            if (notice && notice->code == static_cast<UINT>(NM_CLICK)) {
                RunClickHandlers(notice->hwndFrom);
            }
            return 0;
        }
        case kRunCallsMessage:
            // Input, painting and timers come after every posted message: a worker that posts
            // again as soon as it is answered would keep them out for good. While any of them
            // waits, the batch goes behind them on the lowest-priority message there is.
            if (HIWORD(::GetQueueStatus(QS_INPUT | QS_PAINT | QS_TIMER)) != 0 &&
                ::SetTimer(window_, kRunCallsTimer, USER_TIMER_MINIMUM, nullptr)) {
                return 0;
            }
            if (services_) services_->RunBatch();
            return 0;
        case WM_TIMER:
            if (wParam == kRunCallsTimer) {
                ::KillTimer(window_, kRunCallsTimer);
                if (services_) services_->RunBatch();
                return 0;
            }
            break;
        case WM_ACTIVATE:
            // Keyboard focus comes back to the control that had it, or the first that takes it.
            if (LOWORD(wParam) == WA_INACTIVE) {
                lastFocus_ = ::GetFocus();
            } else {
                HWND focus = lastFocus_ && ::IsChild(window_, lastFocus_)
                                 ? lastFocus_
                                 : ::GetNextDlgTabItem(window_, nullptr, FALSE);
                if (focus) ::SetFocus(focus);
            }
            return 0;
        case WM_CLOSE:
            OnCloseRequest();
            return 0;
        default:
            break;
    }
    return ::DefWindowProcW(window_, message, wParam, lParam);
}

LRESULT CALLBACK Win32Form::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* form =
            static_cast<Win32Form*>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
        form->window_ = window;
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    }
    auto* form = reinterpret_cast<Win32Form*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!form) return ::DefWindowProcW(window, message, wParam, lParam);
    return form->OnMessage(message, wParam, lParam);
}

}  // namespace lumeno::ui::win32
