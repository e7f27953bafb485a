// The main window's frame under a real X server and window manager (Xvfb and openbox, started
// by this program on a free display): the window advertises moving, minimising and closing
// only, the window manager offers neither resizing nor maximising, maximise requests leave it
// alone, and the frame measures 703 x 403. Skipped, with the reason, where Xvfb or openbox is
// not installed.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <gtest/gtest.h>

#include <QScreen>
#include <QTest>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/main_window_controls.h"
#include "tests/ui/qt_test_environment.h"
#include "ui/form_window.h"

namespace lumeno {
namespace {

// Why the tests cannot run here; empty when the X server and window manager are up.
std::string g_skipReason;
std::string g_display;

bool OnPath(const char* program) {
    const std::string command = std::string("command -v ") + program + " >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

// Starts a program with its output discarded; the child keeps the descriptors it inherits.
pid_t Spawn(const std::vector<std::string>& args) {
    const pid_t pid = fork();
    if (pid != 0) return pid;
    const int null = open("/dev/null", O_RDWR);
    dup2(null, STDOUT_FILENO);
    dup2(null, STDERR_FILENO);
    std::vector<char*> argv;
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
}

// An X connection of the test's own, for reading what the window and its manager publish.
class XConnection {
public:
    XConnection() : connection_(xcb_connect(g_display.c_str(), nullptr)) {}
    ~XConnection() { xcb_disconnect(connection_); }
    XConnection(const XConnection&) = delete;
    XConnection& operator=(const XConnection&) = delete;

    bool Ok() const { return xcb_connection_has_error(connection_) == 0; }
    xcb_window_t Root() const {
        return xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
    }

    xcb_atom_t Atom(const char* name) {
        auto cookie =
            xcb_intern_atom(connection_, 0, static_cast<uint16_t>(std::strlen(name)), name);
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection_, cookie, nullptr);
        const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
        std::free(reply);
        return atom;
    }

    // The 32-bit items of a window property (empty when it is not set).
    std::vector<uint32_t> Property(xcb_window_t window, const char* name) {
        auto cookie =
            xcb_get_property(connection_, 0, window, Atom(name), XCB_GET_PROPERTY_TYPE_ANY, 0, 64);
        xcb_get_property_reply_t* reply = xcb_get_property_reply(connection_, cookie, nullptr);
        std::vector<uint32_t> items;
        if (reply && reply->format == 32) {
            const auto* data = static_cast<const uint32_t*>(xcb_get_property_value(reply));
            items.assign(data, data + xcb_get_property_value_length(reply) / 4);
        }
        std::free(reply);
        return items;
    }

    // Asks the window manager, as a pager or taskbar does, to maximise `window` both ways.
    void RequestMaximise(xcb_window_t window) {
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = window;
        event.type = Atom("_NET_WM_STATE");
        event.data.data32[0] = 1;  // add
        event.data.data32[1] = Atom("_NET_WM_STATE_MAXIMIZED_HORZ");
        event.data.data32[2] = Atom("_NET_WM_STATE_MAXIMIZED_VERT");
        event.data.data32[3] = 1;  // from an application
        xcb_send_event(connection_, 0, Root(),
                       XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&event));
        xcb_flush(connection_);
    }

private:
    xcb_connection_t* connection_;
};

// Xvfb on a display it picks itself, then openbox on it; torn down after the last test.
class XServerEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (!OnPath("Xvfb") || !OnPath("openbox")) {
            g_skipReason = "Xvfb and openbox are needed (scripts/install-deps.sh installs them)";
            return;
        }
        int fds[2];
        if (pipe(fds) != 0) return Fail("no pipe");
        server_ = Spawn({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0",
                         "1280x1024x24", "-nolisten", "tcp", "-noreset"});
        close(fds[1]);
        std::string number;
        pollfd wait{fds[0], POLLIN, 0};
        char c;
        while (poll(&wait, 1, 10000) == 1 && read(fds[0], &c, 1) == 1 && c != '\n') number += c;
        close(fds[0]);
        if (number.empty()) return Fail("Xvfb did not start");
        g_display = ":" + number;
        setenv("DISPLAY", g_display.c_str(), 1);
        manager_ = Spawn({"openbox", "--sm-disable"});
        // The manager is up once it names itself on the root window.
        XConnection x;
        for (int i = 0; i < 200 && x.Ok(); ++i) {
            if (!x.Property(x.Root(), "_NET_SUPPORTING_WM_CHECK").empty()) {
                setenv("QT_QPA_PLATFORM", "xcb", 1);
                application_.SetUp();
                return;
            }
            usleep(50000);
        }
        Fail("openbox did not start");
    }
    void TearDown() override {
        if (g_skipReason.empty() && server_ > 0) application_.TearDown();
        for (pid_t pid : {manager_, server_}) {
            if (pid <= 0) continue;
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
        }
    }

