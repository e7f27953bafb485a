// The shell's "open" verb (ShellExecuteW), for the Windows window framework. Linux opens
// through the window toolkit instead.
#pragma once

#include <string>

namespace lumeno::platform {

// Hands `utf8Target` (a folder, a file or an address) to the shell's "open" verb with the
// normal show state. False when the shell reports a failure or the target is empty.
bool ShellOpen(const std::string& utf8Target);

}  // namespace lumeno::platform
