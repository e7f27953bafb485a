// Dots per inch of a window and the sizes that follow from it. The control table and every
// call from the program's logic speak in pixels at 96 DPI; the window turns them into device
// pixels only where it places controls. The per-monitor functions of Windows 10 are looked up
// at run time, so the program still starts on Windows 7 and 8, where the system DPI holds.
#pragma once

#include "ui/win32/win32_api.h"

namespace lumeno::ui::win32 {

inline constexpr int kDesignDpi = 96;

// `value` pixels at 96 DPI in pixels at `dpi`, rounded to the nearest.
int ScaleForDpi(int value, int dpi);

// The DPI `window` is shown at: its monitor's where Windows knows per-monitor DPI, else the
// system's. A null window gives the system's.
int DpiOfWindow(HWND window);

// The outer size of a window with `style` and `extendedStyle` (no menu) around a client area
// of `clientWidth` x `clientHeight`, with the frame measured for `dpi`.
SIZE FrameSizeForClient(int clientWidth, int clientHeight, DWORD style, DWORD extendedStyle,
                        int dpi);

// GetSystemMetrics for `dpi`: the system's own value where Windows can tell it per DPI, else
// the system DPI's value scaled.
int SystemMetricForDpi(int index, int dpi);

}  // namespace lumeno::ui::win32
