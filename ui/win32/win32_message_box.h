// Message boxes on Win32: MessageBoxW without an owner on the calling thread, so a worker's box
// blocks only that worker and the window stays usable. Every box opened through one set is
// known by its window, so closing the program can end the boxes still open.
#pragma once

#include <atomic>
#include <mutex>
#include <set>
#include <string>

#include "ui/win32/win32_api.h"

namespace lumeno::ui::win32 {

class MessageBoxSet {
public:
    // Shows the box on the calling thread (task-modal unless `style` asks for system-modal)
    // and returns the pressed button's id (IDOK, IDYES, ...), 0 when it could not be shown or
    // was ended by CloseAll.
    int Show(const std::wstring& text, const std::wstring& title, UINT style);

    // Ends every box open now and every box opened later, from any thread.
    void CloseAll();

private:
    friend LRESULT CALLBACK MessageBoxHook(int code, WPARAM wParam, LPARAM lParam);
    void Opened(HWND box);

    std::mutex mutex_;
    std::set<HWND> open_;
    bool closing_ = false;
};

// The answer numbers of the runtime (0 OK, 1 Cancel, 2 Abort, 3 Retry, 4 Ignore, 5 Yes,
// 6 No) for a button id; 0 for anything else.
int AnswerForButton(int buttonId);

}  // namespace lumeno::ui::win32
