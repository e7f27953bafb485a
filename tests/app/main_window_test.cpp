// The main window at start-up (every control's kind, text, place, size and state), its frame,
// the list views' style, the read-only link box, and the category boxes under real clicks.
#include "app/main_window.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QTest>

#include "app/category_selection.h"
#include "crawler/category_table.h"
#include "crawler/control_names.h"
#include "tests/ui/qt_test_environment.h"
#include "ui/form_window.h"
#include "ui/picture_box.h"
#include "ui/qt_text.h"
#include "ui/qt_window_controls.h"

LUMENO_QT_TEST_ENVIRONMENT();

namespace lumeno {
namespace {

namespace c = controls;
using ui::ToQString;

constexpr const char* kTestBaseUrl = "http://127.0.0.1:45678";

class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest() : window_(kTestBaseUrl) {
        BindCategoryBoxes(window_);
        window_.Show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window_.Window()));
    }
    ~MainWindowTest() override { window_.Window().close(); }

    template <class T>
    T* Find(const char* name) {
        return qobject_cast<T*>(window_.Window().Control(name));
    }
    QCheckBox* Box(const char* name) { return Find<QCheckBox>(name); }
    std::vector<Text> CheckedBoxes() {
        std::vector<Text> checked;
        for (const Category& category : kCategories) {
            if (Box(category.checkBox)->isChecked()) checked.emplace_back(category.caption);
        }
        return checked;
    }

    MainWindow window_;
};

struct StartState {
    const char* name;
    const char* kind;  // Qt class
    const char* text;
    QRect geometry;
};

const StartState kStartStates[] = {
    {c::标签1, "QLabel", "从第", {346, 16, 40, 16}},
    {c::编辑框2, "QLineEdit", "1", {394, 15, 40, 17}},
    {c::标签2, "QLabel", "页开始", {437, 11, 40, 24}},
    {c::标签4, "QLabel", "到第", {346, 37, 40, 16}},
    {c::编辑框3, "QLineEdit", "2", {394, 36, 40, 17}},
    {c::标签3, "QLabel", "页结束", {437, 32, 40, 24}},
    {c::按钮1, "QPushButton", "开始爬虫", {496, 12, 96, 40}},
    {c::按钮3, "QPushButton", "下载全部", {599, 12, 89, 40}},
    {c::选择框游戏, "QCheckBox", "游戏", {344, 59, 54, 16}},
    {c::选择框动漫, "QCheckBox", "动漫", {418, 59, 54, 16}},
    {c::选择框风景, "QCheckBox", "风景", {490, 59, 54, 16}},
    {c::选择框美女, "QCheckBox", "美女", {562, 59, 54, 16}},
    {c::选择框影视, "QCheckBox", "影视", {642, 59, 54, 16}},
    {c::选择框跑车, "QCheckBox", "跑车", {344, 84, 54, 16}},
    {c::选择框萌物, "QCheckBox", "萌物", {418, 84, 54, 16}},
    {c::选择框美食, "QCheckBox", "美食", {490, 84, 54, 16}},
    {c::选择框系统, "QCheckBox", "系统", {562, 84, 54, 16}},
    {c::标签6, "QLabel", "链接 - 不含页数 ", {346, 109, 94, 16}},
    {c::标签提示, "QLabel", "", {472, 109, 216, 16}},
    {c::编辑框4, "QLineEdit", kTestBaseUrl, {344, 130, 344, 24}},
    {c::图片框1, "", "", {344, 160, 344, 206}},
    {c::超级列表框1, "QTableWidget", "", {8, 8, 320, 360}},
    {c::超级列表框12, "QTableWidget", "", {736, 8, 280, 628}},
    {c::编辑框5, "QPlainTextEdit", "", {984, 8, 240, 632}},
};

QString TextOf(QWidget* widget) {
    if (auto* label = qobject_cast<QLabel*>(widget)) return label->text();
    if (auto* line = qobject_cast<QLineEdit*>(widget)) return line->text();
    if (auto* edit = qobject_cast<QPlainTextEdit*>(widget)) return edit->toPlainText();
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) return button->text();
    return {};
}

