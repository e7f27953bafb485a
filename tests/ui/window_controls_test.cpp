// The window services on real controls: calls from the window thread and from workers, the
// row count kept in call order, worker message boxes that leave the window usable, the picture
// box, the shell's open verb, list clicks, and everything after the window has closed.
#include <atomic>
#include <future>
#include <thread>

#include <gtest/gtest.h>

#include "tests/ui/test_pictures.h"
#include "tests/ui/window_test_support.h"
#include "ui/window_system.h"
#include "util/runtime_services.h"

LUMENO_WINDOW_TEST_ENVIRONMENT();

namespace lumeno::ui {
namespace {

using testing::Colour;
using testing::PressMessageBoxButton;
using testing::SameColour;
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
        : form_(CreateForm(WindowLayout{"测试", 700, 320, kControls},
                           [this](const std::string& target) {
                               std::lock_guard lock(openedMutex_);
                               opened_.push_back(target);
                               return true;
                           })),
          controls_(form_->Controls()),
          driver_(testing::DriveForm(*form_)) {
        form_->Show(706, 349);
        EXPECT_TRUE(driver_->WaitExposed());
    }
    ~WindowControlsTest() override {
        form_->Close();
        WaitUntil([] { return !VisibleMessageBox(); }, std::chrono::seconds(2));
    }

    bool BoxChecked() { return driver_->Control(kBox)->checked; }
    std::vector<std::string> Opened() {
        std::lock_guard lock(openedMutex_);
        return opened_;
    }

