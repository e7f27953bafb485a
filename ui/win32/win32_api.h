// The Windows headers for the Win32 window framework: the platform's set (with the macros
// that clash with our own names taken away) plus the common controls.
#pragma once

#include "platform/windows/win32.h"

#include <commctrl.h>
