// The Qt side of the window system: the application object and forms made of a FormWindow
// with QtWindowControls attached. Window tests reach the widgets through QtForm.
#pragma once

#include <memory>

#include <QApplication>

#include "ui/form_window.h"
#include "ui/qt_window_controls.h"
#include "ui/window_system.h"

namespace lumeno::ui {

class QtForm final : public Form {
public:
    QtForm(const WindowLayout& layout, ShellOpener opener);

    WindowControls& Controls() override { return controls_; }
    bool OnClicked(const Text& control, std::function<void()> handler) override;
    void OnClose(std::function<void()> handler) override;
    void Show(int outerWidth, int outerHeight) override;
    void Close() override;
    void ShowFatalError(const Text& boxText) override;
    void Shutdown() override;
    bool IsShutDown() const override;

    FormWindow& Window() { return window_; }
    QtWindowControls& QtControls() { return controls_; }

private:
    FormWindow window_;
    QtWindowControls controls_;  // after the window: shut down and destroyed first
};

class QtWindowSystem final : public WindowSystem {
public:
    QtWindowSystem(int argc, char** argv);

    // Installs the Qt loop as the window thread's message loop while it runs.
    void Run() override;
    void Quit() override;
    void ProcessEvents() override;

private:
    int argc_;
    QApplication application_;
};

}  // namespace lumeno::ui
