// A WinHttpApi for tests that records every call with its arguments as one line of text and
// answers from a script: which call fails, the response header block and the body pieces.
#pragma once

#include <deque>
#include <set>
#include <string>
#include <vector>

#include "http/winhttp_api.h"

namespace lumeno::testing {

class RecordingWinHttp : public WinHttpApi {
public:
    std::vector<std::string> calls;
    std::set<std::string> failing;   // names of the calls that fail, e.g. "WinHttpConnect"
    std::string failingOptionValue;  // "63=1": only that WinHttpSetOption call fails
    std::u16string rawHeaders = u"HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n\r\n";
    std::deque<std::string> bodyPieces{"<html>", "body</html>"};
    bool readFailsAfterPieces = false;
    bool headerQueryFails = false;

    bool WinHttpCheckPlatform() override;
    bool WinHttpCrackUrl(const char16_t* url, DWORD urlLength, DWORD flags,
                         URL_COMPONENTS* components) override;
    HINTERNET WinHttpOpen(const char16_t* userAgent, DWORD accessType, const char16_t* proxyName,
                          const char16_t* proxyBypass, DWORD flags) override;
    bool WinHttpSetTimeouts(HINTERNET handle, int resolveTimeout, int connectTimeout,
                            int sendTimeout, int receiveTimeout) override;
    HINTERNET WinHttpConnect(HINTERNET session, const char16_t* serverName,
                             INTERNET_PORT serverPort, DWORD reserved) override;
    HINTERNET WinHttpOpenRequest(HINTERNET connection, const char16_t* verb,
                                 const char16_t* objectName, const char16_t* version,
                                 const char16_t* referrer, const char16_t** acceptTypes,
                                 DWORD flags) override;
    bool WinHttpSetCredentials(HINTERNET request, DWORD authTargets, DWORD authScheme,
                               const char16_t* userName, const char16_t* password,
                               void* authParams) override;
    bool WinHttpSetOption(HINTERNET handle, DWORD option, const void* buffer,
                          DWORD bufferLength) override;
    bool WinHttpAddRequestHeaders(HINTERNET request, const char16_t* headers, DWORD headersLength,
                                  DWORD modifiers) override;
    bool WinHttpSendRequest(HINTERNET request, const char16_t* headers, DWORD headersLength,
                            const void* optional, DWORD optionalLength, DWORD totalLength,
                            std::uintptr_t context) override;
    bool WinHttpReceiveResponse(HINTERNET request, void* reserved) override;
    bool WinHttpQueryDataAvailable(HINTERNET request, DWORD* available) override;
    bool WinHttpReadData(HINTERNET request, void* buffer, DWORD bufferLength, DWORD* read) override;
    bool WinHttpQueryHeaders(HINTERNET request, DWORD infoLevel, const char16_t* name, void* buffer,
                             DWORD* bufferLength, DWORD* index) override;
    bool WinHttpCloseHandle(HINTERNET handle) override;

private:
    bool Answer(const std::string& name, const std::string& call);
    HINTERNET Handle(const std::string& name, const std::string& call, std::uintptr_t value);
};

// "null" or the quoted string as UTF-8-free GBK text.
std::string Quote(const char16_t* text);
std::string HandleName(WinHttpApi::HINTERNET handle);

}  // namespace lumeno::testing
