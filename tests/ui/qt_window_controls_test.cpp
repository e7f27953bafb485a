// The window services on real widgets: calls from the window thread and from workers, the row
// count kept in call order, worker message boxes that leave the window usable, the picture box,
// the shell's open verb, list clicks, and everything after the window has closed.
#include "ui/qt_window_controls.h"

#include <atomic>
#include <future>
#include <thread>

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include "tests/ui/qt_test_environment.h"
#include "tests/ui/test_images.h"
#include "ui/form_window.h"
#include "ui/picture_box.h"
#include "ui/qt_text.h"
#include "util/runtime_services.h"

LUMENO_QT_TEST_ENVIRONMENT();

namespace lumeno::ui {
namespace {

using testing::VisibleMessageBox;
using testing::WaitUntil;

constexpr const char* kFirst = "列表甲";
constexpr const char* kSecond = "列表乙";
constexpr const char* kLabel = "标签";
constexpr const char* kBox = "选择框";
constexpr const char* kEdit = "编辑框";
constexpr const char* kPicture = "图片框";

const ControlRow kControls[] = {
    {kFirst,
     ControlKind::ListView,
     "",
     8,
     8,
     300,
     300,
     true,
     true,
     kNoFlags,
     {{{"网站地址", 200}, {"状态", 75}}}},
    {kSecond,
     ControlKind::ListView,
     "",
     900,
     8,
     300,
     300,
     true,
     true,
     kNoFlags,
     {{{"网站地址", 200}, {"状态", 75}}}},
    {kLabel, ControlKind::Label, "", 320, 8, 200, 16},
    {kBox, ControlKind::CheckBox, "游戏", 320, 30, 60, 16},
    {kEdit, ControlKind::EditBox, "12", 320, 50, 60, 20},
    {kPicture, ControlKind::PictureBox, "", 320, 80, 344, 206},
};

class WindowControlsTest : public ::testing::Test {
protected:
    WindowControlsTest()
        : window_(WindowLayout{"测试", 700, 320, kControls}),
          controls_(window_, [this](const QUrl& url) {
              opened_.push_back(url);
              return true;
          }) {
        window_.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window_));
    }
    ~WindowControlsTest() override {
        window_.close();
        WaitUntil([] { return VisibleMessageBox() == nullptr; }, std::chrono::seconds(2));
    }

    QTableWidget* Table(const char* name) {
        return qobject_cast<QTableWidget*>(window_.Control(name));
    }
    QCheckBox* CheckBox() { return qobject_cast<QCheckBox*>(window_.Control(kBox)); }

    FormWindow window_;
    QtWindowControls controls_;
    std::vector<QUrl> opened_;
};

TEST_F(WindowControlsTest, PropertiesOnTheWindowThread) {
    EXPECT_EQ(controls_.Checked(kBox), 0);
    controls_.SetChecked(kBox, 1);
    EXPECT_TRUE(CheckBox()->isChecked());
    EXPECT_EQ(controls_.Checked(kBox), 1);
    controls_.SetChecked(kBox, 7);  // anything but 1 unchecks
    EXPECT_EQ(controls_.Checked(kBox), 0);

    controls_.SetDisabled(kBox, 3);
    EXPECT_FALSE(CheckBox()->isEnabled());
    EXPECT_EQ(controls_.Disabled(kBox), 1);
    controls_.SetDisabled(kBox, 0);
    EXPECT_EQ(controls_.Disabled(kBox), 0);

    EXPECT_EQ(controls_.Content(kEdit), "12");
    qobject_cast<QLineEdit*>(window_.Control(kEdit))->setText(QStringLiteral(u"第三页"));
    EXPECT_EQ(controls_.Content(kEdit), "第三页");

    controls_.SetCaption(kLabel, "温馨提示 - 读取 a");
    EXPECT_EQ(qobject_cast<QLabel*>(window_.Control(kLabel))->text(),
              QStringLiteral(u"温馨提示 - 读取 a"));

    // Unknown controls and the wrong kinds give empty values.
    EXPECT_EQ(controls_.Checked("无此控件"), 0);
    EXPECT_EQ(controls_.Content(kBox), "");
    EXPECT_EQ(controls_.AppendListRow(kLabel), -1);
    EXPECT_EQ(controls_.ListRowCount(kLabel), 0);
    EXPECT_EQ(controls_.CurrentRow(kLabel), -1);
}

