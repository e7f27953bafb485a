// The pure steps of the object transport: its timeout value, the completed header text and the
// check of the body's declared length.
#include <array>
#include <climits>
#include <string_view>

#include "http/object_web_request.h"
#include "http/request_headers.h"
#include "platform/codepage/codepage.h"
#include "util/runtime_services.h"
#include "util/text_slicing.h"

namespace lumeno {
namespace {

constexpr const char* kCrLf = "\r\n";
constexpr int kPostMethod = 1;

int ClampedMethod(int method) {
    return method < 0 || method > 7 ? 0 : method;
}

}  // namespace

int ObjectRequestTimeoutMilliseconds(int timeoutSeconds) {
    if (timeoutSeconds < 1) return 15000;
    // Seconds that do not fit as milliseconds wait as long as an int allows instead of
    // wrapping round to a negative or tiny timeout.
    if (timeoutSeconds > INT_MAX / 1000) return INT_MAX;
    return timeoutSeconds * 1000;
}

Text CompleteObjectRequestHeaders(const Text& headers, const Text& url, int method,
                                  bool addDefaultHeaders, bool normaliseHeaderNames) {
    Text working = headers;
    if (addDefaultHeaders) {
        struct Row {
            std::string_view searched;  // looked for anywhere in the text, ASCII case ignored
            std::string_view line;      // appended after CR LF when the searched text is absent
            bool withUrl;               // the line ends in the request's URL
            bool postOnly;
        };
        static constexpr std::array<Row, 5> kRows{{
            {"Accept:", "Accept: */*", false, false},
            {"Referer:", "Referer: ", true, false},
            {"Accept-Language:", "Accept-Language: zh-cn", false, false},
            {"User-Agent:", "User-Agent: Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)", false,
             false},
            {"Content-Type:", "Content-Type: application/x-www-form-urlencoded", false, true},
        }};
        working.reserve(headers.size() + url.size() + 256);
        for (const Row& row : kRows) {
            if (row.postOnly && ClampedMethod(method) != kPostMethod) continue;
            if (detail::TextFinder(working, row.searched, true).Next(0) !=
                detail::TextFinder::npos) {
                continue;
            }
            working += kCrLf;
            working += row.line;
            if (row.withUrl) working += url;
        }
    }
    if (normaliseHeaderNames) working = CapitaliseHeaderNames(working);
    return working;
}

bool ResponseBodyCutShort(const Text& responseHeaders, int received) {
    if (received <= 0) return false;
    constexpr std::string_view kName = "Content-Length";
    bool cut = false;
    // The first line whose name (before its first ":") is Content-Length, in any case, decides.
    VisitSplitPieces(responseHeaders, kCrLf, [&](std::string_view line) {
        if (line.size() <= kName.size() || line[kName.size()] != ':' ||
            !platform::EqualsAsciiIgnoreCase(line.substr(0, kName.size()), kName)) {
            return true;
        }
        const std::string_view value = TrimSpacesView(line.substr(kName.size() + 1));
        if (value.empty() || value.size() > 18) return false;
        long long declared = 0;
        for (char c : value) {
            if (c < '0' || c > '9') return false;
            declared = declared * 10 + (c - '0');
        }
        cut = declared > received;
        return false;
    });
    return cut;
}

}  // namespace lumeno
