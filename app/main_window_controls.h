// The main window as data: its caption, its fixed size and the table of every control.
#pragma once

#include <vector>

#include "ui/control_table.h"

namespace lumeno {

inline constexpr int kMainWindowClientWidth = 697;
inline constexpr int kMainWindowClientHeight = 374;
// The outer size with the fixed border and the title bar, used to centre the window.
inline constexpr int kMainWindowOuterWidth = 703;
inline constexpr int kMainWindowOuterHeight = 403;

const char* MainWindowCaption();

// Every control of the main window in its start-up state; the link box shows `baseUrl`, which
// must outlive the returned table.
std::vector<ui::ControlRow> MainWindowControls(const char* baseUrl);

}  // namespace lumeno
