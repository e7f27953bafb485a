// The box set: a thread hook sees each box as it is activated, so the box's window is known
// before the user can answer, and a box that appears after CloseAll is ended at once.
#include "ui/win32/win32_message_box.h"

#include "ui/win32/win32_program_icon.h"

namespace lumeno::ui::win32 {
namespace {

// The set and hook of the box the calling thread is showing.
struct ShowingBox {
    MessageBoxSet* set = nullptr;
    HHOOK hook = nullptr;
    HWND box = nullptr;
};
thread_local ShowingBox* showing = nullptr;

// Presses a button the box has, as the user would: the box ends with that answer, which the
// caller then ignores. A box without Cancel ignores the close message, so a real button it is.
void EndBox(HWND box) {
    for (int id : {IDCANCEL, IDNO, IDOK, IDABORT, IDIGNORE, IDRETRY, IDYES}) {
        if (HWND button = ::GetDlgItem(box, id)) {
            ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                           reinterpret_cast<LPARAM>(button));
            return;
        }
    }
    ::PostMessageW(box, WM_CLOSE, 0, 0);
}

bool IsDialogWindow(HWND window) {
    wchar_t name[16] = {};
    return ::GetClassNameW(window, name, 16) > 0 && std::wstring_view(name) == L"#32770";
}

}  // namespace

LRESULT CALLBACK MessageBoxHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && showing && !showing->box) {
        const auto window = reinterpret_cast<HWND>(wParam);
        if (IsDialogWindow(window)) {
            showing->box = window;
            // Owner-less, the box has a taskbar button and an Alt-Tab entry of its own.
            SetProgramIcons(window);
            showing->set->Opened(window);
        }
    }
    return ::CallNextHookEx(showing ? showing->hook : nullptr, code, wParam, lParam);
}

int MessageBoxSet::Show(const std::wstring& text, const std::wstring& title, UINT style) {
    {
        std::lock_guard lock(mutex_);
        if (closing_) return 0;
    }
    if ((style & MB_SYSTEMMODAL) == 0) style |= MB_TASKMODAL;
    ShowingBox current{this, nullptr, nullptr};
    ShowingBox* outer = showing;
    showing = &current;
    current.hook = ::SetWindowsHookExW(WH_CBT, MessageBoxHook, nullptr, ::GetCurrentThreadId());
    const int answer = ::MessageBoxW(nullptr, text.c_str(), title.c_str(), style);
    if (current.hook) ::UnhookWindowsHookEx(current.hook);
    showing = outer;
    bool ended = false;
    {
        std::lock_guard lock(mutex_);
        if (current.box) open_.erase(current.box);
        ended = closing_;
    }
    return ended ? 0 : answer;
}

void MessageBoxSet::Opened(HWND box) {
    std::lock_guard lock(mutex_);
    open_.insert(box);
    if (closing_) EndBox(box);
}

void MessageBoxSet::CloseAll() {
    std::lock_guard lock(mutex_);
    closing_ = true;
    for (HWND box : open_) EndBox(box);
}

int AnswerForButton(int buttonId) {
    switch (buttonId) {
        case IDCANCEL:
            return 1;
        case IDABORT:
            return 2;
        case IDRETRY:
            return 3;
        case IDIGNORE:
            return 4;
        case IDYES:
            return 5;
        case IDNO:
            return 6;
        default:
            return 0;
    }
}

}  // namespace lumeno::ui::win32