TEST_F(WindowControlsTest, ListRowsOnTheWindowThread) {
    EXPECT_EQ(controls_.ListRowCount(kFirst), 0);
    EXPECT_EQ(controls_.AppendListRow(kFirst), 0);
    EXPECT_EQ(controls_.AppendListRow(kFirst), 1);
    controls_.SetListCellText(kFirst, 1, 0, "http://127.0.0.1/图.jpg");
    controls_.SetListCellText(kFirst, 5, 0, "no such row");
    controls_.SetListCellText(kFirst, 0, 9, "no such column");
    EXPECT_EQ(Table(kFirst)->rowCount(), 2);
    EXPECT_EQ(controls_.ListCellText(kFirst, 1), "http://127.0.0.1/图.jpg");
    EXPECT_EQ(controls_.ListCellText(kFirst, 0), "");
    EXPECT_EQ(controls_.ListCellText(kFirst, 1, 1), "");
    EXPECT_EQ(controls_.ListCellText(kFirst, 7), "");
    EXPECT_EQ(controls_.ListCellText(kFirst, -1), "");
    controls_.SetListCellText(kFirst, 1, 0, "changed");
    EXPECT_EQ(controls_.ListCellText(kFirst, 1), "changed");
    controls_.ClearListRows(kFirst);
    EXPECT_EQ(Table(kFirst)->rowCount(), 0);
    EXPECT_EQ(controls_.ListRowCount(kFirst), 0);
    EXPECT_EQ(controls_.AppendListRow(kFirst), 0);
}

TEST_F(WindowControlsTest, WorkerAppendsRowPairsWhileTheWindowKeepsProcessingInput) {
    constexpr int kRows = 10000;
    std::atomic<bool> done{false};
    std::atomic<int> mismatches{0};
    std::thread worker([&] {
        for (int i = 0; i < kRows; ++i) {
            const int first = controls_.AppendListRow(kFirst);
            const int second = controls_.AppendListRow(kSecond);
            if (first != i || second != i) ++mismatches;
            controls_.SetListCellText(kFirst, first, 0, "大图" + ToText(i));
            controls_.SetListCellText(kSecond, second, 0, "小图" + ToText(i));
        }
        done = true;
    });
    // The window answers clicks while the rows stream in and while the queued calls run in
    // batches.
    int clicks = 0;
    while (!done || controls_.PendingCalls() > 0) {
        QTest::mouseClick(CheckBox(), Qt::LeftButton);
        ++clicks;
        QCoreApplication::processEvents();
    }
    worker.join();
    EXPECT_EQ(CheckBox()->isChecked(), clicks % 2 == 1);
    EXPECT_EQ(mismatches, 0);
    controls_.Flush();
    ASSERT_EQ(Table(kFirst)->rowCount(), kRows);
    ASSERT_EQ(Table(kSecond)->rowCount(), kRows);
    EXPECT_EQ(controls_.ListRowCount(kFirst), kRows);
    EXPECT_EQ(controls_.ListRowCount(kSecond), kRows);
    int wrong = 0;
    for (int i = 0; i < kRows; ++i) {
        if (Table(kFirst)->item(i, 0)->text() != QStringLiteral(u"大图") + QString::number(i) ||
            Table(kSecond)->item(i, 0)->text() != QStringLiteral(u"小图") + QString::number(i)) {
            ++wrong;
        }
    }
    EXPECT_EQ(wrong, 0);
}

TEST_F(WindowControlsTest, WorkerReadsSeeItsEarlierWritesInOrder) {
    auto result = std::async(std::launch::async, [&] {
        std::vector<Text> seen;
        for (int i = 0; i < 50; ++i) {
            const int row = controls_.AppendListRow(kFirst);
            controls_.SetListCellText(kFirst, row, 0, ToText(i));
            seen.push_back(controls_.ListCellText(kFirst, row));
        }
        controls_.SetChecked(kBox, 1);
        seen.push_back(ToText(controls_.Checked(kBox)));
        controls_.ClearListRows(kFirst);
        seen.push_back(ToText(controls_.ListRowCount(kFirst)));
        seen.push_back(controls_.ListCellText(kFirst, 0));
        return seen;
    });
    ASSERT_TRUE(WaitUntil(
        [&] { return result.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }));
    const std::vector<Text> seen = result.get();
    ASSERT_EQ(seen.size(), 53u);
    for (int i = 0; i < 50; ++i) EXPECT_EQ(seen[static_cast<std::size_t>(i)], ToText(i));
    EXPECT_EQ(seen[50], "1");
    EXPECT_EQ(seen[51], "0");
    EXPECT_EQ(seen[52], "");
}

TEST_F(WindowControlsTest, WindowThreadCallsLandAfterQueuedWorkerCalls) {
    std::thread worker([&] {
        for (int i = 0; i < 100; ++i) controls_.AppendListRow(kFirst);
    });
    worker.join();  // the worker's appends are still queued: the event loop has not run
    const int row = controls_.AppendListRow(kFirst);
    EXPECT_EQ(row, 100);
    controls_.SetListCellText(kFirst, row, 0, "last");
    EXPECT_EQ(Table(kFirst)->rowCount(), 101);
    EXPECT_EQ(Table(kFirst)->item(100, 0)->text(), QStringLiteral("last"));
}

