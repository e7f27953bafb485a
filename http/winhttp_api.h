// The seam between WebRequest and the WinHTTP handle functions: one virtual per function, with
// the functions' own names and arguments. SystemWinHttp() forwards to platform/winhttp; tests
// pass their own implementation to see the calls.
#pragma once

#include <cstdint>

#include "platform/winhttp/winhttp.h"

namespace lumeno {

class WinHttpApi {
public:
    using DWORD = platform::DWORD;
    using HINTERNET = platform::HINTERNET;
    using INTERNET_PORT = platform::INTERNET_PORT;
    using URL_COMPONENTS = platform::URL_COMPONENTS;

    virtual ~WinHttpApi() = default;

    virtual bool WinHttpCheckPlatform() = 0;
    virtual bool WinHttpCrackUrl(const char16_t* url, DWORD urlLength, DWORD flags,
                                 URL_COMPONENTS* components) = 0;
    virtual HINTERNET WinHttpOpen(const char16_t* userAgent, DWORD accessType,
                                  const char16_t* proxyName, const char16_t* proxyBypass,
                                  DWORD flags) = 0;
    virtual bool WinHttpSetTimeouts(HINTERNET handle, int resolveTimeout, int connectTimeout,
                                    int sendTimeout, int receiveTimeout) = 0;
    virtual HINTERNET WinHttpConnect(HINTERNET session, const char16_t* serverName,
                                     INTERNET_PORT serverPort, DWORD reserved) = 0;
    virtual HINTERNET WinHttpOpenRequest(HINTERNET connection, const char16_t* verb,
                                         const char16_t* objectName, const char16_t* version,
                                         const char16_t* referrer, const char16_t** acceptTypes,
                                         DWORD flags) = 0;
    virtual bool WinHttpSetCredentials(HINTERNET request, DWORD authTargets, DWORD authScheme,
                                       const char16_t* userName, const char16_t* password,
                                       void* authParams) = 0;
    virtual bool WinHttpSetOption(HINTERNET handle, DWORD option, const void* buffer,
                                  DWORD bufferLength) = 0;
    virtual bool WinHttpAddRequestHeaders(HINTERNET request, const char16_t* headers,
                                          DWORD headersLength, DWORD modifiers) = 0;
    virtual bool WinHttpSendRequest(HINTERNET request, const char16_t* headers, DWORD headersLength,
                                    const void* optional, DWORD optionalLength, DWORD totalLength,
                                    std::uintptr_t context) = 0;
    virtual bool WinHttpReceiveResponse(HINTERNET request, void* reserved) = 0;
    virtual bool WinHttpQueryDataAvailable(HINTERNET request, DWORD* available) = 0;
    virtual bool WinHttpReadData(HINTERNET request, void* buffer, DWORD bufferLength,
                                 DWORD* read) = 0;
    virtual bool WinHttpQueryHeaders(HINTERNET request, DWORD infoLevel, const char16_t* name,
                                     void* buffer, DWORD* bufferLength, DWORD* index) = 0;
    virtual bool WinHttpCloseHandle(HINTERNET handle) = 0;
};

// The process's WinHTTP functions (platform/winhttp).
WinHttpApi& SystemWinHttp();

}  // namespace lumeno
