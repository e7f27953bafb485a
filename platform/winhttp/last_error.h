// The calling thread's WinHTTP last-error value, set by every handle function.
#pragma once

#include "platform/winhttp/winhttp.h"

namespace lumeno::platform {

void SetWinHttpLastError(DWORD error);

// Sets the error and returns false, for one-line failure exits.
inline bool FailWith(DWORD error) {
    SetWinHttpLastError(error);
    return false;
}

}  // namespace lumeno::platform