TEST_F(WindowControlsTest, WorkerMessageBoxLeavesTheWindowUsableAndReturnsTheAnswer) {
    struct Case {
        int buttons;
        QMessageBox::StandardButton press;
        int answer;
    };
    for (const Case& c :
         {Case{4, QMessageBox::Yes, kAnswerYes}, Case{4, QMessageBox::No, kAnswerNo},
          Case{0, QMessageBox::Ok, kAnswerOk}}) {
        auto answer = std::async(std::launch::async, [&] {
            return controls_.ShowMessageBox("保存成功，是否打开文件夹查看？", c.buttons,
                                            "Kestrune - 提示");
        });
        ASSERT_TRUE(WaitUntil([] { return VisibleMessageBox() != nullptr; }));
        QMessageBox* box = VisibleMessageBox();
        EXPECT_EQ(box->windowTitle(), QStringLiteral(u"Kestrune - 提示"));
        EXPECT_EQ(box->text(), QStringLiteral(u"保存成功，是否打开文件夹查看？"));
        EXPECT_EQ(box->parentWidget(), nullptr);
        EXPECT_FALSE(box->isModal());

        // The window still takes clicks while the worker waits.
        const bool before = CheckBox()->isChecked();
        QTest::mouseClick(CheckBox(), Qt::LeftButton);
        EXPECT_NE(CheckBox()->isChecked(), before);
        EXPECT_EQ(answer.wait_for(std::chrono::milliseconds(0)), std::future_status::timeout);

        ASSERT_NE(box->button(c.press), nullptr);
        QTest::mouseClick(box->button(c.press), Qt::LeftButton);
        ASSERT_TRUE(WaitUntil(
            [&] { return answer.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }));
        EXPECT_EQ(answer.get(), c.answer);
    }
}

TEST_F(WindowControlsTest, ClosingTheWindowReleasesWaitingWorkersWithEmptyValues) {
    auto answer = std::async(std::launch::async, [&] {
        return controls_.ShowMessageBox("问题", kButtonsYesNo, "标题");
    });
    ASSERT_TRUE(WaitUntil([] { return VisibleMessageBox() != nullptr; }));
    window_.close();
    EXPECT_TRUE(controls_.IsShutDown());
    // The worker's box goes away with the window and the worker gets an empty answer.
    ASSERT_EQ(answer.wait_for(std::chrono::seconds(3)), std::future_status::ready);
    EXPECT_EQ(answer.get(), 0);
    EXPECT_TRUE(WaitUntil([] { return VisibleMessageBox() == nullptr; }));

    auto afterClose = std::async(std::launch::async, [&] {
        controls_.SetChecked(kBox, 1);
        return std::vector<Text>{ToText(controls_.Checked(kBox)),
                                 ToText(controls_.AppendListRow(kFirst)),
                                 ToText(controls_.ListRowCount(kFirst)),
                                 ToText(controls_.CurrentRow(kFirst)),
                                 controls_.Content(kEdit),
                                 controls_.ListCellText(kFirst, 0),
                                 ToText(controls_.ShowMessageBox("x", 0, "y"))};
    });
    ASSERT_EQ(afterClose.wait_for(std::chrono::seconds(3)), std::future_status::ready);
    EXPECT_EQ(afterClose.get(), (std::vector<Text>{"0", "-1", "0", "-1", "", "", "0"}));
    EXPECT_FALSE(CheckBox()->isChecked());
    // The window thread gets the same.
    EXPECT_EQ(controls_.Content(kEdit), "");
    EXPECT_EQ(controls_.AppendListRow(kFirst), -1);
    EXPECT_EQ(Table(kFirst)->rowCount(), 0);
}

TEST_F(WindowControlsTest, WorkerWaitingForAValueIsReleasedByTheClose) {
    // Nothing runs the event loop, so the worker's question stays unanswered until the close.
    auto checked = std::async(std::launch::async, [&] { return controls_.Checked(kBox) + 10; });
    EXPECT_EQ(checked.wait_for(std::chrono::milliseconds(100)), std::future_status::timeout);
    controls_.Shutdown();
    ASSERT_EQ(checked.wait_for(std::chrono::seconds(3)), std::future_status::ready);
    EXPECT_EQ(checked.get(), 10);
}

