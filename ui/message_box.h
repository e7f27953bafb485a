// Message boxes in the platform's numbering: the style value chooses buttons and icon, the
// answer comes back as 0 OK, 1 Cancel, 2 Abort, 3 Retry, 4 Ignore, 5 Yes, 6 No.
#pragma once

#include <QMessageBox>

#include "util/text_types.h"

namespace lumeno::ui {

// A new top-level box without owner (deletes itself when closed). The low four bits of `style`
// pick the buttons (0 OK, 1 OK/Cancel, 2 Abort/Retry/Ignore, 3 Yes/No/Cancel, 4 Yes/No,
// 5 Retry/Cancel), the next four the icon (0x10 error, 0x20 question, 0x30 warning,
// 0x40 information).
QMessageBox* CreateMessageBox(const Text& message, int style, const Text& title);

// The answer number for the button that closed the box (the escape button when it was closed
// another way).
int MessageBoxAnswer(const QMessageBox& box);

}  // namespace lumeno::ui
