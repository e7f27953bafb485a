// Qt's own texts read as a Chinese Windows shows them, whatever the locale of the test run: the
// message-box buttons with their mnemonics and the edit boxes' context menus. Part of the
// typical-crawl program of the Qt build.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <memory>

#include "tests/e2e/e2e_fixture.h"
#include "ui/qt_form.h"

namespace lumeno::testing {
namespace {

QWidget* Widget(MainWindow& window, const char* name) {
    return static_cast<ui::QtForm&>(window.Form()).Window().Control(name);
}

QMessageBox* ShownMessageBox() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<QMessageBox*>(widget);
        if (box && box->isVisible()) return box;
    }
    return nullptr;
}

TEST_F(EndToEndTest, MessageBoxButtonsAreChineseWithTheirMnemonics) {
    // "下载全部" ends with the Yes/No question; the N key answers it with No.
    AppendListingRows({"/fengjing/index.html"});
    const int rows = Rows(controls::ImageList);
    Click(controls::按钮3);
    QMessageBox* box = nullptr;
    ASSERT_TRUE(
        WaitUntil([&] { return (box = ShownMessageBox()) != nullptr; }, std::chrono::seconds(30)));
    EXPECT_EQ(box->button(QMessageBox::Yes)->text(), QString::fromUtf16(u"是(&Y)"));
    EXPECT_EQ(box->button(QMessageBox::No)->text(), QString::fromUtf16(u"否(&N)"));
    QTest::keyClick(box, Qt::Key_N);
    ASSERT_TRUE(WaitUntil([] { return platform::RunningWorkers() == 0; }));
    EXPECT_EQ(Rows(controls::ImageList), rows);  // No keeps the rows
    EXPECT_TRUE(opened.empty());

    // A listing page that yields no text: the OK box of "访问失败，请重试！".
    site.Stop();
    qobject_cast<QLineEdit*>(Widget(*window, controls::编辑框3))->setText("1");
    Click(controls::按钮1);
    ASSERT_TRUE(
        WaitUntil([&] { return (box = ShownMessageBox()) != nullptr; }, std::chrono::seconds(30)));
    EXPECT_EQ(box->text(), QString::fromUtf16(u"访问失败，请重试！"));
    ASSERT_EQ(box->buttons().size(), 1);
    EXPECT_EQ(box->buttons()[0]->text(), QString::fromUtf16(u"确定"));
    QTest::mouseClick(box->buttons()[0], Qt::LeftButton);
}

TEST_F(EndToEndTest, EditBoxContextMenuIsChinese) {
    for (const char* name : {controls::编辑框2, controls::编辑框5}) {
        std::unique_ptr<QMenu> menu;
        if (auto* line = qobject_cast<QLineEdit*>(Widget(*window, name)))
            menu.reset(line->createStandardContextMenu());
        if (auto* edit = qobject_cast<QPlainTextEdit*>(Widget(*window, name)))
            menu.reset(edit->createStandardContextMenu());
        ASSERT_NE(menu, nullptr) << name;
        QStringList texts;
        for (const QAction* action : menu->actions()) {
            if (!action->isSeparator()) texts << action->text();
        }
        EXPECT_TRUE(texts.contains(QString::fromUtf16(u"复制(&C)\tCtrl+C"))) << name;
        // Every entry leads with Chinese: no English text of Qt's is left.
        for (const QString& text : texts) EXPECT_GE(text.at(0).unicode(), 0x4E00) << name;
    }
}

}  // namespace
}  // namespace lumeno::testing
