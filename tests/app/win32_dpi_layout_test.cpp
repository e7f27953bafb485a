// The Win32 main window at the DPI it is shown at, and at the DPIs a move between monitors
// gives it: every control's rectangle, the list columns and the frame are the table's scaled
// by DPI/96 (exactly the table at 96 DPI); every caption, check mark and page number fits its
// control; the preview fits its picture into the scaled box. The suite runs once in a Wine
// prefix at 96 DPI and once at 144 DPI (LUMENO_EXPECTED_DPI tells which it must find).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "app/main_window.h"
#include "app/main_window_controls.h"
#include "crawler/control_names.h"
#include "tests/ui/window_test_support.h"
#include "ui/win32/win32_dpi.h"
#include "ui/win32/win32_form.h"
#include "ui/win32/win32_text.h"

LUMENO_WINDOW_TEST_ENVIRONMENT();

namespace lumeno {
namespace {

using ui::ControlKind;
using ui::win32::ScaleForDpi;

constexpr const char* kTestBaseUrl = "http://127.0.0.1:45678";
constexpr int kDpis[] = {96, 120, 144, 192};

class DpiLayoutTest : public ::testing::Test {
protected:
    DpiLayoutTest()
        : window_(kTestBaseUrl),
          form_(dynamic_cast<ui::win32::Win32Form&>(window_.Form())),
          driver_(testing::DriveForm(window_.Form())),
          table_(MainWindowControls(kTestBaseUrl)) {
        window_.Show();
        EXPECT_TRUE(driver_->WaitExposed());
    }
    ~DpiLayoutTest() override { window_.Form().Close(); }

    // Tells the window it now shows at `dpi`, as Windows does when it moves to another
    // monitor, with the rectangle Windows suggests: the same corner, the size for that DPI.
    void ChangeDpi(int dpi) {
        RECT now;
        ::GetWindowRect(form_.Handle(), &now);
        SIZE size{};
        ASSERT_TRUE(::SendMessageW(form_.Handle(), 0x02E4 /* WM_GETDPISCALEDSIZE */, dpi,
                                   reinterpret_cast<LPARAM>(&size)));
        suggested_ = {now.left, now.top, now.left + size.cx, now.top + size.cy};
        ::SendMessageW(form_.Handle(), 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(dpi, dpi),
                       reinterpret_cast<LPARAM>(&suggested_));
        ASSERT_EQ(form_.Dpi(), dpi);
    }

    // Each control where the table puts it, scaled; the list views' columns likewise.
    void ExpectPlacedFor(int dpi) {
        const int tolerance = dpi == ui::win32::kDesignDpi ? 0 : 1;
        for (const ui::ControlRow& row : table_) {
            SCOPED_TRACE(row.name);
            const testing::Rect shown = driver_->Control(row.name)->geometry;
            EXPECT_NEAR(shown.left, ScaleForDpi(row.left, dpi), tolerance);
            EXPECT_NEAR(shown.top, ScaleForDpi(row.top, dpi), tolerance);
            EXPECT_NEAR(shown.width, ScaleForDpi(row.width, dpi), tolerance);
            EXPECT_NEAR(shown.height, ScaleForDpi(row.height, dpi), tolerance);
            if (row.kind != ControlKind::ListView) continue;
            const testing::ListStyle style = driver_->ListStyleOf(row.name);
            ASSERT_EQ(style.columns.size(), 2u);
            for (std::size_t column = 0; column < 2; ++column) {
                EXPECT_NEAR(style.columns[column].second,
                            ScaleForDpi(row.columns[column].width, dpi), tolerance);
            }
        }
    }

    // The room each caption, check mark and edit line takes, inside its control.
    void ExpectCaptionsFit(int dpi) {
        HDC screen = ::GetDC(nullptr);
        for (const ui::ControlRow& row : table_) {
            SCOPED_TRACE(row.name);
            HWND control = form_.Control(row.name);
            ASSERT_NE(control, nullptr);
            const std::wstring text = ui::win32::Wide(driver_->Control(row.name)->text);
            HGDIOBJ previous = ::SelectObject(
                screen, reinterpret_cast<HGDIOBJ>(::SendMessageW(control, WM_GETFONT, 0, 0)));
            SIZE extent{};
            ::GetTextExtentPoint32W(screen, text.c_str(), static_cast<int>(text.size()), &extent);
            TEXTMETRICW metrics{};
            ::GetTextMetricsW(screen, &metrics);
            ::SelectObject(screen, previous);
            RECT client;
            ::GetClientRect(control, &client);
            switch (row.kind) {
                case ControlKind::Label:
                    EXPECT_LE(extent.cx, client.right);
                    EXPECT_LE(metrics.tmHeight, client.bottom);
                    break;
                case ControlKind::Button: {
                    const int edge = ui::win32::SystemMetricForDpi(SM_CXEDGE, dpi);
                    EXPECT_LE(extent.cx + 2 * edge, client.right);
                    EXPECT_LE(metrics.tmHeight + 2 * edge, client.bottom);
                    break;
                }
                case ControlKind::CheckBox: {
                    const int check = ui::win32::SystemMetricForDpi(SM_CXMENUCHECK, dpi);
                    const int gap = ui::win32::SystemMetricForDpi(SM_CXEDGE, dpi);
                    EXPECT_LE(check + gap + extent.cx, client.right);
                    EXPECT_LE(std::max<int>(check, metrics.tmHeight), client.bottom);
                    break;
                }
                case ControlKind::EditBox: {
                    // The line the edit box draws its text in lies whole inside its border.
                    RECT line{};
                    ::SendMessageW(control, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&line));
                    EXPECT_GE(line.top, 0);
                    EXPECT_LE(line.top + metrics.tmHeight, client.bottom);
                    EXPECT_LE(extent.cx, line.right - line.left);
                    break;
                }
                default:
                    break;
            }
        }
        ::ReleaseDC(nullptr, screen);
    }

