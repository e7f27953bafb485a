// A recording WinHttpApi for tests.
#include "tests/http/web_request/recording_winhttp.h"

#include <algorithm>
#include <cstring>

#include "platform/codepage/codepage.h"

namespace lumeno::testing {
namespace {

constexpr std::uintptr_t kSession = 0x51, kConnection = 0x52, kRequest = 0x53;

std::string Hex(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", value);
    return text;
}

}  // namespace

std::string Quote(const char16_t* text) {
    if (text == nullptr) return "null";
    return "\"" + platform::Utf16ToGbk(text) + "\"";
}

std::string HandleName(WinHttpApi::HINTERNET handle) {
    switch (reinterpret_cast<std::uintptr_t>(handle)) {
        case kSession:
            return "session";
        case kConnection:
            return "connection";
        case kRequest:
            return "request";
        case 0:
            return "null";
        default:
            return "?";
    }
}

bool RecordingWinHttp::Answer(const std::string& name, const std::string& call) {
    calls.push_back(name + "(" + call + ")");
    return failing.count(name) == 0;
}

WinHttpApi::HINTERNET RecordingWinHttp::Handle(const std::string& name, const std::string& call,
                                               std::uintptr_t value) {
    return Answer(name, call) ? reinterpret_cast<HINTERNET>(value) : nullptr;
}

bool RecordingWinHttp::WinHttpCheckPlatform() {
    return Answer("WinHttpCheckPlatform", "");
}

bool RecordingWinHttp::WinHttpCrackUrl(const char16_t* url, DWORD urlLength, DWORD flags,
                                       URL_COMPONENTS* c) {
    const std::string record =
        Quote(url) + ", " + std::to_string(urlLength) + ", " + std::to_string(flags) + ", {" +
        std::to_string(c->dwStructSize == sizeof *c) + " " + Hex(c->dwSchemeLength) + " " +
        Hex(c->dwHostNameLength) + " " + Hex(c->dwUrlPathLength) + " " + Hex(c->dwExtraInfoLength) +
        " " + Hex(c->dwUserNameLength) + " " + Hex(c->dwPasswordLength) + "}";
    if (!Answer("WinHttpCrackUrl", record)) return false;
    return platform::WinHttpCrackUrl(url, urlLength, flags, c);
}

WinHttpApi::HINTERNET RecordingWinHttp::WinHttpOpen(const char16_t* userAgent, DWORD accessType,
                                                    const char16_t* proxyName,
                                                    const char16_t* proxyBypass, DWORD flags) {
    return Handle("WinHttpOpen",
                  Quote(userAgent) + ", " + std::to_string(accessType) + ", " + Quote(proxyName) +
                      ", " + Quote(proxyBypass) + ", " + std::to_string(flags),
                  kSession);
}

bool RecordingWinHttp::WinHttpSetTimeouts(HINTERNET handle, int a, int b, int c, int d) {
    return Answer("WinHttpSetTimeouts", HandleName(handle) + ", " + std::to_string(a) + ", " +
                                            std::to_string(b) + ", " + std::to_string(c) + ", " +
                                            std::to_string(d));
}

WinHttpApi::HINTERNET RecordingWinHttp::WinHttpConnect(HINTERNET session,
                                                       const char16_t* serverName,
                                                       INTERNET_PORT serverPort, DWORD reserved) {
    return Handle("WinHttpConnect",
                  HandleName(session) + ", " + Quote(serverName) + ", " +
                      std::to_string(serverPort) + ", " + std::to_string(reserved),
                  kConnection);
}

WinHttpApi::HINTERNET RecordingWinHttp::WinHttpOpenRequest(
    HINTERNET connection, const char16_t* verb, const char16_t* objectName, const char16_t* version,
    const char16_t* referrer, const char16_t** acceptTypes, DWORD flags) {
    return Handle("WinHttpOpenRequest",
                  HandleName(connection) + ", " + Quote(verb) + ", " + Quote(objectName) + ", " +
                      Quote(version) + ", " + Quote(referrer) + ", " +
                      (acceptTypes == nullptr ? "null" : "types") + ", " + Hex(flags),
                  kRequest);
}

bool RecordingWinHttp::WinHttpSetCredentials(HINTERNET request, DWORD authTargets, DWORD authScheme,
                                             const char16_t* userName, const char16_t* password,
                                             void* authParams) {
    return Answer("WinHttpSetCredentials",
                  HandleName(request) + ", " + std::to_string(authTargets) + ", " +
                      std::to_string(authScheme) + ", " + Quote(userName) + ", " + Quote(password) +
                      ", " + (authParams == nullptr ? "null" : "params"));
}

bool RecordingWinHttp::WinHttpSetOption(HINTERNET handle, DWORD option, const void* buffer,
                                        DWORD bufferLength) {
    DWORD value = 0;
    if (buffer != nullptr && bufferLength == 4) std::memcpy(&value, buffer, 4);
    const std::string optionValue = std::to_string(option) + "=" + std::to_string(value);
    const bool ok =
        Answer("WinHttpSetOption", HandleName(handle) + ", " + std::to_string(option) + ", " +
                                       Hex(value) + ", " + std::to_string(bufferLength));
    return ok && optionValue != failingOptionValue;
}

bool RecordingWinHttp::WinHttpAddRequestHeaders(HINTERNET request, const char16_t* headers,
                                                DWORD headersLength, DWORD modifiers) {
    const std::u16string block(headers, headersLength);
    return Answer("WinHttpAddRequestHeaders",
                  HandleName(request) + ", \"" + platform::Utf16ToGbk(block) + "\", " +
                      std::to_string(headersLength) + ", " + Hex(modifiers));
}

bool RecordingWinHttp::WinHttpSendRequest(HINTERNET request, const char16_t* headers,
                                          DWORD headersLength, const void* optional,
                                          DWORD optionalLength, DWORD totalLength,
                                          std::uintptr_t context) {
    const std::string body =
        optional == nullptr
            ? "null"
            : "\"" + std::string(static_cast<const char*>(optional), optionalLength) + "\"";
    return Answer("WinHttpSendRequest", HandleName(request) + ", " + Quote(headers) + ", " +
                                            std::to_string(headersLength) + ", " + body + ", " +
                                            std::to_string(optionalLength) + ", " +
                                            std::to_string(totalLength) + ", " +
                                            std::to_string(context));
}

bool RecordingWinHttp::WinHttpReceiveResponse(HINTERNET request, void* reserved) {
    return Answer("WinHttpReceiveResponse",
                  HandleName(request) + ", " + (reserved == nullptr ? "null" : "reserved"));
}

bool RecordingWinHttp::WinHttpQueryDataAvailable(HINTERNET request, DWORD* available) {
    const bool ok = Answer("WinHttpQueryDataAvailable", HandleName(request));
    *available = 0;
    if (!ok) return false;
    if (!bodyPieces.empty()) {
        *available = static_cast<DWORD>(bodyPieces.front().size());
    } else if (readFailsAfterPieces) {
        *available = 10;  // a broken connection: the read will fail
    }
    return true;
}

bool RecordingWinHttp::WinHttpReadData(HINTERNET request, void* buffer, DWORD bufferLength,
                                       DWORD* read) {
    const bool ok =
        Answer("WinHttpReadData", HandleName(request) + ", " + std::to_string(bufferLength));
    *read = 0;
    if (!ok || bodyPieces.empty()) return false;
    const std::string piece = bodyPieces.front();
    bodyPieces.pop_front();
    const DWORD n = std::min<DWORD>(bufferLength, static_cast<DWORD>(piece.size()));
    std::memcpy(buffer, piece.data(), n);
    *read = n;
    return true;
}

bool RecordingWinHttp::WinHttpQueryHeaders(HINTERNET request, DWORD infoLevel, const char16_t* name,
                                           void* buffer, DWORD* bufferLength, DWORD* index) {
    const bool ok =
        Answer("WinHttpQueryHeaders",
               HandleName(request) + ", " + std::to_string(infoLevel) + ", " + Quote(name) + ", " +
                   (buffer == nullptr ? "null" : "buffer") + ", " + std::to_string(*bufferLength) +
                   ", " + std::to_string(index == nullptr ? -1 : static_cast<int>(*index)));
    const DWORD needed = static_cast<DWORD>((rawHeaders.size() + 1) * 2);
    if (buffer == nullptr || *bufferLength < needed) {
        *bufferLength = needed;
        return false;
    }
    if (!ok || headerQueryFails) return false;
    std::memcpy(buffer, rawHeaders.c_str(), needed);
    *bufferLength = needed - 2;
    return true;
}

bool RecordingWinHttp::WinHttpCloseHandle(HINTERNET handle) {
    return Answer("WinHttpCloseHandle", HandleName(handle));
}

}  // namespace lumeno::testing
