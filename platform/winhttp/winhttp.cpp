// The WinHTTP handle functions: argument checks, handle bookkeeping and the mapping of the
// request's settings onto one Transfer. UTF-16 header texts cross into code page 936 bytes.
#include "platform/winhttp/winhttp.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "platform/codepage/codepage.h"
#include "platform/system/worker_threads.h"
#include "platform/winhttp/handles.h"
#include "platform/winhttp/last_error.h"
#include "platform/winhttp/proxy_list.h"
#include "platform/winhttp/wide_strings.h"

namespace lumeno::platform {
namespace {

constexpr DWORD kIgnorePeerFlags = SECURITY_FLAG_IGNORE_UNKNOWN_CA |
                                   SECURITY_FLAG_IGNORE_CERT_WRONG_USAGE |
                                   SECURITY_FLAG_IGNORE_CERT_DATE_INVALID;
constexpr DWORD kKnownSecurityFlags = kIgnorePeerFlags | SECURITY_FLAG_IGNORE_CERT_CN_INVALID;
constexpr DWORD kKnownDisableFlags = WINHTTP_DISABLE_COOKIES | WINHTTP_DISABLE_REDIRECTS |
                                     WINHTTP_DISABLE_AUTHENTICATION | WINHTTP_DISABLE_KEEP_ALIVE;
constexpr DWORD kWholeString = 0xFFFFFFFF;
constexpr DWORD kAsyncFlag = 0x10000000;
constexpr DWORD kHeaderAlreadyExists = 12155;

bool Succeed() {
    SetWinHttpLastError(0);
    return true;
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

bool IsValidTimeout(int value) {
    return value >= -1;
}
long TimeoutMs(int value) {
    return value > 0 ? value : 0;
}

// The object name as it goes on the request line: UTF-8, with bytes that cannot stand in a URL
// percent-escaped, and always starting with "/".
std::string ObjectPath(const char16_t* objectName) {
    const std::string utf8 = WideToUtf8(WideView(objectName));
    std::string path;
    if (utf8.empty() || utf8.front() != '/') path = "/";
    static const char kHex[] = "0123456789ABCDEF";
    for (unsigned char c : utf8) {
        if (c <= 0x20 || c >= 0x7F) {
            path += '%';
            path += kHex[c >> 4];
            path += kHex[c & 0xF];
        } else {
            path += static_cast<char>(c);
        }
    }
    return path;
}

// Splits a header text into (name, value) lines. Empty lines are skipped; false when a line has
// no colon or no name.
bool ParseHeaderLines(std::string_view text,
                      std::vector<std::pair<std::string, std::string>>* out) {
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        start = end + 1;
        if (TrimBlanks(line).empty()) continue;
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos) return false;
        const std::string_view name = TrimBlanks(line.substr(0, colon));
        if (name.empty()) return false;
        out->emplace_back(std::string(name), std::string(TrimBlanks(line.substr(colon + 1))));
    }
    return true;
}

bool HasHeader(const Request& request, std::string_view name) {
    return std::any_of(request.headers.begin(), request.headers.end(), [&](const auto& header) {
        return EqualsAsciiIgnoreCase(header.first, name);
    });
}

bool AddHeaders(Request& request, const char16_t* headers, DWORD length, DWORD modifiers) {
    const std::u16string_view wide(headers, length == kWholeString ? WideLength(headers) : length);
    std::vector<std::pair<std::string, std::string>> lines;
    if (!ParseHeaderLines(Utf16ToGbk(wide), &lines)) return FailWith(ERROR_WINHTTP_INVALID_HEADER);
    for (auto& [name, value] : lines) {
        if (modifiers & WINHTTP_ADDREQ_FLAG_REPLACE) {
            // The first header of that name takes the new value in its place (an empty value
            // removes it); further ones go. Without one, the line is added only with ADD.
            const auto same = [&](const auto& header) {
                return EqualsAsciiIgnoreCase(header.first, name);
            };
            const auto first = std::find_if(request.headers.begin(), request.headers.end(), same);
            if (first == request.headers.end()) {
                if (modifiers & WINHTTP_ADDREQ_FLAG_ADD) {
                    request.headers.emplace_back(std::move(name), std::move(value));
                }
                continue;
            }
            const std::size_t at = static_cast<std::size_t>(first - request.headers.begin());
            request.headers[at].second = value;
            std::size_t keep = at + 1;
            for (std::size_t i = at + 1; i < request.headers.size(); ++i) {
                if (same(request.headers[i])) continue;
                if (keep != i) request.headers[keep] = std::move(request.headers[i]);
                ++keep;
            }
            request.headers.resize(keep);
            if (value.empty())
                request.headers.erase(request.headers.begin() + static_cast<std::ptrdiff_t>(at));
        } else if ((modifiers & WINHTTP_ADDREQ_FLAG_ADD_IF_NEW) && HasHeader(request, name)) {
            return FailWith(kHeaderAlreadyExists);
        } else {
            request.headers.emplace_back(std::move(name), std::move(value));
        }
    }
    return Succeed();
}

bool KeepsCookies(const Request& request) {
    return !(request.disabledFeatures & WINHTTP_DISABLE_COOKIES);
}

TransferSettings SettingsFor(const Request& request) {
    const Connection& connection = *request.connection;
    Session& session = *connection.session;
    TransferSettings settings;
    std::string host = connection.host;
    if (host.find(':') != std::string::npos && host.front() != '[') host = "[" + host + "]";
    INTERNET_PORT port = connection.port;
    if (port == 0) port = request.secure ? INTERNET_DEFAULT_HTTPS_PORT : INTERNET_DEFAULT_HTTP_PORT;
    settings.url = std::string(request.secure ? "https://" : "http://") + host + ":" +
                   std::to_string(port) + request.path;
    settings.verb = request.verb;
    settings.headers = request.headers;
    if (!session.userAgent.empty() && !HasHeader(request, "User-Agent")) {
        settings.headers.emplace_back("User-Agent", session.userAgent);
    }
    if (!session.proxyList.empty() && !HostBypassesProxy(session.bypassList, connection.host)) {
        settings.proxy = ProxyForScheme(session.proxyList, request.secure);
    }
    settings.serverCredentials = request.serverCredentials;
    settings.serverUser = request.serverUser;
    settings.serverPassword = request.serverPassword;
    settings.proxyCredentials = request.proxyCredentials;
    settings.proxyUser = request.proxyUser;
    settings.proxyPassword = request.proxyPassword;
    settings.verifyPeer = (request.securityFlags & kIgnorePeerFlags) == 0;
    settings.verifyHost = (request.securityFlags & SECURITY_FLAG_IGNORE_CERT_CN_INVALID) == 0;
    if (KeepsCookies(request)) settings.cookieShare = session.cookies.Share();
    settings.followRedirects = !(request.disabledFeatures & WINHTTP_DISABLE_REDIRECTS);
    const Timeouts& t = request.timeouts;
    settings.connectTimeoutMs = t.connect > 0 ? TimeoutMs(t.connect) + TimeoutMs(t.resolve) : 0;
    settings.sendTimeoutMs = TimeoutMs(t.send);
    settings.receiveTimeoutMs = TimeoutMs(t.receive);
    settings.cancelled = [] { return ShutdownRequested(); };
    return settings;
}

std::shared_ptr<Request> RespondedRequest(HINTERNET handle) {
    auto request = FindHandleAs<Request>(handle, HandleKind::Request);
    if (request && request->state != Request::State::Responded) {
        SetWinHttpLastError(ERROR_WINHTTP_INCORRECT_HANDLE_STATE);
        return nullptr;
    }
    return request;
}

// Copies a UTF-16 answer into the caller's buffer, or reports the bytes needed.
bool AnswerWide(const std::u16string& text, void* buffer, DWORD* bufferLength) {
    const std::size_t needed = (text.size() + 1) * sizeof(char16_t);
    if (needed > std::numeric_limits<DWORD>::max()) return FailWith(ERROR_INSUFFICIENT_BUFFER);
    if (buffer == nullptr || *bufferLength < needed) {
        *bufferLength = static_cast<DWORD>(needed);
        return FailWith(ERROR_INSUFFICIENT_BUFFER);
    }
    std::memcpy(buffer, text.c_str(), needed);
    *bufferLength = static_cast<DWORD>(text.size() * sizeof(char16_t));
    return Succeed();
}

}  // namespace

