// The description of a window as data: one row per control (name, kind, start text, geometry,
// start state and style flags) plus the frame's caption and client size. The window framework
// builds the widgets from it; the application owns the table itself.
#pragma once

#include <array>
#include <span>

namespace lumeno::ui {

enum class ControlKind { Label, EditBox, Button, CheckBox, PictureBox, ListView };

// Style flags of a control.
enum ControlFlag : unsigned {
    kNoFlags = 0,
    kReadOnly = 1u << 0,           // edit box rejects typing
    kMultiLine = 1u << 1,          // edit box holds several lines
    kVerticalScrollBar = 1u << 2,  // edit box always shows a vertical scroll bar
};

struct ListColumn {
    const char* title = nullptr;  // GBK; nullptr ends the column list
    int width = 0;
};

struct ControlRow {
    const char* name;  // control name (GBK), also the widget's object name
    ControlKind kind;
    const char* text;  // caption or start content (GBK)
    int left;
    int top;
    int width;
    int height;
    bool enabled = true;
    bool visible = true;
    unsigned flags = kNoFlags;
    std::array<ListColumn, 2> columns = {};  // list views only
};

struct WindowLayout {
    const char* caption;  // GBK
    int clientWidth;
    int clientHeight;
    std::span<const ControlRow> controls;
};

}  // namespace lumeno::ui
