// The window system on Win32: the common controls, the window thread's loop on its own message
// queue (the platform's default loop, which also runs posted functors), and forms.
#include "platform/system/message_loop.h"
#include "ui/win32/win32_api.h"
#include "ui/win32/win32_form.h"

namespace lumeno::ui {
namespace {

class Win32WindowSystem final : public WindowSystem {
public:
    Win32WindowSystem() {
        INITCOMMONCONTROLSEX controls{sizeof(controls),
                                      ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
        ::InitCommonControlsEx(&controls);
    }

    void Run() override {
        platform::ThreadMessageLoop& loop = platform::CurrentThreadLoop();
        while (!platform::QueuedQuitCode()) {
            loop.DispatchPending();
            if (platform::QueuedQuitCode()) break;
            loop.WaitForMessages(std::chrono::steady_clock::time_point::max());
        }
        // Taken out, so that a later Run (tests run several) waits again.
        MSG quit;
        ::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    }

    // A posted quit message, not User32's quit flag: the loop sees it at the head of its
    // queue even while timers and input keep arriving.
    void Quit() override { platform::PostQuitMessage(0); }

    void ProcessEvents() override { platform::CurrentThreadLoop().DispatchPending(); }
};

}  // namespace

std::unique_ptr<WindowSystem> CreateWindowSystem(int, char**) {
    return std::make_unique<Win32WindowSystem>();
}

std::unique_ptr<Form> CreateForm(const WindowLayout& layout, ShellOpener opener) {
    return std::make_unique<win32::Win32Form>(layout, std::move(opener));
}

}  // namespace lumeno::ui
