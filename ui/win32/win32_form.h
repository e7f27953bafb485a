// A fixed-size top-level Win32 window built from a WindowLayout: one real control per row
// (STATIC, EDIT, BUTTON, SysListView32 and the picture box), found again by control name, with
// click and close notifications, and the window-facing services attached.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "ui/win32/win32_api.h"
#include "ui/win32/win32_picture_box.h"
#include "ui/window_system.h"

namespace lumeno::ui::win32 {

class Win32WindowControls;

class Win32Form final : public Form {
public:
    Win32Form(const WindowLayout& layout, ShellOpener opener);
    ~Win32Form() override;

    WindowControls& Controls() override;
    bool OnClicked(const Text& control, std::function<void()> handler) override;
    void OnClose(std::function<void()> handler) override;
    void Show(int outerWidth, int outerHeight) override;
    void Close() override;
    void ShowFatalError(const Text& boxText) override;
    void Shutdown() override;
    bool IsShutDown() const override;

    HWND Handle() const { return window_; }
    // The control's window, nullptr for an unknown name.
    HWND Control(const Text& name) const;
    // The kind the table gave the control (Label for an unknown name).
    ControlKind KindOf(const Text& name) const;
    PictureBox* Picture(const Text& name) const;
    const std::vector<Text>& ControlNames() const { return names_; }
    Win32WindowControls& Services() { return *services_; }

    // Messages of the window the services use to have their queued calls run.
    static constexpr UINT kRunCallsMessage = WM_APP + 0x21;
    static constexpr UINT_PTR kRunCallsTimer = 0x21;

private:
    struct Entry {
        ControlKind kind;
        HWND window;
        std::unique_ptr<PictureBox> picture;
    };

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void Build(const ControlRow& row, int id);
    void RunClickHandlers(HWND control);
    void OnCloseRequest();

    HWND window_ = nullptr;
    HFONT font_ = nullptr;
    std::map<Text, Entry> controls_;
    std::vector<Text> names_;
    std::map<HWND, std::vector<std::function<void()>>> clicks_;
    std::vector<std::function<void()>> closeHandlers_;
    HWND lastFocus_ = nullptr;
    bool closed_ = false;
    std::unique_ptr<Win32WindowControls> services_;  // made once the window exists
};

}  // namespace lumeno::ui::win32
