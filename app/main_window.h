// MainWindow: the program's one window, built from its control table, with the window-facing
// services that logic and workers use to reach its controls. The header carries no Qt types,
// so crawler code can bind its handlers through it.
#pragma once

#include <functional>
#include <memory>

#include "util/text_types.h"
#include "util/window_controls.h"

namespace lumeno::ui {
class FormWindow;
class QtWindowControls;
}  // namespace lumeno::ui

namespace lumeno {

class MainWindow {
public:
    // Hands a URL to the desktop (see ui::QtWindowControls); the default opens it for real.
    using ShellOpener = std::function<bool(const std::string& url)>;

    // On the window thread with the application object alive. `baseUrl` is what the link box
    // shows.
    explicit MainWindow(const Text& baseUrl, ShellOpener opener = {});
    ~MainWindow();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // The control properties, list views, message boxes and shell services of this window.
    WindowControls& Controls();
    ui::QtWindowControls& QtControls();
    ui::FormWindow& Window();

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
    struct Parts;
    std::unique_ptr<Parts> parts_;
};

}  // namespace lumeno
