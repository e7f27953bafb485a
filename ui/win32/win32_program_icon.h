// The program's own icon (resource LUMENO_PROGRAM_ICON of the executable) at the sizes the
// system draws window icons: the large one for Alt-Tab, the small one for title bars and the
// taskbar.
#pragma once

#include "ui/win32/win32_api.h"

namespace lumeno::ui::win32 {

enum class IconSize { Large, Small };

// The icon at the system's large or small icon size; null when the executable has no icon of
// its own (the test programs). The handle is shared: never destroy it.
HICON ProgramIcon(IconSize size);

// Gives a top-level window the program's icons, when the executable has them.
void SetProgramIcons(HWND window);

}  // namespace lumeno::ui::win32
