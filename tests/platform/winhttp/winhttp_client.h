// Test helpers over the WinHTTP handle functions: an owning handle and one whole exchange
// (open, connect, request, send, receive, read) with its outcome per phase.
#pragma once

#include <functional>
#include <string>

#include "platform/codepage/codepage.h"
#include "platform/winhttp/winhttp.h"

namespace lumeno::platform::testing {

class Handle {
public:
    explicit Handle(HINTERNET handle = nullptr) : handle_(handle) {}
    ~Handle() {
        if (handle_ != nullptr) WinHttpCloseHandle(handle_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    Handle& operator=(Handle&& other) noexcept {
        if (this != &other) {
            if (handle_ != nullptr) WinHttpCloseHandle(handle_);
            handle_ = other.handle_;
            other.handle_ = nullptr;
        }
        return *this;
    }
    HINTERNET get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }

private:
    HINTERNET handle_;
};

struct ExchangeSetup {
    std::u16string proxy;  // empty: no proxy
    bool secure = false;
    std::u16string verb = u"GET";
    std::u16string headers;
    std::string body;
    int timeoutMs = 5000;
    DWORD securityFlags = 0x3300;
    DWORD disabledFeatures = 0;
    // Extra calls on the request handle before it is sent.
    std::function<void(HINTERNET request)> prepare;
};

struct ExchangeResult {
    bool sent = false;
    bool received = false;
    bool readFailed = false;
    DWORD error = 0;  // WinHttpLastError() of the call that failed
    std::string body;
    std::u16string rawHeaders;
    DWORD status = 0;
};

// Runs the exchange on a fresh session. The session is kept by the caller when given.
ExchangeResult Exchange(const std::u16string& host, INTERNET_PORT port, const std::u16string& path,
                        const ExchangeSetup& setup, HINTERNET session = nullptr);

inline std::u16string Wide(const std::string& text) {
    return GbkToUtf16(text);
}
inline std::string Narrow(const std::u16string& text) {
    return Utf16ToGbk(text);
}

}  // namespace lumeno::platform::testing
