// The main window's frame under a real X server and window manager: CTest runs this program
// under xvfb-run with openbox. The window advertises moving, minimising and closing only, the
// manager offers neither resizing nor maximising, and the frame measures 703 x 403 and stays so.
#include <xcb/xcb.h>

#include <gtest/gtest.h>

#include <QGuiApplication>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/main_window.h"
#include "tests/ui/qt_test_environment.h"
#include "ui/qt_form.h"

LUMENO_QT_TEST_ENVIRONMENT();

namespace lumeno {
namespace {

class WindowFrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (QGuiApplication::platformName() != "xcb") GTEST_SKIP() << "needs an X server";
        x_ = xcb_connect(nullptr, nullptr);
        // openbox starts beside this program and drops a window mapped in the last moments of
        // its start-up: show the window once openbox has loaded its theme, and once more if
        // openbox has not taken it.
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(x_)).data->root;
        ASSERT_TRUE(testing::WaitUntil([&] { return !Property("_OB_THEME", root, 8).empty(); }));
        window_.Show();
        const auto managed = [this] { return !Property("WM_STATE").empty(); };
        if (!testing::WaitUntil(managed, std::chrono::seconds(2))) {
            Form().hide();
            window_.Show();
        }
        // Framed once the manager publishes the frame and the window has been fitted to it.
        ASSERT_TRUE(testing::WaitUntil(
            [this] { return Property("_NET_FRAME_EXTENTS").size() == 4 && Form().height() != 374; },
            std::chrono::seconds(10)));
    }
    void TearDown() override {
        if (x_) xcb_disconnect(x_);
    }

    ui::FormWindow& Form() { return static_cast<ui::QtForm&>(window_.Form()).Window(); }
    xcb_atom_t Atom(const char* name) {
        auto* reply = xcb_intern_atom_reply(
            x_, xcb_intern_atom(x_, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
        const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
        std::free(reply);
        return atom;
    }
    // The items of a property of the main window or another (empty when it is not set).
    std::vector<uint32_t> Property(const char* name, xcb_window_t id = 0, int format = 32) {
        if (id == 0) id = static_cast<xcb_window_t>(Form().winId());
        auto* reply = xcb_get_property_reply(
            x_, xcb_get_property(x_, 0, id, Atom(name), XCB_GET_PROPERTY_TYPE_ANY, 0, 64), nullptr);
        std::vector<uint32_t> items;
        if (reply && reply->format == format) {
            const auto* data = static_cast<const uint8_t*>(xcb_get_property_value(reply));
            const int length = xcb_get_property_value_length(reply);
            for (int i = 0; i + format / 8 <= length; i += format / 8) {
                uint32_t item = 0;
                std::memcpy(&item, data + i, static_cast<std::size_t>(format / 8));
                items.push_back(item);
            }
        }
        std::free(reply);
        return items;
    }
    bool Allowed(const char* action) {
        const std::vector<uint32_t> actions = Property("_NET_WM_ALLOWED_ACTIONS");
        return std::find(actions.begin(), actions.end(), Atom(action)) != actions.end();
    }

    xcb_connection_t* x_ = nullptr;
    MainWindow window_{"http://127.0.0.1:45680"};
};

TEST_F(WindowFrameTest, MoveMinimiseAndCloseOnly) {
    // Motif hints: flags, functions (move 4, minimise 8, close 32), decorations (border 2,
    // title 8, menu 16, minimise button 32): no resizing (2, handles 4), no maximising (16, 64).
    const std::vector<uint32_t> hints = Property("_MOTIF_WM_HINTS");
    ASSERT_GE(hints.size(), 3u);
    EXPECT_EQ(hints[0] & 3u, 3u);
    EXPECT_EQ(hints[1], 4u | 8u | 32u);
    EXPECT_EQ(hints[2], 2u | 8u | 16u | 32u);
    // What the window manager makes of them.
    for (const char* action :
         {"_NET_WM_ACTION_MOVE", "_NET_WM_ACTION_MINIMIZE", "_NET_WM_ACTION_CLOSE"})
        EXPECT_TRUE(Allowed(action)) << action;
    for (const char* action :
         {"_NET_WM_ACTION_RESIZE", "_NET_WM_ACTION_MAXIMIZE_HORZ", "_NET_WM_ACTION_MAXIMIZE_VERT"})
        EXPECT_FALSE(Allowed(action)) << action;
}

TEST_F(WindowFrameTest, FrameMeasures703By403AndStaysSoWhenMaximised) {
    const std::vector<uint32_t> extents = Property("_NET_FRAME_EXTENTS");  // left right top bottom
    EXPECT_EQ(Form().width() + static_cast<int>(extents[0] + extents[1]), 703);
    EXPECT_EQ(Form().height() + static_cast<int>(extents[2] + extents[3]), 403);
    Form().showMaximized();
    Form().resize(900, 600);
    testing::WaitUntil([] { return false; }, std::chrono::milliseconds(500));
    EXPECT_EQ(Form().frameGeometry().size(), QSize(703, 403));
    EXPECT_TRUE(Property("_NET_WM_STATE").empty());  // neither maximised nor anything else
}

}  // namespace
}  // namespace lumeno