TEST_F(MainWindowTest, EveryControlStartsWithItsTextPlaceAndState) {
    const ui::FormWindow& form = window_.Window();
    EXPECT_EQ(form.ControlNames().size(), std::size(kStartStates));
    for (const StartState& state : kStartStates) {
        SCOPED_TRACE(state.name);
        QWidget* widget = form.Control(state.name);
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->objectName(), ToQString(state.name));
        if (*state.kind) {
            EXPECT_STREQ(widget->metaObject()->className(), state.kind);
        } else {
            EXPECT_NE(dynamic_cast<ui::PictureBox*>(widget), nullptr);
        }
        EXPECT_EQ(TextOf(widget), ToQString(state.text));
        EXPECT_EQ(widget->geometry(), state.geometry);
        EXPECT_TRUE(widget->isEnabled());
        EXPECT_FALSE(widget->isHidden());
        if (auto* box = qobject_cast<QCheckBox*>(widget)) {
            EXPECT_FALSE(box->isChecked());
        }
    }
    EXPECT_FALSE(dynamic_cast<ui::PictureBox*>(form.Control(c::图片框1))->HasPicture());
    EXPECT_EQ(window_.Controls().Content(c::编辑框4), kTestBaseUrl);
}

TEST_F(MainWindowTest, FixedFrameWithCaptionMinimizeAndNoMaximize) {
    const ui::FormWindow& form = window_.Window();
    EXPECT_EQ(form.windowTitle(), QStringLiteral(u"Lumeno - Box    源自Kestrune论坛"));
    // The frame measures 703 x 403 (the offscreen platform draws a thin one), the client area
    // is fixed and still holds every control inside it.
    EXPECT_EQ(form.frameGeometry().size(), QSize(703, 403));
    EXPECT_EQ(form.minimumSize(), form.size());
    EXPECT_EQ(form.maximumSize(), form.size());
    EXPECT_GE(form.width(), 688);
    EXPECT_GE(form.height(), 368);
    const Qt::WindowFlags flags = form.windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowSystemMenuHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    // Centred: the 703 x 403 frame sits in the middle of the work area.
    const QRect area = form.screen()->availableGeometry();
    EXPECT_NEAR(form.pos().x(), area.x() + (area.width() - 703) / 2, 1);
    EXPECT_NEAR(form.pos().y(), area.y() + (area.height() - 403) / 2, 1);
}

