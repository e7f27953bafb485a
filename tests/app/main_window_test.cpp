// The main window at start-up (every control's kind, text, place, size and state), its frame,
// the list views' style, the read-only link box, and the category boxes under real clicks.
#include "app/main_window.h"

#include <gtest/gtest.h>

#include "app/category_selection.h"
#include "crawler/category_table.h"
#include "crawler/control_names.h"
#include "tests/ui/window_test_support.h"

LUMENO_WINDOW_TEST_ENVIRONMENT();

namespace lumeno {
namespace {

namespace c = controls;
using testing::Rect;
using ui::ControlKind;

constexpr const char* kTestBaseUrl = "http://127.0.0.1:45678";

class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest() : window_(kTestBaseUrl), driver_(testing::DriveForm(window_.Form())) {
        BindCategoryBoxes(window_);
        window_.Show();
        EXPECT_TRUE(driver_->WaitExposed());
    }
    ~MainWindowTest() override { window_.Form().Close(); }

    std::vector<Text> CheckedBoxes() {
        std::vector<Text> checked;
        for (const Category& category : kCategories) {
            if (driver_->Control(category.checkBox)->checked)
                checked.emplace_back(category.caption);
        }
        return checked;
    }

    MainWindow window_;
    std::unique_ptr<testing::FormDriver> driver_;
};

struct StartState {
    const char* name;
    ControlKind kind;
    const char* text;
    Rect geometry;
};

const StartState kStartStates[] = {
    {c::标签1, ControlKind::Label, "从第", {346, 16, 40, 16}},
    {c::编辑框2, ControlKind::EditBox, "1", {394, 15, 40, 17}},
    {c::标签2, ControlKind::Label, "页开始", {437, 11, 40, 24}},
    {c::标签4, ControlKind::Label, "到第", {346, 37, 40, 16}},
    {c::编辑框3, ControlKind::EditBox, "2", {394, 36, 40, 17}},
    {c::标签3, ControlKind::Label, "页结束", {437, 32, 40, 24}},
    {c::按钮1, ControlKind::Button, "开始爬虫", {496, 12, 96, 40}},
    {c::按钮3, ControlKind::Button, "下载全部", {599, 12, 89, 40}},
    {c::选择框游戏, ControlKind::CheckBox, "游戏", {344, 59, 54, 16}},
    {c::选择框动漫, ControlKind::CheckBox, "动漫", {418, 59, 54, 16}},
    {c::选择框风景, ControlKind::CheckBox, "风景", {490, 59, 54, 16}},
    {c::选择框美女, ControlKind::CheckBox, "美女", {562, 59, 54, 16}},
    {c::选择框影视, ControlKind::CheckBox, "影视", {642, 59, 54, 16}},
    {c::选择框跑车, ControlKind::CheckBox, "跑车", {344, 84, 54, 16}},
    {c::选择框萌物, ControlKind::CheckBox, "萌物", {418, 84, 54, 16}},
    {c::选择框美食, ControlKind::CheckBox, "美食", {490, 84, 54, 16}},
    {c::选择框系统, ControlKind::CheckBox, "系统", {562, 84, 54, 16}},
    {c::标签6, ControlKind::Label, "链接 - 不含页数 ", {346, 109, 94, 16}},
    {c::标签提示, ControlKind::Label, "", {472, 109, 216, 16}},
    {c::编辑框4, ControlKind::EditBox, kTestBaseUrl, {344, 130, 344, 24}},
    {c::图片框1, ControlKind::PictureBox, "", {344, 160, 344, 206}},
    {c::超级列表框1, ControlKind::ListView, "", {8, 8, 320, 360}},
    {c::超级列表框12, ControlKind::ListView, "", {736, 8, 280, 628}},
    {c::编辑框5, ControlKind::EditBox, "", {984, 8, 240, 632}},
};

TEST_F(MainWindowTest, EveryControlStartsWithItsTextPlaceAndState) {
    EXPECT_EQ(driver_->ControlNames().size(), std::size(kStartStates));
    for (const StartState& state : kStartStates) {
        SCOPED_TRACE(state.name);
        const std::optional<testing::ControlView> control = driver_->Control(state.name);
        ASSERT_TRUE(control.has_value());
        EXPECT_EQ(control->kind, state.kind);
        EXPECT_EQ(control->text, state.text);
        EXPECT_EQ(control->geometry, state.geometry);
        EXPECT_TRUE(control->enabled);
        EXPECT_TRUE(control->visible);
        EXPECT_FALSE(control->checked);
    }
    EXPECT_FALSE(driver_->HasPicture(c::图片框1));
    EXPECT_EQ(window_.Controls().Content(c::编辑框4), kTestBaseUrl);
}

TEST_F(MainWindowTest, FixedFrameWithCaptionMinimizeAndNoMaximize) {
    const testing::FrameView frame = driver_->Frame();
    EXPECT_EQ(frame.caption, "Lumeno - Box    源自Kestrune论坛");
    // The frame measures 703 x 403; the fixed client area inside it holds every control that
    // starts inside the window.
    EXPECT_EQ(frame.outer.width, 703);
    EXPECT_EQ(frame.outer.height, 403);
    for (const StartState& state : kStartStates) {
        if (state.geometry.left >= frame.client.width) continue;
        EXPECT_LE(state.geometry.left + state.geometry.width, frame.client.width) << state.name;
        EXPECT_LE(state.geometry.top + state.geometry.height, frame.client.height) << state.name;
    }
    EXPECT_FALSE(frame.resizable);
    EXPECT_TRUE(frame.minimizeButton);
    EXPECT_TRUE(frame.systemMenu);
    EXPECT_FALSE(frame.maximizeButton);
    // Centred: the 703 x 403 frame sits in the middle of the work area.
    EXPECT_NEAR(frame.outer.left, frame.workArea.left + (frame.workArea.width - 703) / 2, 1);
    EXPECT_NEAR(frame.outer.top, frame.workArea.top + (frame.workArea.height - 403) / 2, 1);
}

TEST_F(MainWindowTest, BothListViewsShareTheReportStyle) {
    struct ListCase {
        const char* name;
        int firstWidth;
    };
    for (const ListCase& list : {ListCase{c::ImageList, 218}, ListCase{c::SourceList, 188}}) {
        SCOPED_TRACE(list.name);
        EXPECT_EQ(driver_->Rows(list.name), 0);
        const testing::ListStyle style = driver_->ListStyleOf(list.name);
        using Column = std::pair<Text, int>;
        EXPECT_EQ(style.columns,
                  (std::vector<Column>{{"网站地址", list.firstWidth}, {"状态", 75}}));
        EXPECT_TRUE(style.headerVisible);
        EXPECT_TRUE(style.headerDragDrop);
        EXPECT_TRUE(style.gridLines);
        EXPECT_TRUE(style.singleSelection);
        EXPECT_TRUE(style.fullRowSelect);
        EXPECT_FALSE(style.editable);
    }
    // The thumbnail list and the spare edit box lie beyond the window's right edge.
    const int width = driver_->Frame().client.width;
    EXPECT_GE(driver_->Control(c::SourceList)->geometry.left, width);
    EXPECT_GE(driver_->Control(c::编辑框5)->geometry.left, width);
    const testing::EditStyle spare = driver_->EditStyleOf(c::编辑框5);
    EXPECT_TRUE(spare.readOnly);
    EXPECT_TRUE(spare.multiLine);
    EXPECT_TRUE(spare.verticalScrollBar);
    const testing::EditStyle link = driver_->EditStyleOf(c::编辑框4);
    EXPECT_TRUE(link.readOnly);
    EXPECT_FALSE(link.multiLine);
    EXPECT_FALSE(driver_->EditStyleOf(c::编辑框2).readOnly);
}

TEST_F(MainWindowTest, LinkBoxRejectsTypingWhilePageBoxesAcceptIt) {
    driver_->TypeText(c::编辑框4, "abc");
    driver_->PressBackspace(c::编辑框4);
    EXPECT_EQ(driver_->Control(c::编辑框4)->text, kTestBaseUrl);

    driver_->SelectAllText(c::编辑框2);
    driver_->TypeText(c::编辑框2, "5");
    EXPECT_EQ(window_.Controls().Content(c::编辑框2), "5");
}

TEST_F(MainWindowTest, CheckingOneCategoryClearsTheOthers) {
    driver_->Click(c::选择框游戏);
    EXPECT_EQ(CheckedBoxes(), std::vector<Text>{"游戏"});
    driver_->Click(c::选择框美食);
    EXPECT_EQ(CheckedBoxes(), std::vector<Text>{"美食"});
    // Clicking the checked box leaves none checked.
    driver_->Click(c::选择框美食);
    EXPECT_TRUE(CheckedBoxes().empty());
    // Every box in turn: only the last one clicked stays checked.
    for (const Category& category : kCategories) {
        driver_->Click(category.checkBox);
        EXPECT_EQ(CheckedBoxes(), std::vector<Text>{category.caption});
    }
}

TEST_F(MainWindowTest, CategoryBoxesToggleOnAClickAnywhereInTheirRectangle) {
    // Corners, the caption and the empty right part of the 54 x 16 rectangle.
    const std::pair<int, int> points[] = {{0, 0}, {27, 8}, {51, 8}, {53, 15}, {40, 2}};
    for (const Category& category : kCategories) {
        ASSERT_EQ(driver_->Control(category.checkBox)->geometry.width, 54);
        ASSERT_EQ(driver_->Control(category.checkBox)->geometry.height, 16);
        for (const auto& [x, y] : points) {
            const bool before = driver_->Control(category.checkBox)->checked;
            driver_->ClickAt(category.checkBox, x, y);
            EXPECT_NE(driver_->Control(category.checkBox)->checked, before)
                << category.segment << " at " << x;
        }
    }
}

TEST_F(MainWindowTest, DisabledCategoryBoxesIgnoreClicksAndKeepTheirState) {
    driver_->Click(c::选择框风景);
    for (const Category& category : kCategories)
        window_.Controls().SetDisabled(category.checkBox, 1);
    for (const Category& category : kCategories) {
        driver_->Click(category.checkBox);
        EXPECT_EQ(window_.Controls().Disabled(category.checkBox), 1);
        EXPECT_FALSE(driver_->Control(category.checkBox)->enabled);
    }
    EXPECT_EQ(CheckedBoxes(), std::vector<Text>{"风景"});
}

TEST_F(MainWindowTest, HandlersBindToButtonsAndTheImageList) {
    int starts = 0;
    int listClicks = 0;
    EXPECT_TRUE(window_.OnClicked(c::按钮1, [&] { ++starts; }));
    EXPECT_TRUE(window_.OnClicked(c::ImageList, [&] { ++listClicks; }));
    EXPECT_FALSE(window_.OnClicked("无此控件", [] {}));
    driver_->Click(c::按钮1);
    driver_->ClickListBelowRows(c::ImageList);
    EXPECT_EQ(starts, 1);
    EXPECT_EQ(listClicks, 1);
}

TEST_F(MainWindowTest, ShellOpenerIsPassedThrough) {
    std::vector<std::string> opened;
    MainWindow other(kTestBaseUrl, [&](const std::string& url) {
        opened.push_back(url);
        return true;
    });
    other.Controls().OpenWithShell("http://127.0.0.1:45678/a.html");
    EXPECT_EQ(opened, std::vector<std::string>{"http://127.0.0.1:45678/a.html"});
}

}  // namespace
}  // namespace lumeno
