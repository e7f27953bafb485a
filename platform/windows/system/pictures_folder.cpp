// The user's pictures folder on Windows: the known folder for pictures (FOLDERID_Pictures),
// which follows the user's own choice of place, a redirected folder included.
// shlobj.h's inline functions use the HRESULT macros that win32.h takes away, so it comes
// first, with the same settings.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include "platform/windows/win32.h"

#include "platform/system/folders.h"

#include <string>

#include "platform/windows/system/wide_path.h"

namespace lumeno::platform {

std::string UserPicturesFolder() {
    PWSTR path = nullptr;
    const HRESULT result =
        ::SHGetKnownFolderPath(FOLDERID_Pictures, KF_FLAG_DEFAULT, nullptr, &path);
    std::string folder;
    if (result >= 0 && path != nullptr) folder = win32::Utf8Path(path);  // a success code
    // The buffer is the caller's to free, also when the call failed.
    ::CoTaskMemFree(path);
    while (folder.size() > 3 && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
    return folder;
}

}  // namespace lumeno::platform
