// The program's icon and desktop identity for every window of the Qt application.
#pragma once

namespace lumeno::ui {

// Gives the application the program's icon, from the PNGs the program carries as Qt resources
// (":/icons/lumeno-box-<size>.png"; a program built without them keeps Qt's default), and
// names its desktop entry, by which Wayland desktops match the windows to the menu entry.
void InstallProgramIcon();

}  // namespace lumeno::ui