TEST_F(MainWindowTest, BothListViewsShareTheReportStyle) {
    struct ListCase {
        const char* name;
        int firstWidth;
    };
    for (const ListCase& list : {ListCase{c::ImageList, 218}, ListCase{c::SourceList, 188}}) {
        SCOPED_TRACE(list.name);
        auto* table = Find<QTableWidget>(list.name);
        ASSERT_NE(table, nullptr);
        EXPECT_EQ(table->rowCount(), 0);
        ASSERT_EQ(table->columnCount(), 2);
        EXPECT_EQ(table->horizontalHeaderItem(0)->text(), QStringLiteral(u"网站地址"));
        EXPECT_EQ(table->horizontalHeaderItem(1)->text(), QStringLiteral(u"状态"));
        EXPECT_EQ(table->columnWidth(0), list.firstWidth);
        EXPECT_EQ(table->columnWidth(1), 75);
        EXPECT_FALSE(table->horizontalHeader()->isHidden());
        EXPECT_TRUE(table->horizontalHeader()->sectionsMovable());
        EXPECT_TRUE(table->showGrid());
        EXPECT_EQ(table->selectionMode(), QAbstractItemView::SingleSelection);
        EXPECT_EQ(table->selectionBehavior(), QAbstractItemView::SelectRows);
        EXPECT_EQ(table->editTriggers(), QAbstractItemView::NoEditTriggers);
    }
    // The thumbnail list and the spare edit box lie beyond the window's right edge.
    EXPECT_GE(Find<QWidget>(c::SourceList)->x(), window_.Window().width());
    EXPECT_GE(Find<QWidget>(c::编辑框5)->x(), window_.Window().width());
    EXPECT_EQ(Find<QPlainTextEdit>(c::编辑框5)->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_TRUE(Find<QPlainTextEdit>(c::编辑框5)->isReadOnly());
}

TEST_F(MainWindowTest, LinkBoxRejectsTypingWhilePageBoxesAcceptIt) {
    QLineEdit* link = Find<QLineEdit>(c::编辑框4);
    QTest::mouseClick(link, Qt::LeftButton);
    QTest::keyClicks(link, "abc");
    QTest::keyClick(link, Qt::Key_Backspace);
    EXPECT_EQ(link->text(), ToQString(kTestBaseUrl));

    QLineEdit* first = Find<QLineEdit>(c::编辑框2);
    first->selectAll();
    QTest::keyClicks(first, "5");
    EXPECT_EQ(window_.Controls().Content(c::编辑框2), "5");
}

TEST_F(MainWindowTest, CheckingOneCategoryClearsTheOthers) {
    QTest::mouseClick(Box(c::选择框游戏), Qt::LeftButton);
    EXPECT_EQ(CheckedBoxes(), std::vector<Text>{"游戏"});
    QTest::mouseClick(Box(c::选择框美食), Qt::LeftButton);
    EXPECT_EQ(CheckedBoxes(), std::vector<Text>{"美食"});
    // Clicking the checked box leaves none checked.
    QTest::mouseClick(Box(c::选择框美食), Qt::LeftButton);
    EXPECT_TRUE(CheckedBoxes().empty());
    // Every box in turn: only the last one clicked stays checked.
    for (const Category& category : kCategories) {
        QTest::mouseClick(Box(category.checkBox), Qt::LeftButton);
        EXPECT_EQ(CheckedBoxes(), std::vector<Text>{category.caption});
    }
}

TEST_F(MainWindowTest, CategoryBoxesToggleOnAClickAnywhereInTheirRectangle) {
    // Corners, the caption and the empty right part of the 54 x 16 rectangle.
    const QPoint points[] = {{0, 0}, {27, 8}, {51, 8}, {53, 15}, {40, 2}};
    for (const Category& category : kCategories) {
        QCheckBox* box = Box(category.checkBox);
        ASSERT_EQ(box->size(), QSize(54, 16));
        for (const QPoint& point : points) {
            const bool before = box->isChecked();
            QTest::mouseClick(box, Qt::LeftButton, {}, point);
            EXPECT_NE(box->isChecked(), before) << category.segment << " at " << point.x();
        }
    }
}

TEST_F(MainWindowTest, DisabledCategoryBoxesIgnoreClicksAndKeepTheirState) {
    QTest::mouseClick(Box(c::选择框风景), Qt::LeftButton);
    for (const Category& category : kCategories)
        window_.Controls().SetDisabled(category.checkBox, 1);
    for (const Category& category : kCategories) {
        QTest::mouseClick(Box(category.checkBox), Qt::LeftButton);
        EXPECT_EQ(window_.Controls().Disabled(category.checkBox), 1);
    }
    EXPECT_EQ(CheckedBoxes(), std::vector<Text>{"风景"});
}

TEST_F(MainWindowTest, HandlersBindToButtonsAndTheImageList) {
    int starts = 0;
    int listClicks = 0;
    EXPECT_TRUE(window_.OnClicked(c::按钮1, [&] { ++starts; }));
    EXPECT_TRUE(window_.OnClicked(c::ImageList, [&] { ++listClicks; }));
    EXPECT_FALSE(window_.OnClicked("无此控件", [] {}));
    QTest::mouseClick(Find<QPushButton>(c::按钮1), Qt::LeftButton);
    auto* list = Find<QTableWidget>(c::ImageList);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(30, 200));
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
