// Motif window-manager hints and the frame extents, through Qt's X11 connection.
#include "ui/x11_frame.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QObject>

#ifdef LUMENO_HAVE_XCB
#include <xcb/xcb.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#endif

namespace lumeno::ui {

#ifdef LUMENO_HAVE_XCB
namespace {

// The _MOTIF_WM_HINTS layout and bits as window managers read them.
constexpr std::uint32_t kHintsFunctions = 1u << 0;
constexpr std::uint32_t kHintsDecorations = 1u << 1;
constexpr std::uint32_t kFunctionMove = 1u << 2;
constexpr std::uint32_t kFunctionMinimize = 1u << 3;
constexpr std::uint32_t kFunctionClose = 1u << 5;
constexpr std::uint32_t kDecorationBorder = 1u << 1;
constexpr std::uint32_t kDecorationTitle = 1u << 3;
constexpr std::uint32_t kDecorationMenu = 1u << 4;
constexpr std::uint32_t kDecorationMinimize = 1u << 5;

xcb_connection_t* Connection() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

xcb_atom_t InternAtom(xcb_connection_t* connection, const char* name) {
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    const xcb_atom_t atom = reply != nullptr ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return atom;
}

// Watches the property notifications of one window for its frame extents. A child of the
// window, so it ends with it.
class FrameExtentsFilter final : public QObject, public QAbstractNativeEventFilter {
public:
    FrameExtentsFilter(QWidget& window, std::function<void(QMargins)> changed)
        : QObject(&window),
          connection_(Connection()),
          window_(static_cast<xcb_window_t>(window.winId())),
          extents_(InternAtom(connection_, "_NET_FRAME_EXTENTS")),
          changed_(std::move(changed)) {
        QCoreApplication::instance()->installNativeEventFilter(this);
    }
    ~FrameExtentsFilter() override {
        if (QCoreApplication* application = QCoreApplication::instance())
            application->removeNativeEventFilter(this);
    }

    // Reads the property and reports it when it is there.
    void Read() {
        const xcb_get_property_cookie_t cookie =
            xcb_get_property(connection_, 0, window_, extents_, XCB_ATOM_CARDINAL, 0, 4);
        xcb_get_property_reply_t* reply = xcb_get_property_reply(connection_, cookie, nullptr);
        if (reply != nullptr && reply->format == 32 && xcb_get_property_value_length(reply) == 16) {
            const auto* v = static_cast<const std::uint32_t*>(xcb_get_property_value(reply));
            // The property's order is left, right, top, bottom.
            changed_(QMargins(static_cast<int>(v[0]), static_cast<int>(v[2]),
                              static_cast<int>(v[1]), static_cast<int>(v[3])));
        }
        std::free(reply);
    }

    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        if (type != "xcb_generic_event_t") return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        if ((event->response_type & 0x7F) != XCB_PROPERTY_NOTIFY) return false;
        const auto* notify = static_cast<const xcb_property_notify_event_t*>(message);
        if (notify->window == window_ && notify->atom == extents_) {
            // Read after Qt has seen the event too: the handler may resize the window.
            QMetaObject::invokeMethod(
                this, [this] { Read(); }, Qt::QueuedConnection);
        }
        return false;
    }

private:
    xcb_connection_t* connection_;
    xcb_window_t window_;
    xcb_atom_t extents_;
    std::function<void(QMargins)> changed_;
};

}  // namespace

bool OnX11() {
    return Connection() != nullptr;
}

void AdvertiseFixedFrame(QWidget& window) {
    xcb_connection_t* connection = Connection();
    if (connection == nullptr) return;
    const auto id = static_cast<xcb_window_t>(window.winId());
    const xcb_atom_t hints = InternAtom(connection, "_MOTIF_WM_HINTS");
    if (hints == XCB_ATOM_NONE) return;
    // flags, functions, decorations, input mode, status.
    const std::array<std::uint32_t, 5> value = {
        kHintsFunctions | kHintsDecorations,
        kFunctionMove | kFunctionMinimize | kFunctionClose,
        kDecorationBorder | kDecorationTitle | kDecorationMenu | kDecorationMinimize,
        0,
        0,
    };
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, hints, hints, 32,
                        static_cast<std::uint32_t>(value.size()), value.data());
    xcb_flush(connection);
}

void WatchFrameExtents(QWidget& window, std::function<void(QMargins)> changed) {
    if (Connection() == nullptr || !changed) return;
    (new FrameExtentsFilter(window, std::move(changed)))->Read();
}

#else

bool OnX11() {
    return false;
}
void AdvertiseFixedFrame(QWidget&) {}
void WatchFrameExtents(QWidget&, std::function<void(QMargins)>) {}

#endif

}  // namespace lumeno::ui
