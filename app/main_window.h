// MainWindow: the program's one window, built from its control table, with the window-facing
// services that logic and workers use to reach its controls. The header carries no type of a
// particular window system, so crawler code can bind its handlers through it.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/window_system.h"
#include "util/text_types.h"
#include "util/window_controls.h"

namespace lumeno {

class MainWindow {
public:
    // Hands a folder, file or address to the desktop (see ui::ShellOpener); the default opens
    // it for real.
    using ShellOpener = ui::ShellOpener;

    // On the window thread with the window system alive. `baseUrl` is what the link box shows.
    explicit MainWindow(const Text& baseUrl, ShellOpener opener = {});
    ~MainWindow();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // The control properties, list views, message boxes and shell services of this window.
    WindowControls& Controls();
    ui::Form& Form();

    // Runs `handler` on the window thread when `control` is clicked: buttons and check boxes
    // after the click toggled them, list views on a left click anywhere in the list. False for
    // an unknown control.
    bool OnClicked(const char* control, std::function<void()> handler);
    // Runs `handler` when the user closes the window (after the services have shut down).
    void OnClose(std::function<void()> handler);

    // Shows the window centred on the screen with its fixed frame (703 x 403 outside where the
    // window manager allows it; minimise and close only).
    void Show();

private:
    Text baseUrl_;  // the link box's text points into it
    std::vector<ui::ControlRow> table_;
    std::unique_ptr<ui::Form> form_;
};

}  // namespace lumeno
