// The control table of the main window: name, kind, start text, client position and size,
// start state and style of each control.
#include "app/main_window_controls.h"

#include "crawler/control_names.h"

namespace lumeno {

const char* MainWindowCaption() {
    return "Lumeno - Box    源自Kestrune论坛";
}

std::vector<ui::ControlRow> MainWindowControls(const char* baseUrl) {
    using K = ui::ControlKind;
    namespace c = controls;
    constexpr bool on = true;
    const std::array<ui::ListColumn, 2> imageColumns = {{{"网站地址", 218}, {"状态", 75}}};
    const std::array<ui::ListColumn, 2> sourceColumns = {{{"网站地址", 188}, {"状态", 75}}};
    return {
        // name, kind, start text, left, top, width, height[, enabled, visible, flags, columns]
        {c::标签1, K::Label, "从第", 346, 16, 40, 16},
        {c::编辑框2, K::EditBox, "1", 394, 15, 40, 17},
        {c::标签2, K::Label, "页开始", 437, 11, 40, 24},
        {c::标签4, K::Label, "到第", 346, 37, 40, 16},
        {c::编辑框3, K::EditBox, "2", 394, 36, 40, 17},
        {c::标签3, K::Label, "页结束", 437, 32, 40, 24},
        {c::按钮1, K::Button, "开始爬虫", 496, 12, 96, 40},
        {c::按钮3, K::Button, "下载全部", 599, 12, 89, 40},
        {c::选择框游戏, K::CheckBox, "游戏", 344, 59, 54, 16},
        {c::选择框动漫, K::CheckBox, "动漫", 418, 59, 54, 16},
        {c::选择框风景, K::CheckBox, "风景", 490, 59, 54, 16},
        {c::选择框美女, K::CheckBox, "美女", 562, 59, 54, 16},
        {c::选择框影视, K::CheckBox, "影视", 642, 59, 54, 16},
        {c::选择框跑车, K::CheckBox, "跑车", 344, 84, 54, 16},
        {c::选择框萌物, K::CheckBox, "萌物", 418, 84, 54, 16},
        {c::选择框美食, K::CheckBox, "美食", 490, 84, 54, 16},
        {c::选择框系统, K::CheckBox, "系统", 562, 84, 54, 16},
        {c::标签6, K::Label, "链接 - 不含页数 ", 346, 109, 94, 16},
        {c::标签提示, K::Label, "", 472, 109, 216, 16},
        {c::编辑框4, K::EditBox, baseUrl, 344, 130, 344, 24, on, on, ui::kReadOnly},
        {c::图片框1, K::PictureBox, "", 344, 160, 344, 206},
        {c::超级列表框1, K::ListView, "", 8, 8, 320, 360, on, on, ui::kNoFlags, imageColumns},
        // Outside the window: kept as the store of thumbnail addresses, never seen.
        {c::超级列表框12, K::ListView, "", 736, 8, 280, 628, on, on, ui::kNoFlags, sourceColumns},
        {c::编辑框5, K::EditBox, "", 984, 8, 240, 632, on, on,
         ui::kReadOnly | ui::kMultiLine | ui::kVerticalScrollBar},
    };
}

}  // namespace lumeno
