// The nine category check boxes act as one set of options that may also be left empty:
// checking a box clears the eight others, unchecking one leaves none checked.
#pragma once

#include "util/window_controls.h"

namespace lumeno {

class MainWindow;

// Runs on the window thread after the click has toggled `checkBox`: when it is now checked,
// every other category box is unchecked; when it was just unchecked nothing changes.
void OnCategoryClick(WindowControls& window, const char* checkBox);

// Binds OnCategoryClick to the click of each of the nine category boxes.
void BindCategoryBoxes(MainWindow& window);

}  // namespace lumeno
