// The window tests' view of the Win32 window system: controls read through their own messages
// (BM_GETCHECK, LVM_*, GetWindowTextW, window styles), input as real mouse and keyboard input
// (SendInput), message boxes found among the process's top-level dialog windows.
#include "tests/ui/window_test_support.h"

#include <map>

#include "platform/system/message_loop.h"
#include "tests/ui/window_test_backend.h"
#include "ui/win32/win32_api.h"
#include "ui/win32/win32_form.h"
#include "ui/win32/win32_text.h"
#include "ui/win32/win32_window_controls.h"

namespace lumeno::testing {
namespace {

using ui::win32::Narrow;
using ui::win32::Wide;

// Lets the window thread handle what input and messages are waiting.
void Pump() {
    for (int round = 0; round < 50; ++round) {
        TestWindowSystem().ProcessEvents();
        if (HIWORD(::GetQueueStatus(QS_ALLINPUT)) == 0) return;
    }
}

Text WindowText(HWND window) {
    const int length = ::GetWindowTextLengthW(window);
    if (length <= 0) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = ::GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return Narrow(text);
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    return name;
}

Rect ToRect(const RECT& rect) {
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

// The mouse moves to the screen point and presses and releases a button there, as a user's
// hand would: the window system decides which window gets it.
void MouseClickAt(POINT screen, bool rightButton) {
    const int width = ::GetSystemMetrics(SM_CXSCREEN);
    const int height = ::GetSystemMetrics(SM_CYSCREEN);
    INPUT input[3] = {};
    for (INPUT& step : input) {
        step.type = INPUT_MOUSE;
        step.mi.dx = static_cast<LONG>((screen.x * 65535LL) / (width - 1));
        step.mi.dy = static_cast<LONG>((screen.y * 65535LL) / (height - 1));
        step.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    }
    input[1].mi.dwFlags |= rightButton ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
    input[2].mi.dwFlags |= rightButton ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
    ::SendInput(3, input, sizeof(INPUT));
    Pump();
}

void ClickInWindow(HWND window, POINT client, bool rightButton = false) {
    ::ClientToScreen(window, &client);
    MouseClickAt(client, rightButton);
}

void KeyPress(WORD key, bool withControl = false) {
    std::vector<INPUT> input;
    auto add = [&](WORD code, bool up) {
        INPUT step{};
        step.type = INPUT_KEYBOARD;
        step.ki.wVk = code;
        step.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        input.push_back(step);
    };
    if (withControl) add(VK_CONTROL, false);
    add(key, false);
    add(key, true);
    if (withControl) add(VK_CONTROL, true);
    ::SendInput(static_cast<UINT>(input.size()), input.data(), sizeof(INPUT));
    Pump();
}

void TypeCharacter(wchar_t character) {
    INPUT input[2] = {};
    for (INPUT& step : input) {
        step.type = INPUT_KEYBOARD;
        step.ki.wScan = character;
        step.ki.dwFlags = KEYEVENTF_UNICODE;
    }
    input[1].ki.dwFlags |= KEYEVENTF_KEYUP;
    ::SendInput(2, input, sizeof(INPUT));
    Pump();
}

struct FoundBox {
    HWND box = nullptr;
};

BOOL CALLBACK FindBox(HWND window, LPARAM found) {
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    if (process == ::GetCurrentProcessId() && ::IsWindowVisible(window) &&
        ClassOf(window) == L"#32770") {
        reinterpret_cast<FoundBox*>(found)->box = window;
        return FALSE;
    }
    return TRUE;
}

HWND FindVisibleMessageBox() {
    FoundBox found;
    ::EnumWindows(FindBox, reinterpret_cast<LPARAM>(&found));
    return found.box;
}

// The box's message: its static text control (id 0xFFFF in the system's box template).
Text MessageBoxText(HWND box) {
    for (HWND child = ::GetWindow(box, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (ClassOf(child) == L"Static" || ClassOf(child) == L"STATIC") {
            if ((::GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) continue;
            const Text text = WindowText(child);
            if (!text.empty()) return text;
        }
    }
    return {};
}

bool HasErrorIcon(HWND box) {
    const HICON error = ::LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_HAND));
    for (HWND child = ::GetWindow(box, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if ((::GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) continue;
        if (reinterpret_cast<HICON>(::SendMessageW(child, STM_GETICON, 0, 0)) == error) {
            return true;
        }
    }
    return false;
}

class Win32FormDriver final : public FormDriver {
public:
    explicit Win32FormDriver(ui::win32::Win32Form& form) : form_(form) {}

    bool WaitExposed() override {
        return WaitUntil([&] { return ::IsWindowVisible(form_.Handle()) != FALSE; });
    }

    FrameView Frame() override {
        FrameView frame;
        HWND window = form_.Handle();
        frame.caption = WindowText(window);
        RECT client;
        ::GetClientRect(window, &client);
        frame.client = {client.right, client.bottom};
        RECT outer;
        ::GetWindowRect(window, &outer);
        frame.outer = ToRect(outer);
        RECT area;
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
        frame.workArea = ToRect(area);
        const LONG style = ::GetWindowLongW(window, GWL_STYLE);
        frame.resizable = (style & WS_THICKFRAME) != 0;
        frame.minimizeButton = (style & WS_MINIMIZEBOX) != 0;
        frame.maximizeButton = (style & WS_MAXIMIZEBOX) != 0;
        frame.systemMenu = (style & WS_SYSMENU) != 0 && (style & WS_CAPTION) == WS_CAPTION;
        return frame;
    }

    std::vector<Text> ControlNames() override { return form_.ControlNames(); }

    std::optional<ControlView> Control(const Text& name) override {
        HWND control = form_.Control(name);
        if (!control) return std::nullopt;
        ControlView view;
        const std::wstring kind = ClassOf(control);
        const LONG style = ::GetWindowLongW(control, GWL_STYLE);
        if (kind == L"Static" || kind == L"STATIC") {
            view.kind = ui::ControlKind::Label;
        } else if (kind == L"Edit" || kind == L"EDIT") {
            view.kind = ui::ControlKind::EditBox;
        } else if (kind == L"Button" || kind == L"BUTTON") {
            const LONG type = style & BS_TYPEMASK;
            view.kind = type == BS_AUTOCHECKBOX || type == BS_CHECKBOX ? ui::ControlKind::CheckBox
                                                                       : ui::ControlKind::Button;
            view.checked = ::SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
        } else if (kind == WC_LISTVIEWW) {
            view.kind = ui::ControlKind::ListView;
        } else if (kind == ui::win32::PictureBox::ClassName()) {
            view.kind = ui::ControlKind::PictureBox;
        }
        if (view.kind != ui::ControlKind::ListView && view.kind != ui::ControlKind::PictureBox) {
            view.text = WindowText(control);
        }
        RECT rect;
        ::GetWindowRect(control, &rect);
        ::MapWindowPoints(nullptr, form_.Handle(), reinterpret_cast<POINT*>(&rect), 2);
        view.geometry = ToRect(rect);
        view.enabled = ::IsWindowEnabled(control) != FALSE;
        view.visible = (style & WS_VISIBLE) != 0;
        return view;
    }

    EditStyle EditStyleOf(const Text& name) override {
        EditStyle style;
        HWND edit = form_.Control(name);
        if (!edit) return style;
        const LONG bits = ::GetWindowLongW(edit, GWL_STYLE);
        style.readOnly = (bits & ES_READONLY) != 0;
        style.multiLine = (bits & ES_MULTILINE) != 0;
        style.verticalScrollBar = (bits & WS_VSCROLL) != 0;
        return style;
    }

    ListStyle ListStyleOf(const Text& name) override {
        ListStyle style;
        HWND list = form_.Control(name);
        if (!list) return style;
        HWND header = reinterpret_cast<HWND>(::SendMessageW(list, LVM_GETHEADER, 0, 0));
        const int columns =
            header ? static_cast<int>(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
        for (int c = 0; c < columns; ++c) {
            wchar_t title[128] = {};
            LVCOLUMNW column{};
            column.mask = LVCF_TEXT | LVCF_WIDTH;
            column.pszText = title;
            column.cchTextMax = 128;
            ::SendMessageW(list, LVM_GETCOLUMNW, static_cast<WPARAM>(c),
                           reinterpret_cast<LPARAM>(&column));
            style.columns.emplace_back(Narrow(title), column.cx);
        }
        const LONG bits = ::GetWindowLongW(list, GWL_STYLE);
        const auto extended =
            static_cast<DWORD>(::SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
        style.headerVisible = (bits & LVS_TYPEMASK) == LVS_REPORT &&
                              (bits & LVS_NOCOLUMNHEADER) == 0 && header &&
                              ::IsWindowVisible(header);
        style.headerDragDrop = (extended & LVS_EX_HEADERDRAGDROP) != 0;
        style.gridLines = (extended & LVS_EX_GRIDLINES) != 0;
        style.fullRowSelect = (extended & LVS_EX_FULLROWSELECT) != 0;
        style.singleSelection = (bits & LVS_SINGLESEL) != 0;
        style.editable = (bits & LVS_EDITLABELS) != 0;
        return style;
    }

    int Rows(const Text& list) override {
        HWND view = form_.Control(list);
        return view ? static_cast<int>(::SendMessageW(view, LVM_GETITEMCOUNT, 0, 0)) : 0;
    }

    Text Cell(const Text& list, int row, int column) override {
        HWND view = form_.Control(list);
        if (!view || row < 0 || row >= Rows(list)) return {};
        std::wstring buffer(4096, L'\0');
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = buffer.data();
        item.cchTextMax = static_cast<int>(buffer.size());
        ::SendMessageW(view, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                       reinterpret_cast<LPARAM>(&item));
        return Narrow(buffer.c_str());
    }

    bool HasPicture(const Text& name) override {
        const ui::win32::PictureBox* box = form_.Picture(name);
        return box && box->HasPicture();
    }

    ui::PictureSize PictureShown(const Text& name) override {
        const ui::win32::PictureBox* box = form_.Picture(name);
        return box ? box->PictureShown() : ui::PictureSize{};
    }

    Colour ColourAt(const Text& name, int x, int y) override {
        HWND control = form_.Control(name);
        if (!control) return {};
        RECT client;
        ::GetClientRect(control, &client);
        HDC screen = ::GetDC(nullptr);
        HDC memory = ::CreateCompatibleDC(screen);
        HBITMAP bitmap = ::CreateCompatibleBitmap(screen, client.right, client.bottom);
        HGDIOBJ previous = ::SelectObject(memory, bitmap);
        // What the control paints, drawn into a bitmap of our own.
        ::SendMessageW(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory),
                       PRF_CLIENT | PRF_ERASEBKGND);
        const COLORREF pixel = ::GetPixel(memory, x, y);
        ::SelectObject(memory, previous);
        ::DeleteObject(bitmap);
        ::DeleteDC(memory);
        ::ReleaseDC(nullptr, screen);
        return {GetRValue(pixel), GetGValue(pixel), GetBValue(pixel)};
    }

    void Click(const Text& name) override {
        HWND control = form_.Control(name);
        if (!control) return;
        RECT rect;
        ::GetClientRect(control, &rect);
        // Check boxes: on the box itself, at the left of the caption.
        const bool checkBox = Control(name)->kind == ui::ControlKind::CheckBox;
        ClickInWindow(control, {checkBox ? 6 : rect.right / 2, rect.bottom / 2});
    }

    void ClickAt(const Text& name, int x, int y) override {
        if (HWND control = form_.Control(name)) ClickInWindow(control, {x, y});
    }

    void ClickListRow(const Text& list, int row, bool rightButton) override {
        HWND view = form_.Control(list);
        if (!view) return;
        RECT rect{};
        rect.left = LVIR_BOUNDS;
        if (!::SendMessageW(view, LVM_GETITEMRECT, static_cast<WPARAM>(row),
                            reinterpret_cast<LPARAM>(&rect))) {
            return;
        }
        ClickInWindow(view, {rect.left + 20, (rect.top + rect.bottom) / 2}, rightButton);
    }

    void ClickListBelowRows(const Text& list) override {
        HWND view = form_.Control(list);
        if (!view) return;
        RECT client;
        ::GetClientRect(view, &client);
        ClickInWindow(view, {20, client.bottom - 5});
    }

    void TypeText(const Text& name, const std::string& keys) override {
        if (!Focus(name)) return;
        for (const char key : keys) TypeCharacter(static_cast<wchar_t>(key));
    }

    void PressBackspace(const Text& name) override {
        if (Focus(name)) KeyPress(VK_BACK);
    }

    void SelectAllText(const Text& name) override {
        HWND edit = form_.Control(name);
        if (!edit) return;
        Focus(name);
        ::SendMessageW(edit, EM_SETSEL, 0, -1);
    }

    void SetEditText(const Text& name, const Text& text) override {
        if (HWND edit = form_.Control(name)) ::SetWindowTextW(edit, Wide(text).c_str());
    }

    std::size_t PendingCalls() override { return form_.Services().PendingCalls(); }
    void FlushCalls() override { form_.Services().Flush(); }

private:
    bool Focus(const Text& name) {
        HWND control = form_.Control(name);
        if (!control) return false;
        ::SetForegroundWindow(form_.Handle());
        ::SetFocus(control);
        Pump();
        return ::GetFocus() == control;
    }

    ui::win32::Win32Form& form_;
};

}  // namespace

std::unique_ptr<ui::WindowSystem> CreateTestWindowSystem() {
    return ui::CreateWindowSystem(0, nullptr);
}

void HandleEventsBriefly() {
    TestWindowSystem().ProcessEvents();
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 2, QS_ALLINPUT);
}

std::optional<MessageBoxView> VisibleMessageBox() {
    HWND box = FindVisibleMessageBox();
    if (!box) return std::nullopt;
    return MessageBoxView{WindowText(box), MessageBoxText(box),
                          ::GetWindow(box, GW_OWNER) != nullptr, HasErrorIcon(box)};
}

bool PressMessageBoxButton(int answer) {
    HWND box = FindVisibleMessageBox();
    if (!box) return false;
    const int id = answer == kAnswerYes ? IDYES : answer == kAnswerNo ? IDNO : IDOK;
    HWND button = ::GetDlgItem(box, id);
    if (!button) return false;
    // The box belongs to another thread: a real click lands in its queue.
    RECT rect;
    ::GetWindowRect(button, &rect);
    MouseClickAt({(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}, false);
    return true;
}

struct WindowThreadTimer::State {
    UINT_PTR id = 0;
    std::function<void()> tick;
};

namespace {
// The ticks of the running timers by their ids (window thread only).
std::map<UINT_PTR, std::function<void()>*>& Timers() {
    static std::map<UINT_PTR, std::function<void()>*> timers;
    return timers;
}
}  // namespace

WindowThreadTimer::WindowThreadTimer(std::chrono::milliseconds interval, std::function<void()> tick)
    : state_(std::make_unique<State>()) {
    state_->tick = std::move(tick);
    state_->id = ::SetTimer(nullptr, 0, static_cast<UINT>(interval.count()),
                            [](HWND, UINT, UINT_PTR id, DWORD) {
                                const auto found = Timers().find(id);
                                if (found != Timers().end()) (*found->second)();
                            });
    Timers()[state_->id] = &state_->tick;
}

WindowThreadTimer::~WindowThreadTimer() {
    Stop();
}

void WindowThreadTimer::Stop() {
    if (!state_->id) return;
    ::KillTimer(nullptr, state_->id);
    Timers().erase(state_->id);
    state_->id = 0;
}

void RunSoonOnWindowThread(std::function<void()> call) {
    platform::PostThreadMessage(platform::CurrentThreadId(), std::move(call));
}

std::unique_ptr<FormDriver> DriveForm(ui::Form& form) {
    return std::make_unique<Win32FormDriver>(dynamic_cast<ui::win32::Win32Form&>(form));
}

}  // namespace lumeno::testing
