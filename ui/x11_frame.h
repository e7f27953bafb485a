// The fixed frame on X11. Qt advertises every top-level window as resizable in its Motif hints
// (functions and decorations), so a window manager that reads them offers resizing even for a
// window of fixed size; these hints say what the window really has. And the frame the window
// manager puts around the window is learnt from the property it publishes, whenever it does so
// (also when the manager starts after the window and adopts it).
#pragma once

#include <functional>

#include <QMargins>
#include <QWidget>

namespace lumeno::ui {

// True when the application runs on X11 (the xcb platform).
bool OnX11();

// Writes the Motif hints of `window`'s native window: moving, minimising and closing, a border,
// a title bar with the system menu and a minimise button; no resizing, no maximising. Nothing
// happens off X11. Creates the native window if needed.
void AdvertiseFixedFrame(QWidget& window);

// Calls `changed` with the frame's left, top, right and bottom widths each time the window
// manager publishes them for `window` (_NET_FRAME_EXTENTS), for as long as the window lives.
// Window thread. Nothing happens off X11.
void WatchFrameExtents(QWidget& window, std::function<void(QMargins)> changed);

}  // namespace lumeno::ui
