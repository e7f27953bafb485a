// The hint label: every progress text of the window goes through ShowHint.
#pragma once

#include "util/window_controls.h"

namespace lumeno {

// Sets 标签提示's caption to "温馨提示 - " followed by text.
void ShowHint(WindowControls& window, const Text& text);

}  // namespace lumeno
