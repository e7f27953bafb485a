// The fixed frame on X11: Qt advertises every top-level window as resizable in its Motif hints
// (functions and decorations), so a window manager that reads them offers resizing and draws a
// maximise button even for a window of fixed size. These hints say what the window really has.
#pragma once

#include <QWidget>

namespace lumeno::ui {

// Writes the Motif hints of `window`'s native window: moving, minimising and closing, a border,
// a title bar with the system menu and a minimise button; no resizing, no maximising. Nothing
// happens off X11 (another platform, the offscreen one). Creates the native window if needed.
void AdvertiseFixedFrame(QWidget& window);

}  // namespace lumeno::ui
