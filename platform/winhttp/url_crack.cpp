// WinHttpCrackUrl: splits an http or https URL into scheme, user, password, host, port, path and
// extra information (query and fragment), answering with pointers into the URL or copies.
#include <string_view>

#include "platform/codepage/codepage.h"
#include "platform/winhttp/last_error.h"
#include "platform/winhttp/wide_strings.h"
#include "platform/winhttp/winhttp.h"

namespace lumeno::platform {
namespace {

constexpr DWORD kPointerIntoUrl = 0xFFFFFFFF;

// Answers one component. Returns false (and sets the error) when a copy does not fit.
bool Fill(char16_t*& pointer, DWORD& length, const char16_t* begin, std::size_t count) {
    if (pointer == nullptr) {
        if (length == 0) return true;  // not asked for
        pointer = const_cast<char16_t*>(begin);
        length = static_cast<DWORD>(count);
        return true;
    }
    if (length == 0 || length == kPointerIntoUrl) return true;
    if (length <= count) {
        length = static_cast<DWORD>(count + 1);
        return FailWith(ERROR_INSUFFICIENT_BUFFER);
    }
    std::u16string_view(begin, count).copy(pointer, count);
    pointer[count] = 0;
    length = static_cast<DWORD>(count);
    return true;
}

}  // namespace

bool WinHttpCrackUrl(const char16_t* url, DWORD urlLength, DWORD flags,
                     URL_COMPONENTS* components) {
    if (url == nullptr || components == nullptr ||
        components->dwStructSize != sizeof(URL_COMPONENTS) || flags != 0) {
        return FailWith(ERROR_INVALID_PARAMETER);
    }
    const std::u16string_view text(url, urlLength != 0 ? urlLength : WideLength(url));
    const std::size_t schemeEnd = text.find(u"://");
    if (schemeEnd == std::u16string_view::npos) return FailWith(ERROR_WINHTTP_UNRECOGNIZED_SCHEME);
    const std::u16string_view scheme = text.substr(0, schemeEnd);
    INTERNET_SCHEME schemeNumber = 0;
    INTERNET_PORT defaultPort = 0;
    if (EqualsAsciiIgnoreCase(scheme, u"http")) {
        schemeNumber = INTERNET_SCHEME_HTTP;
        defaultPort = INTERNET_DEFAULT_HTTP_PORT;
    } else if (EqualsAsciiIgnoreCase(scheme, u"https")) {
        schemeNumber = INTERNET_SCHEME_HTTPS;
        defaultPort = INTERNET_DEFAULT_HTTPS_PORT;
    } else {
        return FailWith(ERROR_WINHTTP_UNRECOGNIZED_SCHEME);
    }

    const std::size_t authorityStart = schemeEnd + 3;
    std::size_t authorityEnd = text.find_first_of(u"/?#", authorityStart);
    if (authorityEnd == std::u16string_view::npos) authorityEnd = text.size();
    const std::u16string_view authority =
        text.substr(authorityStart, authorityEnd - authorityStart);

    std::u16string_view user, password, hostPort = authority;
    const std::size_t at = authority.rfind(u'@');
    if (at != std::u16string_view::npos) {
        const std::u16string_view userInfo = authority.substr(0, at);
        hostPort = authority.substr(at + 1);
        const std::size_t colon = userInfo.find(u':');
        user = userInfo.substr(0, colon);
        if (colon != std::u16string_view::npos) password = userInfo.substr(colon + 1);
    }

    std::u16string_view host, portText;
    bool hasPort = false;
    if (!hostPort.empty() && hostPort.front() == u'[') {
        const std::size_t close = hostPort.find(u']');
        if (close == std::u16string_view::npos) return FailWith(ERROR_WINHTTP_INVALID_URL);
        host = hostPort.substr(0, close + 1);
        const std::u16string_view rest = hostPort.substr(close + 1);
        if (!rest.empty()) {
            if (rest.front() != u':') return FailWith(ERROR_WINHTTP_INVALID_URL);
            hasPort = true;
            portText = rest.substr(1);
        }
    } else {
        const std::size_t colon = hostPort.find(u':');
        host = hostPort.substr(0, colon);
        if (colon != std::u16string_view::npos) {
            hasPort = true;
            portText = hostPort.substr(colon + 1);
        }
    }
    if (host.empty()) return FailWith(ERROR_WINHTTP_INVALID_URL);

    unsigned long port = defaultPort;
    if (hasPort && !portText.empty()) {
        if (portText.size() > 5) return FailWith(ERROR_WINHTTP_INVALID_URL);
        port = 0;
        for (char16_t c : portText) {
            if (c < u'0' || c > u'9') return FailWith(ERROR_WINHTTP_INVALID_URL);
            port = port * 10 + (c - u'0');
        }
        if (port == 0 || port > 65535) return FailWith(ERROR_WINHTTP_INVALID_URL);
    }

    std::size_t extraStart = text.find_first_of(u"?#", authorityEnd);
    if (extraStart == std::u16string_view::npos) extraStart = text.size();
    const char16_t* base = text.data();

    URL_COMPONENTS& c = *components;
    c.nScheme = schemeNumber;
    c.nPort = static_cast<INTERNET_PORT>(port);
    return Fill(c.lpszScheme, c.dwSchemeLength, base, scheme.size()) &&
           Fill(c.lpszHostName, c.dwHostNameLength, host.data(), host.size()) &&
           Fill(c.lpszUserName, c.dwUserNameLength, user.empty() ? host.data() : user.data(),
                user.size()) &&
           Fill(c.lpszPassword, c.dwPasswordLength,
                password.empty() ? host.data() : password.data(), password.size()) &&
           Fill(c.lpszUrlPath, c.dwUrlPathLength, base + authorityEnd, extraStart - authorityEnd) &&
           Fill(c.lpszExtraInfo, c.dwExtraInfoLength, base + extraStart,
                text.size() - extraStart) &&
           (SetWinHttpLastError(0), true);
}

}  // namespace lumeno::platform
