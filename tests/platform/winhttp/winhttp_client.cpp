// Test helpers over the WinHTTP handle functions.
#include "tests/platform/winhttp/winhttp_client.h"

#include <vector>

namespace lumeno::platform::testing {

ExchangeResult Exchange(const std::u16string& host, INTERNET_PORT port, const std::u16string& path,
                        const ExchangeSetup& setup, HINTERNET session) {
    ExchangeResult result;
    const DWORD access =
        setup.proxy.empty() ? WINHTTP_ACCESS_TYPE_NO_PROXY : WINHTTP_ACCESS_TYPE_NAMED_PROXY;
    Handle ownSession(session == nullptr
                          ? WinHttpOpen(nullptr, access, setup.proxy.c_str(), nullptr, 0)
                          : nullptr);
    if (session == nullptr) session = ownSession.get();
    if (session == nullptr) {
        result.error = WinHttpLastError();
        return result;
    }
    const int t = setup.timeoutMs;
    WinHttpSetTimeouts(session, t, t, t, t);
    Handle connection(WinHttpConnect(session, host.c_str(), port, 0));
    Handle request(WinHttpOpenRequest(connection.get(), setup.verb.c_str(), path.c_str(), nullptr,
                                      nullptr, nullptr, setup.secure ? WINHTTP_FLAG_SECURE : 0));
    if (!request) {
        result.error = WinHttpLastError();
        return result;
    }
    WinHttpSetOption(request.get(), WINHTTP_OPTION_SECURITY_FLAGS, &setup.securityFlags, 4);
    if (setup.disabledFeatures != 0) {
        WinHttpSetOption(request.get(), WINHTTP_OPTION_DISABLE_FEATURE, &setup.disabledFeatures, 4);
    }
    if (!setup.headers.empty()) {
        WinHttpAddRequestHeaders(request.get(), setup.headers.c_str(),
                                 static_cast<DWORD>(setup.headers.size()), WINHTTP_ADDREQ_FLAG_ADD);
    }
    if (setup.prepare) setup.prepare(request.get());
    const DWORD n = static_cast<DWORD>(setup.body.size());
    result.sent =
        WinHttpSendRequest(request.get(), nullptr, 0, n ? setup.body.data() : nullptr, n, n, 0);
    if (!result.sent) {
        result.error = WinHttpLastError();
        return result;
    }
    result.received = WinHttpReceiveResponse(request.get(), nullptr);
    if (!result.received) {
        result.error = WinHttpLastError();
        return result;
    }
    for (;;) {
        DWORD available = 0;
        if (!WinHttpQueryDataAvailable(request.get(), &available)) {
            result.readFailed = true;
            result.error = WinHttpLastError();
            break;
        }
        if (available == 0) break;
        std::vector<char> buffer(available);
        DWORD read = 0;
        if (!WinHttpReadData(request.get(), buffer.data(), available, &read)) {
            result.readFailed = true;
            result.error = WinHttpLastError();
            break;
        }
        result.body.append(buffer.data(), read);
    }
    DWORD size = 0, index = 0;
    WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_RAW_HEADERS_CRLF, nullptr, nullptr, &size,
                        &index);
    std::u16string raw(size / 2, u'\0');
    if (WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_RAW_HEADERS_CRLF, nullptr, raw.data(),
                            &size, &index)) {
        raw.resize(size / 2);
        result.rawHeaders = raw;
    }
    DWORD statusSize = sizeof result.status;
    WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                        nullptr, &result.status, &statusSize, nullptr);
    return result;
}

}  // namespace lumeno::platform::testing
