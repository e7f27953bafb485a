// The scriptable request class "WinHttp.WinHttpRequest.5.1" on the object runtime, built on the
// WinHTTP handle functions. Synchronous only. Members: SetTimeouts, SetProxy, Open, Option
// (index 4 SSL error ignore flags, index 6 EnableRedirects), SetCredentials, SetRequestHeader,
// Send (text or byte array), ResponseBody, GetAllResponseHeaders, Status. Failing calls return
// failure HRESULTs (HRESULT_FROM_WIN32 of the WinHTTP error).
#pragma once

#include "platform/com/dispatch.h"
#include "platform/com/hresult.h"
#include "platform/winhttp/winhttp.h"

namespace lumeno::platform {

inline constexpr const char* kWinHttpRequestProgId = "WinHttp.WinHttpRequest.5.1";
inline constexpr const char* kWinHttpRequestClsid = "{2087C2F4-2CEF-4953-A8AB-66779B670495}";

// Registers the class with the object runtime; later calls do nothing.
void RegisterWinHttpRequestClass();

// A fresh request object (what the registered factory makes).
DispatchPtr MakeWinHttpRequestObject();

constexpr HRESULT HResultFromWin32(DWORD error) {
    return error == 0 ? S_OK : MakeFailure(0x80070000u | (error & 0xFFFFu));
}

inline constexpr DWORD ERROR_WINHTTP_CANNOT_CALL_BEFORE_OPEN = 12100;
inline constexpr DWORD ERROR_WINHTTP_CANNOT_CALL_BEFORE_SEND = 12102;

}  // namespace lumeno::platform
