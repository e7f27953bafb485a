// Building the Win32 window from its table, the fixed frame, placing the controls for the
// window's DPI, and routing clicks, list-view clicks, DPI changes and the close request.
#include "ui/win32/win32_form.h"

#include <algorithm>

#include "ui/win32/win32_dpi.h"
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
// Messages of Windows 10's per-monitor DPI, named here for the headers that lack them.
constexpr UINT kDpiChangedMessage = 0x02E0;        // WM_DPICHANGED
constexpr UINT kGetDpiScaledSizeMessage = 0x02E4;  // WM_GETDPISCALEDSIZE
// The edit boxes' left and right margins at 96 DPI.
constexpr int kEditMarginPixels = 2;

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

Win32Form::Win32Form(const WindowLayout& layout, ShellOpener opener)
    : rows_(layout.controls.begin(), layout.controls.end()) {
    RegisterFormClass(&Win32Form::WindowProc);
    // Sized from the table's client area for now; Show gives the frame its outer size.
    RECT frame{0, 0, layout.clientWidth, layout.clientHeight};
    ::AdjustWindowRectEx(&frame, kFrameStyle, FALSE, 0);
    window_ =
        ::CreateWindowExW(0, kFormClass, Wide(layout.caption).c_str(), kFrameStyle, CW_USEDEFAULT,
                          CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
                          nullptr, nullptr, ::GetModuleHandleW(nullptr), this);
    int id = kFirstControlId;
    for (const ControlRow& row : rows_) Build(row, id++);
    LayOut(DpiOfWindow(window_));
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
}

void Win32Form::Build(const ControlRow& row, int id) {
    // Created at the table's place; LayOut places it for the window's DPI.
    Entry entry{row.kind, nullptr, nullptr, &row};
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
    if (entry.window && !row.enabled) ::EnableWindow(entry.window, FALSE);
    names_.emplace_back(row.name);
    controls_.emplace(row.name, std::move(entry));
}

void Win32Form::LayOut(int dpi) {
    dpi_ = dpi;
    auto scale = [dpi](int value) { return ScaleForDpi(value, dpi); };
    for (auto& [name, entry] : controls_) {
        const ControlRow& row = *entry.row;
        if (entry.picture) {
            entry.picture->Place(scale(row.left), scale(row.top), scale(row.width),
                                 scale(row.height));
        } else if (entry.window) {
            ::MoveWindow(entry.window, scale(row.left), scale(row.top), scale(row.width),
                         scale(row.height), FALSE);
        }
    }
    // An edit box's line must fit the text area inside its border: the smallest of them
    // decides the edit boxes' font.
    int editTextHeight = scale(kCaptionRowPixels);
    for (const auto& [name, entry] : controls_) {
        if (entry.kind != ControlKind::EditBox || !entry.window) continue;
        RECT client{};
        ::GetClientRect(entry.window, &client);
        editTextHeight = std::min(editTextHeight, static_cast<int>(client.bottom));
    }
    auto fonts = std::make_unique<ControlFonts>(dpi, editTextHeight);
    for (auto& [name, entry] : controls_) {
        if (!entry.window || entry.picture) continue;
        const bool edit = entry.kind == ControlKind::EditBox;
        ::SendMessageW(entry.window, WM_SETFONT,
                       reinterpret_cast<WPARAM>(edit ? fonts->Edit() : fonts->Caption()), FALSE);
        if (edit) {
            const int margin = scale(kEditMarginPixels);
            ::SendMessageW(entry.window, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN,
                           MAKELPARAM(margin, margin));
        }
        if (entry.kind == ControlKind::ListView) {
            int index = 0;
            for (const ListColumn& column : entry.row->columns) {
                if (!column.title) break;
                ::SendMessageW(entry.window, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(index++),
                               MAKELPARAM(scale(column.width), 0));
            }
        }
    }
    // The controls hold the new fonts now; the old ones can go.
    fonts_ = std::move(fonts);
    if (window_)
        ::RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

SIZE Win32Form::OuterSizeFor(int dpi) const {
    const SIZE designFrame = FrameSizeForClient(0, 0, kFrameStyle, 0, kDesignDpi);
    const int clientWidth = ScaleForDpi(designOuter_.cx - designFrame.cx, dpi);
    const int clientHeight = ScaleForDpi(designOuter_.cy - designFrame.cy, dpi);
    return FrameSizeForClient(clientWidth, clientHeight, kFrameStyle, 0, dpi);
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

void Win32Form::Show(int designOuterWidth, int designOuterHeight) {
    designOuter_ = {designOuterWidth, designOuterHeight};
    // At 96 DPI the frame keeps the size it was given; elsewhere its client area scales.
    const SIZE outer = dpi_ == kDesignDpi ? designOuter_ : OuterSizeFor(dpi_);
    const int outerWidth = outer.cx;
    const int outerHeight = outer.cy;
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
        case kGetDpiScaledSizeMessage: {
            // Windows asks what size the window wants at the DPI it is about to get, so that
            // the rectangle WM_DPICHANGED suggests holds the scaled client area exactly.
            if (designOuter_.cx <= 0) break;
            *reinterpret_cast<SIZE*>(lParam) = OuterSizeFor(LOWORD(wParam));
            return TRUE;
        }
        case kDpiChangedMessage: {
            // The window moved to a monitor of another DPI (or the monitor's DPI changed):
            // the controls are placed anew, then the frame takes the suggested rectangle.
            LayOut(LOWORD(wParam));
            const auto* suggested = reinterpret_cast<const RECT*>(lParam);
            if (suggested) {
                ::SetWindowPos(window_, nullptr, suggested->left, suggested->top,
                               suggested->right - suggested->left,
                               suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
            }
            return 0;
        }
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
