// Compile-time proof that our URL_COMPONENTS is laid out as the system's URL_COMPONENTSW, so
// the bound WinHttpCrackUrl fills it directly. Only here is the system header included: its
// macros would replace the names of our own constants anywhere else.
#include "platform/winhttp/winhttp.h"

#include <cstddef>

#include <windows.h>
#include <winhttp.h>

namespace {

using Ours = lumeno::platform::URL_COMPONENTS;
using Theirs = ::URL_COMPONENTSW;

static_assert(sizeof(Ours) == sizeof(Theirs));
static_assert(offsetof(Ours, lpszScheme) == offsetof(Theirs, lpszScheme));
static_assert(offsetof(Ours, nScheme) == offsetof(Theirs, nScheme));
static_assert(offsetof(Ours, lpszHostName) == offsetof(Theirs, lpszHostName));
static_assert(offsetof(Ours, dwHostNameLength) == offsetof(Theirs, dwHostNameLength));
static_assert(offsetof(Ours, nPort) == offsetof(Theirs, nPort));
static_assert(offsetof(Ours, lpszUserName) == offsetof(Theirs, lpszUserName));
static_assert(offsetof(Ours, lpszPassword) == offsetof(Theirs, lpszPassword));
static_assert(offsetof(Ours, lpszUrlPath) == offsetof(Theirs, lpszUrlPath));
static_assert(offsetof(Ours, dwUrlPathLength) == offsetof(Theirs, dwUrlPathLength));
static_assert(offsetof(Ours, lpszExtraInfo) == offsetof(Theirs, lpszExtraInfo));
static_assert(offsetof(Ours, dwExtraInfoLength) == offsetof(Theirs, dwExtraInfoLength));
static_assert(sizeof(lumeno::platform::DWORD) == sizeof(::DWORD));
static_assert(sizeof(char16_t) == sizeof(WCHAR));

}  // namespace
