// DPI look-ups through the functions Windows 10 added, found in user32 at run time; older
// systems get the system DPI and scaled metrics.
#include "ui/win32/win32_dpi.h"

namespace lumeno::ui::win32 {
namespace {

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
using AdjustWindowRectExForDpiFunction = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
using GetSystemMetricsForDpiFunction = int(WINAPI*)(int, UINT);

struct DpiFunctions {
    GetDpiForWindowFunction dpiForWindow = nullptr;
    AdjustWindowRectExForDpiFunction adjustForDpi = nullptr;
    GetSystemMetricsForDpiFunction metricForDpi = nullptr;
};

template <typename Function>
Function Find(HMODULE module, const char* name) {
    // The documented way to reach a function that may be missing: its address, cast back to
    // the signature the documentation gives it.
    return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

const DpiFunctions& Functions() {
    static const DpiFunctions functions = [] {
        DpiFunctions found;
        if (HMODULE user = ::GetModuleHandleW(L"user32.dll")) {
            found.dpiForWindow = Find<GetDpiForWindowFunction>(user, "GetDpiForWindow");
            found.adjustForDpi =
                Find<AdjustWindowRectExForDpiFunction>(user, "AdjustWindowRectExForDpi");
            found.metricForDpi =
                Find<GetSystemMetricsForDpiFunction>(user, "GetSystemMetricsForDpi");
        }
        return found;
    }();
    return functions;
}

int SystemDpi() {
    HDC screen = ::GetDC(nullptr);
    const int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : kDesignDpi;
    if (screen) ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : kDesignDpi;
}

}  // namespace

int ScaleForDpi(int value, int dpi) {
    return ::MulDiv(value, dpi, kDesignDpi);
}

int DpiOfWindow(HWND window) {
    if (window && Functions().dpiForWindow) {
        const UINT dpi = Functions().dpiForWindow(window);
        if (dpi > 0) return static_cast<int>(dpi);
    }
    return SystemDpi();
}

SIZE FrameSizeForClient(int clientWidth, int clientHeight, DWORD style, DWORD extendedStyle,
                        int dpi) {
    RECT frame{0, 0, clientWidth, clientHeight};
    if (Functions().adjustForDpi) {
        Functions().adjustForDpi(&frame, style, FALSE, extendedStyle, static_cast<UINT>(dpi));
    } else {
        // The frame at the system DPI, the only one such a system draws.
        ::AdjustWindowRectEx(&frame, style, FALSE, extendedStyle);
    }
    return {frame.right - frame.left, frame.bottom - frame.top};
}

int SystemMetricForDpi(int index, int dpi) {
    if (Functions().metricForDpi) return Functions().metricForDpi(index, static_cast<UINT>(dpi));
    return ::MulDiv(::GetSystemMetrics(index), dpi, SystemDpi());
}

}  // namespace lumeno::ui::win32
