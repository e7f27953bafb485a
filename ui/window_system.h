// The window system behind the program's window, as the application and the window tests see
// it: the process's window system and its message loop, and forms built from a control table
// with the window-facing runtime services attached. The build picks one implementation: Qt
// Widgets (ui/qt_*.cpp) or Win32 controls (ui/win32/).
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "ui/control_table.h"
#include "util/text_types.h"
#include "util/window_controls.h"

namespace lumeno::ui {

// Hands a folder, file or address to the desktop's "open" verb; `target` is what the desktop
// is given (Qt: a URL; Win32: the path or address), in UTF-8. True when it was handed over.
using ShellOpener = std::function<bool(const std::string& target)>;

// One window built from a WindowLayout, with its services. Lives on the window thread.
class Form {
public:
    virtual ~Form() = default;

    // The control properties, list views, message boxes and shell services of this window.
    // Callable from any thread (see WindowControls).
    virtual WindowControls& Controls() = 0;

    // Runs `handler` on the window thread when the control is clicked: buttons and check boxes
    // after the click has toggled them, list views on a left click anywhere in the list area
    // (rows or the empty space below them). False for an unknown control or another kind.
    virtual bool OnClicked(const Text& control, std::function<void()> handler) = 0;

    // Runs `handler` when the window is being closed, after the services have shut down.
    virtual void OnClose(std::function<void()> handler) = 0;

    // Places the window, whose frame is `outerWidth` x `outerHeight`, in the middle of the
    // screen's work area and shows it.
    virtual void Show(int outerWidth, int outerHeight) = 0;

    // Closes the window as the user's close button does.
    virtual void Close() = 0;

    // Shows the fatal runtime error box (title "错误", error icon) and returns once it is
    // dismissed or the window has closed. Any thread.
    virtual void ShowFatalError(const Text& boxText) = 0;

    // Ends the services: waiting workers get empty values, later calls do nothing, message
    // boxes opened for workers are closed. Window thread; runs on close by itself.
    virtual void Shutdown() = 0;
    virtual bool IsShutDown() const = 0;
};

// The process's window system: one per program, made on the window thread before any form.
class WindowSystem {
public:
    virtual ~WindowSystem() = default;

    // Runs the window thread's message loop until Quit() is called.
    virtual void Run() = 0;
    // Ends Run() once the current message has been handled. Window thread.
    virtual void Quit() = 0;
    // Dispatches the window events waiting now, without blocking. Window thread.
    virtual void ProcessEvents() = 0;
};

std::unique_ptr<WindowSystem> CreateWindowSystem(int argc, char** argv);

// A form in its start-up state, not yet shown. `opener` replaces the desktop's "open" verb
// (tests record instead). Window thread, with the window system alive.
std::unique_ptr<Form> CreateForm(const WindowLayout& layout, ShellOpener opener = {});

}  // namespace lumeno::ui
