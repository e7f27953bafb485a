// A fixed-size top-level Win32 window built from a WindowLayout: one real control per row
// (STATIC, EDIT, BUTTON, SysListView32 and the picture box), found again by control name, with
// click and close notifications, and the window-facing services attached. The table's pixels
// are 96-DPI pixels: the window places its controls, column widths, fonts and frame for the DPI
// it is shown at, and again when it moves to a monitor of another DPI.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "ui/win32/win32_api.h"
#include "ui/win32/win32_fonts.h"
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
    // The outer size is the frame's at 96 DPI; at another DPI the client area inside it scales.
    void Show(int designOuterWidth, int designOuterHeight) override;
    void Close() override;
    void ShowFatalError(const Text& boxText) override;
    void Shutdown() override;
    bool IsShutDown() const override;

    HWND Handle() const { return window_; }
    // The DPI the controls are placed for.
    int Dpi() const { return dpi_; }
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
        const ControlRow* row;  // in rows_
    };

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void Build(const ControlRow& row, int id);
    // Places every control, its font and its columns for `dpi`.
    void LayOut(int dpi);
    // The outer size of the window at `dpi`: the frame Show was given at 96 DPI, its client
    // area scaled and the frame measured for `dpi`.
    SIZE OuterSizeFor(int dpi) const;
    void RunClickHandlers(HWND control);
    void OnCloseRequest();

    HWND window_ = nullptr;
    std::vector<ControlRow> rows_;  // the table, in 96-DPI pixels
    int dpi_ = 96;
    std::unique_ptr<ControlFonts> fonts_;
    SIZE designOuter_{};  // the outer size Show was given, at 96 DPI
    std::map<Text, Entry> controls_;
    std::vector<Text> names_;
    std::map<HWND, std::vector<std::function<void()>>> clicks_;
    std::vector<std::function<void()>> closeHandlers_;
    HWND lastFocus_ = nullptr;
    bool closed_ = false;
    std::unique_ptr<Win32WindowControls> services_;  // made once the window exists
};

}  // namespace lumeno::ui::win32