TEST_F(WindowControlsTest, PictureBoxShowsJpegAndPngAndClearsOnGarbage) {
    auto* box = dynamic_cast<PictureBox*>(window_.Control(kPicture));
    ASSERT_NE(box, nullptr);
    const QPoint centre(box->width() / 2, box->height() / 2);
    auto centreColour = [&] { return box->grab().toImage().pixelColor(centre); };
    const QColor background = centreColour();

    const QColor red(230, 20, 20);
    controls_.SetPicture(kPicture, testing::MakeJpeg(1920, 1080, red));
    EXPECT_EQ(box->PictureSize(), QSize(344, 194));
    EXPECT_TRUE(testing::SameColour(centreColour(), red));

    // From a worker: decoded there, shown on the window thread.
    const QColor blue(20, 40, 220);
    std::thread worker([&] {
        controls_.SetPicture(kPicture,
                             testing::EncodeWithQt(testing::SolidImage(100, 80, blue), "PNG"));
    });
    worker.join();
    ASSERT_TRUE(WaitUntil([&] { return box->PictureSize() == QSize(100, 80); }));
    EXPECT_TRUE(testing::SameColour(centreColour(), blue));
    // A small picture sits in the middle: the corner shows the background.
    EXPECT_TRUE(testing::SameColour(box->grab().toImage().pixelColor(2, 2), background));

    controls_.SetPicture(kPicture, ByteSet{0xFF, 0xD8, 0xFF, 0x00, 0x13, 0x37});
    EXPECT_FALSE(box->HasPicture());
    EXPECT_TRUE(testing::SameColour(centreColour(), background));

    controls_.SetPicture(kPicture, testing::MakeJpeg(10, 10, red));
    EXPECT_TRUE(box->HasPicture());
    controls_.SetPicture(kPicture, ByteSet{});
    EXPECT_FALSE(box->HasPicture());
}

TEST_F(WindowControlsTest, OpenWithShellHandsPathsAsFileUrlsAndAddressesAsThey) {
    controls_.OpenWithShell("\\tmp\\Lumeno图片 1080P\\");
    controls_.OpenWithShell("https://127.0.0.1:8808/index.html");
    controls_.OpenWithShell("");
    std::thread worker([&] { controls_.OpenWithShell("/tmp/a.jpg"); });
    worker.join();
    ASSERT_TRUE(WaitUntil([&] { return opened_.size() == 3; }));
    EXPECT_TRUE(opened_[0].isLocalFile());
    EXPECT_EQ(opened_[0].toLocalFile(),
              QString::fromStdString(NativePath("\\tmp\\Lumeno图片 1080P\\")));
    EXPECT_EQ(opened_[1], QUrl(QStringLiteral("https://127.0.0.1:8808/index.html")));
    EXPECT_EQ(opened_[2], QUrl::fromLocalFile(QStringLiteral("/tmp/a.jpg")));
}

TEST_F(WindowControlsTest, CurrentRowAndListClicksIncludingTheEmptySpaceBelowTheRows) {
    int clicks = 0;
    std::vector<int> rowsSeen;
    ASSERT_TRUE(window_.OnClicked(kFirst, [&] {
        ++clicks;
        rowsSeen.push_back(controls_.CurrentRow(kFirst));
    }));
    EXPECT_FALSE(window_.OnClicked(kLabel, [] {}));
    EXPECT_FALSE(window_.OnClicked("无此控件", [] {}));
    for (int i = 0; i < 3; ++i) controls_.AppendListRow(kFirst);
    QTableWidget* table = Table(kFirst);
    EXPECT_EQ(controls_.CurrentRow(kFirst), -1);

    const QRect second = table->visualRect(table->model()->index(1, 0));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, second.center());
    EXPECT_EQ(controls_.CurrentRow(kFirst), 1);
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {},
                      QPoint(20, table->viewport()->height() - 5));
    QTest::mouseClick(table->viewport(), Qt::RightButton, {}, second.center());
    EXPECT_EQ(clicks, 2);
    ASSERT_EQ(rowsSeen.size(), 2u);
    EXPECT_EQ(rowsSeen[0], 1);
}

TEST_F(WindowControlsTest, FatalErrorBoxForAWorker) {
    auto shown = std::async(std::launch::async, [&] {
        controls_.ShowFatalError(FatalErrorText(1, "数组成员引用下标超出定义范围"));
        return true;
    });
    ASSERT_TRUE(WaitUntil([] { return VisibleMessageBox() != nullptr; }));
    QMessageBox* box = VisibleMessageBox();
    EXPECT_EQ(box->windowTitle(), QStringLiteral(u"错误"));
    EXPECT_EQ(box->icon(), QMessageBox::Critical);
    EXPECT_TRUE(box->text().startsWith(QStringLiteral(u"运行时出错!")));
    QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    ASSERT_TRUE(WaitUntil(
        [&] { return shown.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }));
}

}  // namespace
}  // namespace lumeno::ui