private:
    void Fail(const char* why) { g_skipReason = why; }

    pid_t server_ = -1;
    pid_t manager_ = -1;
    testing::QtApplicationEnvironment application_;
};

class WindowFrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!g_skipReason.empty()) GTEST_SKIP() << g_skipReason;
        window_ = std::make_unique<MainWindow>("http://127.0.0.1:45680");
        window_->Show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window_->Window()));
        // Framed: the manager has put its frame around the window and the fit is done.
        ASSERT_TRUE(testing::WaitUntil([this] {
            return !Form().frameGeometry().size().isEmpty() &&
                   Form().frameGeometry().size() != Form().size() &&
                   !x_.Property(Id(), "_NET_FRAME_EXTENTS").empty();
        }));
        testing::WaitUntil([] { return false; }, std::chrono::milliseconds(300));
    }
    void TearDown() override {
        if (window_) window_->Window().close();
    }

    ui::FormWindow& Form() { return window_->Window(); }
    xcb_window_t Id() { return static_cast<xcb_window_t>(Form().winId()); }
    std::vector<uint32_t> AllowedActions() { return x_.Property(Id(), "_NET_WM_ALLOWED_ACTIONS"); }
    bool Allowed(const char* action) {
        const xcb_atom_t atom = x_.Atom(action);
        for (uint32_t a : AllowedActions())
            if (a == atom) return true;
        return false;
    }

    XConnection x_;
    std::unique_ptr<MainWindow> window_;
};

TEST_F(WindowFrameTest, HintsAdvertiseMoveMinimiseAndCloseOnly) {
    const std::vector<uint32_t> hints = x_.Property(Id(), "_MOTIF_WM_HINTS");
    ASSERT_GE(hints.size(), 3u);
    constexpr uint32_t kResize = 1u << 1, kMove = 1u << 2, kMinimise = 1u << 3, kMaximise = 1u << 4,
                       kClose = 1u << 5;
    EXPECT_EQ(hints[0] & 3u, 3u);  // functions and decorations both given
    EXPECT_EQ(hints[1], kMove | kMinimise | kClose);
    EXPECT_EQ(hints[1] & (kResize | kMaximise | 1u), 0u);
    constexpr uint32_t kResizeHandles = 1u << 2, kTitle = 1u << 3, kMenu = 1u << 4,
                       kMinimiseButton = 1u << 5, kMaximiseButton = 1u << 6;
    EXPECT_EQ(hints[2] & (kResizeHandles | kMaximiseButton | 1u), 0u);
    EXPECT_EQ(hints[2] & (kTitle | kMenu | kMinimiseButton), kTitle | kMenu | kMinimiseButton);
}

TEST_F(WindowFrameTest, WindowManagerOffersNeitherResizingNorMaximising) {
    ASSERT_FALSE(AllowedActions().empty());
    for (const char* action :
         {"_NET_WM_ACTION_MOVE", "_NET_WM_ACTION_MINIMIZE", "_NET_WM_ACTION_CLOSE"})
        EXPECT_TRUE(Allowed(action)) << action;
    for (const char* action :
         {"_NET_WM_ACTION_RESIZE", "_NET_WM_ACTION_MAXIMIZE_HORZ", "_NET_WM_ACTION_MAXIMIZE_VERT"})
        EXPECT_FALSE(Allowed(action)) << action;
}

TEST_F(WindowFrameTest, FrameMeasures703By403AndSitsCentred) {
    const std::vector<uint32_t> extents = x_.Property(Id(), "_NET_FRAME_EXTENTS");  // l r t b
    ASSERT_EQ(extents.size(), 4u);
    const QSize client = Form().size();
    EXPECT_EQ(client.width() + static_cast<int>(extents[0] + extents[1]), kMainWindowOuterWidth);
    EXPECT_EQ(client.height() + static_cast<int>(extents[2] + extents[3]), kMainWindowOuterHeight);
    EXPECT_EQ(Form().frameGeometry().size(), QSize(kMainWindowOuterWidth, kMainWindowOuterHeight));
    EXPECT_EQ(Form().minimumSize(), Form().maximumSize());
    const QRect area = Form().screen()->availableGeometry();
    EXPECT_NEAR(Form().frameGeometry().center().x(), area.center().x(), 1);
    EXPECT_NEAR(Form().frameGeometry().center().y(), area.center().y(), 1);
}

TEST_F(WindowFrameTest, MaximiseAndResizeRequestsLeaveTheFrameAsItIs) {
    const QRect before = Form().frameGeometry();
    x_.RequestMaximise(Id());
    Form().showMaximized();
    Form().resize(900, 600);
    testing::WaitUntil([] { return false; }, std::chrono::milliseconds(500));
    EXPECT_EQ(Form().frameGeometry().size(), before.size());
    EXPECT_EQ(x_.Property(Id(), "_NET_WM_STATE").size(), 0u);  // not maximised either way
}

}  // namespace
}  // namespace lumeno

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new lumeno::XServerEnvironment);
    return RUN_ALL_TESTS();
}
