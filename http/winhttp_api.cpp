// SystemWinHttp: the seam forwarding every call to the WinHTTP handle functions.
#include "http/winhttp_api.h"

namespace lumeno {
namespace {

class SystemApi final : public WinHttpApi {
public:
    bool WinHttpCheckPlatform() override { return platform::WinHttpCheckPlatform(); }
    bool WinHttpCrackUrl(const char16_t* url, DWORD urlLength, DWORD flags,
                         URL_COMPONENTS* components) override {
        return platform::WinHttpCrackUrl(url, urlLength, flags, components);
    }
    HINTERNET WinHttpOpen(const char16_t* userAgent, DWORD accessType, const char16_t* proxyName,
                          const char16_t* proxyBypass, DWORD flags) override {
        return platform::WinHttpOpen(userAgent, accessType, proxyName, proxyBypass, flags);
    }
    bool WinHttpSetTimeouts(HINTERNET handle, int resolveTimeout, int connectTimeout,
                            int sendTimeout, int receiveTimeout) override {
        return platform::WinHttpSetTimeouts(handle, resolveTimeout, connectTimeout, sendTimeout,
                                            receiveTimeout);
    }
    HINTERNET WinHttpConnect(HINTERNET session, const char16_t* serverName,
                             INTERNET_PORT serverPort, DWORD reserved) override {
        return platform::WinHttpConnect(session, serverName, serverPort, reserved);
    }
    HINTERNET WinHttpOpenRequest(HINTERNET connection, const char16_t* verb,
                                 const char16_t* objectName, const char16_t* version,
                                 const char16_t* referrer, const char16_t** acceptTypes,
                                 DWORD flags) override {
        return platform::WinHttpOpenRequest(connection, verb, objectName, version, referrer,
                                            acceptTypes, flags);
    }
    bool WinHttpSetCredentials(HINTERNET request, DWORD authTargets, DWORD authScheme,
                               const char16_t* userName, const char16_t* password,
                               void* authParams) override {
        return platform::WinHttpSetCredentials(request, authTargets, authScheme, userName, password,
                                               authParams);
    }
    bool WinHttpSetOption(HINTERNET handle, DWORD option, const void* buffer,
                          DWORD bufferLength) override {
        return platform::WinHttpSetOption(handle, option, buffer, bufferLength);
    }
    bool WinHttpAddRequestHeaders(HINTERNET request, const char16_t* headers, DWORD headersLength,
                                  DWORD modifiers) override {
        return platform::WinHttpAddRequestHeaders(request, headers, headersLength, modifiers);
    }
    bool WinHttpSendRequest(HINTERNET request, const char16_t* headers, DWORD headersLength,
                            const void* optional, DWORD optionalLength, DWORD totalLength,
                            std::uintptr_t context) override {
        return platform::WinHttpSendRequest(request, headers, headersLength, optional,
                                            optionalLength, totalLength, context);
    }
    bool WinHttpReceiveResponse(HINTERNET request, void* reserved) override {
        return platform::WinHttpReceiveResponse(request, reserved);
    }
    bool WinHttpQueryDataAvailable(HINTERNET request, DWORD* available) override {
        return platform::WinHttpQueryDataAvailable(request, available);
    }
    bool WinHttpReadData(HINTERNET request, void* buffer, DWORD bufferLength,
                         DWORD* read) override {
        return platform::WinHttpReadData(request, buffer, bufferLength, read);
    }
    bool WinHttpQueryHeaders(HINTERNET request, DWORD infoLevel, const char16_t* name, void* buffer,
                             DWORD* bufferLength, DWORD* index) override {
        return platform::WinHttpQueryHeaders(request, infoLevel, name, buffer, bufferLength, index);
    }
    bool WinHttpCloseHandle(HINTERNET handle) override {
        return platform::WinHttpCloseHandle(handle);
    }
};

}  // namespace

WinHttpApi& SystemWinHttp() {
    static SystemApi api;
    return api;
}

}  // namespace lumeno
