// The hint label's fixed prefix and its one writer.
#include "crawler/show_hint.h"

#include "crawler/control_names.h"

namespace lumeno {

void ShowHint(WindowControls& window, const Text& text) {
    window.SetCaption(controls::标签提示, "温馨提示 - " + text);
}

}  // namespace lumeno
