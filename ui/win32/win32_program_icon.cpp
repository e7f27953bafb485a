// Loading the program's icon from the executable's resources at the system's icon sizes.
#include "ui/win32/win32_program_icon.h"

#include "ui/win32/win32_resource_ids.h"

namespace lumeno::ui::win32 {

HICON ProgramIcon(IconSize size) {
    const bool large = size == IconSize::Large;
    // LR_SHARED: the system keeps one handle per size for the process, so nothing is freed
    // and loading again is cheap.
    return static_cast<HICON>(::LoadImageW(
        ::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(LUMENO_PROGRAM_ICON), IMAGE_ICON,
        ::GetSystemMetrics(large ? SM_CXICON : SM_CXSMICON),
        ::GetSystemMetrics(large ? SM_CYICON : SM_CYSMICON), LR_DEFAULTCOLOR | LR_SHARED));
}

void SetProgramIcons(HWND window) {
    if (HICON largeIcon = ProgramIcon(IconSize::Large)) {
        ::SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(largeIcon));
    }
    if (HICON smallIcon = ProgramIcon(IconSize::Small)) {
        ::SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));
    }
}

}  // namespace lumeno::ui::win32
