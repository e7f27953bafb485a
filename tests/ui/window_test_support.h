// The window tests' view of a real window, the same on either window system: one window
// system for the whole test program, polling waits that keep its event loop running, message
// boxes found on screen and answered by their buttons, a timer on the window thread, and a
// driver that reads what a form's controls show and works them with real input (clicks, keys).
// window_test_support.cpp holds what is the same on every window system; each window system
// implements the rest in its own source file.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "tests/ui/test_pictures.h"
#include "ui/control_table.h"
#include "ui/picture_pixels.h"
#include "ui/window_system.h"
#include "util/text_types.h"

namespace lumeno::testing {

// The program's window system, made before the first test and ended after the last.
ui::WindowSystem& TestWindowSystem();

class WindowSystemEnvironment : public ::testing::Environment {
public:
    void SetUp() override;
    void TearDown() override;
};

// Runs the window thread's events until `condition` holds or `limit` has passed; returns the
// condition.
bool WaitUntil(const std::function<bool()>& condition,
               std::chrono::milliseconds limit = std::chrono::seconds(5));

// A message box on screen (any thread's), as the user sees it.
struct MessageBoxView {
    Text title;
    Text text;
    bool hasOwner = false;  // an owner window it belongs to
    bool errorIcon = false;
};

// The visible message box, nothing when there is none. Window thread.
std::optional<MessageBoxView> VisibleMessageBox();

// Presses the button of the visible message box that gives `answer` (0 OK, 5 Yes, 6 No).
// False when there is no box or no such button.
bool PressMessageBoxButton(int answer);

// Runs `tick` on the window thread every `interval` until stopped or destroyed.
class WindowThreadTimer {
public:
    WindowThreadTimer(std::chrono::milliseconds interval, std::function<void()> tick);
    ~WindowThreadTimer();
    WindowThreadTimer(const WindowThreadTimer&) = delete;
    WindowThreadTimer& operator=(const WindowThreadTimer&) = delete;
    void Stop();

private:
    struct State;
    std::unique_ptr<State> state_;
};

// Runs `call` once on the window thread as soon as its event loop runs.
void RunSoonOnWindowThread(std::function<void()> call);

struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const Rect&, const Rect&) = default;
};

// The window's frame as the window system made it.
struct FrameView {
    Text caption;
    ui::PictureSize client;
    Rect outer;     // screen coordinates of the whole window, frame included
    Rect workArea;  // the screen's work area
    bool resizable = false;
    bool minimizeButton = false;
    bool maximizeButton = false;
    bool systemMenu = false;  // with the close button
};

// One control as shown: the kind told by the real control, its text, place and state.
struct ControlView {
    ui::ControlKind kind = ui::ControlKind::Label;
    Text text;      // caption or content, GBK
    Rect geometry;  // client coordinates of the window
    bool enabled = false;
    bool visible = false;  // not hidden (it may still lie outside the window)
    bool checked = false;
};

struct EditStyle {
    bool readOnly = false;
    bool multiLine = false;
    bool verticalScrollBar = false;  // always shown
};

struct ListStyle {
    std::vector<std::pair<Text, int>> columns;  // title and width
    bool headerVisible = false;
    bool headerDragDrop = false;
    bool gridLines = false;
    bool fullRowSelect = false;
    bool singleSelection = false;
    bool editable = true;
};

class FormDriver {
public:
    virtual ~FormDriver() = default;

    // Waits until the shown window is on screen.
    virtual bool WaitExposed() = 0;
    virtual FrameView Frame() = 0;
    virtual std::vector<Text> ControlNames() = 0;
    // Nothing for an unknown name.
    virtual std::optional<ControlView> Control(const Text& name) = 0;
    virtual EditStyle EditStyleOf(const Text& name) = 0;
    virtual ListStyle ListStyleOf(const Text& name) = 0;
    virtual int Rows(const Text& list) = 0;
    virtual Text Cell(const Text& list, int row, int column = 0) = 0;

    // The picture box: whether it shows a picture, the size shown, and the colour drawn at a
    // point of the box.
    virtual bool HasPicture(const Text& name) = 0;
    virtual ui::PictureSize PictureShown(const Text& name) = 0;
    virtual Colour ColourAt(const Text& name, int x, int y) = 0;

    // Real input: a left click in the middle of the control or at a point of it; a click on a
    // list row (left or right button); a left click on the empty space below the rows.
    virtual void Click(const Text& name) = 0;
    virtual void ClickAt(const Text& name, int x, int y) = 0;  // control coordinates
    virtual void ClickListRow(const Text& list, int row, bool rightButton = false) = 0;
    virtual void ClickListBelowRows(const Text& list) = 0;
    // Keys typed into an edit box (ASCII) at its caret, Backspace, select-all; and replacing
    // its text as a paste would.
    virtual void TypeText(const Text& name, const std::string& keys) = 0;
    virtual void PressBackspace(const Text& name) = 0;
    virtual void SelectAllText(const Text& name) = 0;
    virtual void SetEditText(const Text& name, const Text& text) = 0;

    // Calls from workers not yet run on the window thread, and running them now.
    virtual std::size_t PendingCalls() = 0;
    virtual void FlushCalls() = 0;
};

std::unique_ptr<FormDriver> DriveForm(ui::Form& form);

}  // namespace lumeno::testing

// Registers the environment once per test program.
#define LUMENO_WINDOW_TEST_ENVIRONMENT()                                            \
    static ::testing::Environment* const lumenoWindowEnvironment [[maybe_unused]] = \
        ::testing::AddGlobalTestEnvironment(new ::lumeno::testing::WindowSystemEnvironment)
