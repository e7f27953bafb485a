// The wallpaper site's base URL (scheme and host, no trailing slash), fixed when the program
// is built (CMake cache variable LUMENO_BASE_URL).
#pragma once

namespace lumeno {

extern const char* const BaseUrl;

}  // namespace lumeno