    MainWindow window_;
    ui::win32::Win32Form& form_;
    std::unique_ptr<testing::FormDriver> driver_;
    std::vector<ui::ControlRow> table_;
    RECT suggested_{};
};

TEST_F(DpiLayoutTest, ControlsColumnsAndFrameFollowTheDpiShownAt) {
    const int dpi = form_.Dpi();
    if (const char* expected = std::getenv("LUMENO_EXPECTED_DPI")) {
        ASSERT_EQ(dpi, std::atoi(expected)) << "the test prefix's DPI did not take effect";
    }
    ExpectPlacedFor(dpi);
    ExpectCaptionsFit(dpi);

    const testing::FrameView frame = driver_->Frame();
    if (dpi == ui::win32::kDesignDpi) {
        EXPECT_EQ(frame.outer.width, kMainWindowOuterWidth);
        EXPECT_EQ(frame.outer.height, kMainWindowOuterHeight);
    }
    // The client area is the one the frame holds at 96 DPI, scaled; the frame around it is
    // measured for the DPI.
    const SIZE designFrame = ui::win32::FrameSizeForClient(
        0, 0, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0, 96);
    EXPECT_NEAR(frame.client.width, ScaleForDpi(kMainWindowOuterWidth - designFrame.cx, dpi), 1);
    EXPECT_NEAR(frame.client.height, ScaleForDpi(kMainWindowOuterHeight - designFrame.cy, dpi), 1);
    EXPECT_NEAR(frame.outer.left,
                frame.workArea.left + (frame.workArea.width - frame.outer.width) / 2, 1);
}

TEST_F(DpiLayoutTest, MovingToAMonitorOfAnotherDpiLaysTheWindowOutAgain) {
    const int shownAt = form_.Dpi();
    for (const int dpi : kDpis) {
        SCOPED_TRACE(dpi);
        ChangeDpi(dpi);
        ExpectPlacedFor(dpi);
        ExpectCaptionsFit(dpi);
        const testing::FrameView frame = driver_->Frame();
        EXPECT_EQ(frame.outer, (testing::Rect{suggested_.left, suggested_.top,
                                              suggested_.right - suggested_.left,
                                              suggested_.bottom - suggested_.top}));
        // Every control that starts inside the window stays inside its client area.
        for (const ui::ControlRow& row : table_) {
            const testing::Rect shown = driver_->Control(row.name)->geometry;
            if (shown.left >= frame.client.width) continue;
            EXPECT_LE(shown.left + shown.width, frame.client.width) << row.name;
            EXPECT_LE(shown.top + shown.height, frame.client.height) << row.name;
        }
    }
    ChangeDpi(shownAt);
    ExpectPlacedFor(shownAt);
}

TEST_F(DpiLayoutTest, PreviewFitsItsPictureIntoTheScaledBox) {
    const char* box = controls::图片框1;
    window_.Controls().SetPicture(box, testing::MakeJpeg(1280, 720, {200, 40, 40}));
    ASSERT_TRUE(testing::WaitUntil([&] { return driver_->HasPicture(box); }));
    for (const int dpi : {form_.Dpi(), 192, 96}) {
        SCOPED_TRACE(dpi);
        if (dpi != form_.Dpi()) ChangeDpi(dpi);
        // Wider than the box: its width fills the box, its height keeps the aspect.
        const ui::PictureSize shown = driver_->PictureShown(box);
        EXPECT_EQ(shown.width, std::min(1280, ScaleForDpi(344, dpi)));
        EXPECT_NEAR(shown.height, shown.width * 720 / 1280, 1);
        EXPECT_LE(shown.height, ScaleForDpi(206, dpi));
    }
}

}  // namespace
}  // namespace lumeno
