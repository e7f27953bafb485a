// Motif window-manager hints written through Qt's X11 connection.
#include "ui/x11_frame.h"

#include <QGuiApplication>

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

xcb_atom_t InternAtom(xcb_connection_t* connection, const char* name) {
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    const xcb_atom_t atom = reply != nullptr ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return atom;
}

}  // namespace
#endif

void AdvertiseFixedFrame(QWidget& window) {
#ifdef LUMENO_HAVE_XCB
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (x11 == nullptr || x11->connection() == nullptr) return;
    xcb_connection_t* connection = x11->connection();
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
#else
    (void)window;
#endif
}

}  // namespace lumeno::ui