HINTERNET WinHttpOpen(const char16_t* userAgent, DWORD accessType, const char16_t* proxyName,
                      const char16_t* proxyBypass, DWORD flags) {
    if (!InitializeHttpEngine()) {
        FailWith(ERROR_WINHTTP_INTERNAL_ERROR);
        return nullptr;
    }
    auto session = std::make_shared<Session>();
    if (flags & kAsyncFlag) {
        FailWith(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    switch (accessType) {
        case WINHTTP_ACCESS_TYPE_NAMED_PROXY:
            session->proxyList = WideToUtf8(WideView(proxyName));
            if (session->proxyList.empty()) {
                FailWith(ERROR_INVALID_PARAMETER);
                return nullptr;
            }
            session->bypassList = WideToUtf8(WideView(proxyBypass));
            break;
        case WINHTTP_ACCESS_TYPE_DEFAULT_PROXY:  // no system proxy settings here: direct
        case WINHTTP_ACCESS_TYPE_NO_PROXY:
        case WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY:
            break;
        default:
            FailWith(ERROR_INVALID_PARAMETER);
            return nullptr;
    }
    session->userAgent = Utf16ToGbk(WideView(userAgent));
    SetWinHttpLastError(0);
    return AddHandle(std::move(session));
}

bool WinHttpSetTimeouts(HINTERNET handle, int resolveTimeout, int connectTimeout, int sendTimeout,
                        int receiveTimeout) {
    if (!IsValidTimeout(resolveTimeout) || !IsValidTimeout(connectTimeout) ||
        !IsValidTimeout(sendTimeout) || !IsValidTimeout(receiveTimeout)) {
        return FailWith(ERROR_INVALID_PARAMETER);
    }
    const Timeouts timeouts{resolveTimeout, connectTimeout, sendTimeout, receiveTimeout};
    auto object = FindHandle(handle);
    if (!object) return false;
    if (object->kind == HandleKind::Session) {
        std::static_pointer_cast<Session>(object)->timeouts = timeouts;
    } else if (object->kind == HandleKind::Request) {
        std::static_pointer_cast<Request>(object)->timeouts = timeouts;
    } else {
        return FailWith(ERROR_WINHTTP_INCORRECT_HANDLE_TYPE);
    }
    return Succeed();
}

HINTERNET WinHttpConnect(HINTERNET session, const char16_t* serverName, INTERNET_PORT serverPort,
                         DWORD reserved) {
    auto owner = FindHandleAs<Session>(session, HandleKind::Session);
    if (!owner) return nullptr;
    std::string host = WideToUtf8(WideView(serverName));
    if (host.empty() || reserved != 0) {
        FailWith(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (host.front() == '[' && host.back() == ']') host = host.substr(1, host.size() - 2);
    auto connection = std::make_shared<Connection>();
    connection->session = std::move(owner);
    connection->host = std::move(host);
    connection->port = serverPort;
    SetWinHttpLastError(0);
    return AddHandle(std::move(connection));
}

HINTERNET WinHttpOpenRequest(HINTERNET connection, const char16_t* verb, const char16_t* objectName,
                             const char16_t*, const char16_t* referrer,
                             const char16_t** acceptTypes, DWORD flags) {
    auto owner = FindHandleAs<Connection>(connection, HandleKind::Connection);
    if (!owner) return nullptr;
    auto request = std::make_shared<Request>();
    request->verb = verb == nullptr || *verb == 0 ? "GET" : WideToUtf8(WideView(verb));
    if (request->verb.find_first_of(" \t\r\n") != std::string::npos) {
        FailWith(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    request->path = ObjectPath(objectName);
    request->headers.reserve(8);  // the lines a caller usually adds, without regrowth
    request->secure = (flags & WINHTTP_FLAG_SECURE) != 0;
    request->timeouts = owner->session->timeouts;
    if (referrer != nullptr && *referrer != 0) {
        request->headers.emplace_back("Referer", Utf16ToGbk(WideView(referrer)));
    }
    if (acceptTypes != nullptr) {
        std::string accept;
        for (const char16_t** type = acceptTypes; *type != nullptr; ++type) {
            if (!accept.empty()) accept += ", ";
            accept += Utf16ToGbk(WideView(*type));
        }
        if (!accept.empty()) request->headers.emplace_back("Accept", accept);
    }
    request->connection = std::move(owner);
    SetWinHttpLastError(0);
    return AddHandle(std::move(request));
}

bool WinHttpSetCredentials(HINTERNET handle, DWORD authTargets, DWORD authScheme,
                           const char16_t* userName, const char16_t* password, void*) {
    auto request = FindHandleAs<Request>(handle, HandleKind::Request);
    if (!request) return false;
    if (authScheme != WINHTTP_AUTH_SCHEME_BASIC || userName == nullptr ||
        (authTargets != WINHTTP_AUTH_TARGET_SERVER && authTargets != WINHTTP_AUTH_TARGET_PROXY)) {
        return FailWith(ERROR_INVALID_PARAMETER);
    }
    const std::string user = Utf16ToGbk(WideView(userName));
    const std::string secret = Utf16ToGbk(WideView(password));
    if (authTargets == WINHTTP_AUTH_TARGET_SERVER) {
        request->serverCredentials = true;
        request->serverUser = user;
        request->serverPassword = secret;
    } else {
        request->proxyCredentials = true;
        request->proxyUser = user;
        request->proxyPassword = secret;
    }
    return Succeed();
}

bool WinHttpSetOption(HINTERNET handle, DWORD option, const void* buffer, DWORD bufferLength) {
    auto object = FindHandle(handle);
    if (!object) return false;
    if (option != WINHTTP_OPTION_SECURITY_FLAGS && option != WINHTTP_OPTION_DISABLE_FEATURE &&
        option != WINHTTP_OPTION_ENABLE_FEATURE) {
        return FailWith(ERROR_WINHTTP_INVALID_OPTION);
    }
    if (object->kind != HandleKind::Request) return FailWith(ERROR_WINHTTP_INCORRECT_HANDLE_TYPE);
    if (buffer == nullptr || bufferLength != sizeof(DWORD)) {
        return FailWith(ERROR_INVALID_PARAMETER);
    }
    auto request = std::static_pointer_cast<Request>(object);
    if (request->state != Request::State::Opened) {
        return FailWith(ERROR_WINHTTP_INCORRECT_HANDLE_STATE);
    }
    DWORD value = 0;
    std::memcpy(&value, buffer, sizeof value);
    switch (option) {
        case WINHTTP_OPTION_SECURITY_FLAGS:
            if (value & ~kKnownSecurityFlags) return FailWith(ERROR_INVALID_PARAMETER);
            request->securityFlags = value;
            break;
        case WINHTTP_OPTION_DISABLE_FEATURE:
            if (value & ~kKnownDisableFlags) return FailWith(ERROR_INVALID_PARAMETER);
            request->disabledFeatures |= value;
            break;
        default:  // WINHTTP_OPTION_ENABLE_FEATURE
            if (value != WINHTTP_ENABLE_SSL_REVOCATION) return FailWith(ERROR_INVALID_PARAMETER);
            request->enabledFeatures |= value;
            break;
    }
    return Succeed();
}

bool WinHttpAddRequestHeaders(HINTERNET handle, const char16_t* headers, DWORD headersLength,
                              DWORD modifiers) {
    auto request = FindHandleAs<Request>(handle, HandleKind::Request);
    if (!request) return false;
    if (headers == nullptr) return FailWith(ERROR_INVALID_PARAMETER);
    if (request->state != Request::State::Opened) {
        return FailWith(ERROR_WINHTTP_INCORRECT_HANDLE_STATE);
    }
    return AddHeaders(*request, headers, headersLength, modifiers);
}

bool WinHttpSendRequest(HINTERNET handle, const char16_t* headers, DWORD headersLength,
                        const void* optional, DWORD optionalLength, DWORD totalLength,
                        std::uintptr_t) {
    auto request = FindHandleAs<Request>(handle, HandleKind::Request);
    if (!request) return false;
    if (request->state != Request::State::Opened) {
        return FailWith(ERROR_WINHTTP_INCORRECT_HANDLE_STATE);
    }
    // There is no WinHttpWriteData here: the whole body comes with this call.
    if ((optional == nullptr && optionalLength != 0) || totalLength != optionalLength) {
        return FailWith(ERROR_INVALID_PARAMETER);
    }
    if (headers != nullptr && headersLength != 0 &&
        !AddHeaders(*request, headers, headersLength, WINHTTP_ADDREQ_FLAG_ADD)) {
        return false;
    }
    TransferSettings settings = SettingsFor(*request);
    if (KeepsCookies(*request) && settings.cookieShare == nullptr) {
        return FailWith(ERROR_WINHTTP_INTERNAL_ERROR);  // no cookie store could be made
    }
    if (optionalLength != 0)
        settings.body.assign(static_cast<const char*>(optional), optionalLength);
    request->transfer = std::make_unique<Transfer>(std::move(settings));
    const DWORD error = request->transfer->Send();
    if (error != 0) {
        request->transfer.reset();
        return FailWith(error);
    }
    request->state = Request::State::Sent;
    return Succeed();
}

bool WinHttpReceiveResponse(HINTERNET handle, void* reserved) {
    auto request = FindHandleAs<Request>(handle, HandleKind::Request);
    if (!request) return false;
    if (reserved != nullptr) return FailWith(ERROR_INVALID_PARAMETER);
    if (request->state != Request::State::Sent) {
        return FailWith(ERROR_WINHTTP_INCORRECT_HANDLE_STATE);
    }
    const DWORD error = request->transfer->ReceiveHeaders();
    if (error != 0) {
        request->transfer.reset();
        request->state = Request::State::Opened;
        return FailWith(error);
    }
    request->state = Request::State::Responded;
    return Succeed();
}

bool WinHttpQueryDataAvailable(HINTERNET handle, DWORD* available) {
    auto request = RespondedRequest(handle);
    if (!request) return false;
    std::size_t ready = 0;
    const DWORD error = request->transfer->WaitForBody(&ready);
    if (error != 0) return FailWith(error);
    if (available != nullptr) {
        *available = static_cast<DWORD>(std::min<std::size_t>(ready, 0x7FFFFFFF));
    }
    return Succeed();
}

bool WinHttpReadData(HINTERNET handle, void* buffer, DWORD bufferLength, DWORD* read) {
    auto request = RespondedRequest(handle);
    if (!request) return false;
    if (buffer == nullptr && bufferLength != 0) return FailWith(ERROR_INVALID_PARAMETER);
    if (read != nullptr) *read = 0;
    if (bufferLength == 0) return Succeed();
    std::size_t ready = 0;
    const DWORD error = request->transfer->WaitForBody(&ready);
    if (error != 0) return FailWith(error);
    const std::size_t n = request->transfer->Read(buffer, bufferLength);
    if (read != nullptr) *read = static_cast<DWORD>(n);
    return Succeed();
}

bool ReadWholeBody(HINTERNET handle, std::vector<std::uint8_t>* body) {
    auto request = RespondedRequest(handle);
    if (!request) return false;
    if (body == nullptr) return FailWith(ERROR_INVALID_PARAMETER);
    const DWORD error = request->transfer->ReadAll(body);
    if (error != 0) return FailWith(error);
    return Succeed();
}

bool WinHttpQueryHeaders(HINTERNET handle, DWORD infoLevel, const char16_t*, void* buffer,
                         DWORD* bufferLength, DWORD* index) {
    auto request = RespondedRequest(handle);
    if (!request) return false;
    if (bufferLength == nullptr) return FailWith(ERROR_INVALID_PARAMETER);
    if (index != nullptr && *index != 0) return FailWith(ERROR_WINHTTP_HEADER_NOT_FOUND);
    const Transfer& transfer = *request->transfer;
    const DWORD level = infoLevel & 0xFFFF;
    const bool asNumber = (infoLevel & WINHTTP_QUERY_FLAG_NUMBER) != 0;
    switch (level) {
        case WINHTTP_QUERY_RAW_HEADERS_CRLF:
            if (asNumber) return FailWith(ERROR_INVALID_PARAMETER);
            return AnswerWide(GbkToUtf16(transfer.RawHeaders()), buffer, bufferLength);
        case WINHTTP_QUERY_STATUS_CODE: {
            const DWORD code = static_cast<DWORD>(transfer.StatusCode());
            if (!asNumber) {
                return AnswerWide(GbkToUtf16(std::to_string(code)), buffer, bufferLength);
            }
            if (buffer == nullptr || *bufferLength < sizeof code) {
                *bufferLength = sizeof code;
                return FailWith(ERROR_INSUFFICIENT_BUFFER);
            }
            std::memcpy(buffer, &code, sizeof code);
            *bufferLength = sizeof code;
            return Succeed();
        }
        case WINHTTP_QUERY_STATUS_TEXT: {
            const std::string& raw = transfer.RawHeaders();
            const std::string statusLine = raw.substr(0, raw.find("\r\n"));
            const std::size_t first = statusLine.find(' ');
            const std::size_t second =
                first == std::string::npos ? std::string::npos : statusLine.find(' ', first + 1);
            const std::string reason =
                second == std::string::npos ? std::string() : statusLine.substr(second + 1);
            return AnswerWide(GbkToUtf16(reason), buffer, bufferLength);
        }
        default:
            return FailWith(ERROR_WINHTTP_HEADER_NOT_FOUND);
    }
}

bool WinHttpCloseHandle(HINTERNET handle) {
    if (handle == nullptr || !RemoveHandle(handle)) return FailWith(ERROR_INVALID_HANDLE);
    return Succeed();
}

}  // namespace lumeno::platform