    std::mutex openedMutex_;
    std::vector<std::string> opened_;
    std::unique_ptr<Form> form_;
    WindowControls& controls_;
    std::unique_ptr<testing::FormDriver> driver_;
};

TEST_F(WindowControlsTest, PropertiesOnTheWindowThread) {
    EXPECT_EQ(controls_.Checked(kBox), 0);
    controls_.SetChecked(kBox, 1);
    EXPECT_TRUE(BoxChecked());
    EXPECT_EQ(controls_.Checked(kBox), 1);
    controls_.SetChecked(kBox, 7);  // anything but 1 unchecks
    EXPECT_EQ(controls_.Checked(kBox), 0);

    controls_.SetDisabled(kBox, 3);
    EXPECT_FALSE(driver_->Control(kBox)->enabled);
    EXPECT_EQ(controls_.Disabled(kBox), 1);
    controls_.SetDisabled(kBox, 0);
    EXPECT_EQ(controls_.Disabled(kBox), 0);

    EXPECT_EQ(controls_.Content(kEdit), "12");
    driver_->SetEditText(kEdit, "第三页");
    EXPECT_EQ(controls_.Content(kEdit), "第三页");

    controls_.SetCaption(kLabel, "温馨提示 - 读取 a");
    EXPECT_EQ(driver_->Control(kLabel)->text, "温馨提示 - 读取 a");

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
    EXPECT_EQ(driver_->Rows(kFirst), 2);
    EXPECT_EQ(driver_->Cell(kFirst, 1), "http://127.0.0.1/图.jpg");
    EXPECT_EQ(controls_.ListCellText(kFirst, 1), "http://127.0.0.1/图.jpg");
    EXPECT_EQ(controls_.ListCellText(kFirst, 0), "");
    EXPECT_EQ(controls_.ListCellText(kFirst, 1, 1), "");
    EXPECT_EQ(controls_.ListCellText(kFirst, 7), "");
    EXPECT_EQ(controls_.ListCellText(kFirst, -1), "");
    controls_.SetListCellText(kFirst, 1, 0, "changed");
    EXPECT_EQ(controls_.ListCellText(kFirst, 1), "changed");
    // A cell longer than the first read buffer comes back whole.
    const Text longText = "http://127.0.0.1/" + Text(1500, 'x') + "图.jpg";
    controls_.SetListCellText(kFirst, 0, 0, longText);
    EXPECT_EQ(controls_.ListCellText(kFirst, 0), longText);
    controls_.ClearListRows(kFirst);
    EXPECT_EQ(driver_->Rows(kFirst), 0);
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
    while (!done || driver_->PendingCalls() > 0) {
        driver_->Click(kBox);
        ++clicks;
        testing::TestWindowSystem().ProcessEvents();
    }
    worker.join();
    EXPECT_EQ(BoxChecked(), clicks % 2 == 1);
    EXPECT_EQ(mismatches, 0);
    driver_->FlushCalls();
    ASSERT_EQ(driver_->Rows(kFirst), kRows);
    ASSERT_EQ(driver_->Rows(kSecond), kRows);
    EXPECT_EQ(controls_.ListRowCount(kFirst), kRows);
    EXPECT_EQ(controls_.ListRowCount(kSecond), kRows);
    int wrong = 0;
    for (int i = 0; i < kRows; ++i) {
        if (driver_->Cell(kFirst, i) != "大图" + ToText(i) ||
            driver_->Cell(kSecond, i) != "小图" + ToText(i)) {
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
    EXPECT_EQ(driver_->Rows(kFirst), 101);
    EXPECT_EQ(driver_->Cell(kFirst, 100), "last");
}

TEST_F(WindowControlsTest, WorkerMessageBoxLeavesTheWindowUsableAndReturnsTheAnswer) {
    struct Case {
        int buttons;
        int answer;
    };
    for (const Case& c : {Case{4, kAnswerYes}, Case{4, kAnswerNo}, Case{0, kAnswerOk}}) {
        auto answer = std::async(std::launch::async, [&] {
            return controls_.ShowMessageBox("保存成功，是否打开文件夹查看？", c.buttons,
                                            "Kestrune - 提示");
        });
        ASSERT_TRUE(WaitUntil([] { return VisibleMessageBox().has_value(); }));
        const testing::MessageBoxView box = *VisibleMessageBox();
        EXPECT_EQ(box.title, "Kestrune - 提示");
        EXPECT_EQ(box.text, "保存成功，是否打开文件夹查看？");
        EXPECT_FALSE(box.hasOwner);

        // The window still takes clicks while the worker waits.
        const bool before = BoxChecked();
        driver_->Click(kBox);
        EXPECT_NE(BoxChecked(), before);
        EXPECT_EQ(answer.wait_for(std::chrono::milliseconds(0)), std::future_status::timeout);

        ASSERT_TRUE(PressMessageBoxButton(c.answer));
        ASSERT_TRUE(WaitUntil(
            [&] { return answer.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }));
        EXPECT_EQ(answer.get(), c.answer);
    }
}

TEST_F(WindowControlsTest, ClosingTheWindowReleasesWaitingWorkersWithEmptyValues) {
    auto answer = std::async(std::launch::async, [&] {
        return controls_.ShowMessageBox("问题", kButtonsYesNo, "标题");
    });
    ASSERT_TRUE(WaitUntil([] { return VisibleMessageBox().has_value(); }));
    form_->Close();
    EXPECT_TRUE(form_->IsShutDown());
    // The worker's box goes away with the window and the worker gets an empty answer.
    ASSERT_EQ(answer.wait_for(std::chrono::seconds(3)), std::future_status::ready);
    EXPECT_EQ(answer.get(), 0);
    EXPECT_TRUE(WaitUntil([] { return !VisibleMessageBox(); }));

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
    EXPECT_FALSE(BoxChecked());
    // The window thread gets the same.
    EXPECT_EQ(controls_.Content(kEdit), "");
    EXPECT_EQ(controls_.AppendListRow(kFirst), -1);
    EXPECT_EQ(driver_->Rows(kFirst), 0);
}

TEST_F(WindowControlsTest, WorkerWaitingForAValueIsReleasedByTheClose) {
    // Nothing runs the event loop, so the worker's question stays unanswered until the close.
    auto checked = std::async(std::launch::async, [&] { return controls_.Checked(kBox) + 10; });
    EXPECT_EQ(checked.wait_for(std::chrono::milliseconds(100)), std::future_status::timeout);
    form_->Shutdown();
    ASSERT_EQ(checked.wait_for(std::chrono::seconds(3)), std::future_status::ready);
    EXPECT_EQ(checked.get(), 10);
}

TEST_F(WindowControlsTest, PictureBoxShowsJpegAndPngAndClearsOnGarbage) {
    const int centreX = 344 / 2;
    const int centreY = 206 / 2;
    auto centreColour = [&] { return driver_->ColourAt(kPicture, centreX, centreY); };
    const Colour background = centreColour();

    const Colour red{230, 20, 20};
    controls_.SetPicture(kPicture, testing::MakeJpeg(1920, 1080, red));
    EXPECT_EQ(driver_->PictureShown(kPicture), (PictureSize{344, 194}));
    EXPECT_TRUE(SameColour(centreColour(), red));

    // From a worker: decoded there, shown on the window thread.
    const Colour blue{20, 40, 220};
    std::thread worker([&] { controls_.SetPicture(kPicture, testing::MakePng(100, 80, blue)); });
    worker.join();
    ASSERT_TRUE(WaitUntil([&] { return driver_->PictureShown(kPicture) == PictureSize{100, 80}; }));
    EXPECT_TRUE(SameColour(centreColour(), blue));
    // A small picture sits in the middle: the corner shows the background, the picture's
    // own corner lies where centring puts it.
    EXPECT_TRUE(SameColour(driver_->ColourAt(kPicture, 2, 2), background));
    EXPECT_TRUE(SameColour(driver_->ColourAt(kPicture, 122 + 1, 63 + 1), blue));
    EXPECT_TRUE(SameColour(driver_->ColourAt(kPicture, 122 - 2, 63 - 2), background));

    controls_.SetPicture(kPicture, ByteSet{0xFF, 0xD8, 0xFF, 0x00, 0x13, 0x37});
    EXPECT_FALSE(driver_->HasPicture(kPicture));
    EXPECT_TRUE(SameColour(centreColour(), background));

    controls_.SetPicture(kPicture, testing::MakeJpeg(10, 10, red));
    EXPECT_TRUE(driver_->HasPicture(kPicture));
    controls_.SetPicture(kPicture, ByteSet{});
    EXPECT_FALSE(driver_->HasPicture(kPicture));
}

TEST_F(WindowControlsTest, OpenWithShellHandsAddressesOnAsTheyAre) {
    controls_.OpenWithShell("https://127.0.0.1:8808/index.html");
    controls_.OpenWithShell("");
    std::thread worker([&] { controls_.OpenWithShell("http://127.0.0.1/图.jpg"); });
    worker.join();
    ASSERT_TRUE(WaitUntil([&] { return Opened().size() == 2; }));
    EXPECT_EQ(Opened()[0], "https://127.0.0.1:8808/index.html");
    EXPECT_NE(Opened()[1].find("127.0.0.1/"), std::string::npos) << Opened()[1];
}

TEST_F(WindowControlsTest, CurrentRowAndListClicksIncludingTheEmptySpaceBelowTheRows) {
    int clicks = 0;
    std::vector<int> rowsSeen;
    ASSERT_TRUE(form_->OnClicked(kFirst, [&] {
        ++clicks;
        rowsSeen.push_back(controls_.CurrentRow(kFirst));
    }));
    EXPECT_FALSE(form_->OnClicked(kLabel, [] {}));
    EXPECT_FALSE(form_->OnClicked("无此控件", [] {}));
    for (int i = 0; i < 3; ++i) controls_.AppendListRow(kFirst);
    EXPECT_EQ(controls_.CurrentRow(kFirst), -1);

    driver_->ClickListRow(kFirst, 1);
    EXPECT_EQ(controls_.CurrentRow(kFirst), 1);
    driver_->ClickListBelowRows(kFirst);
    driver_->ClickListRow(kFirst, 1, true);
    EXPECT_EQ(clicks, 2);
    ASSERT_EQ(rowsSeen.size(), 2u);
    EXPECT_EQ(rowsSeen[0], 1);
}

TEST_F(WindowControlsTest, FatalErrorBoxForAWorker) {
    auto shown = std::async(std::launch::async, [&] {
        form_->ShowFatalError(FatalErrorText(1, "数组成员引用下标超出定义范围"));
        return true;
    });
    ASSERT_TRUE(WaitUntil([] { return VisibleMessageBox().has_value(); }));
    const testing::MessageBoxView box = *VisibleMessageBox();
    EXPECT_EQ(box.title, "错误");
    EXPECT_TRUE(box.errorIcon);
    EXPECT_TRUE(box.text.starts_with("运行时出错!")) << box.text;
    ASSERT_TRUE(PressMessageBoxButton(kAnswerOk));
    ASSERT_TRUE(WaitUntil(
        [&] { return shown.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }));
}

}  // namespace
}  // namespace lumeno::ui
