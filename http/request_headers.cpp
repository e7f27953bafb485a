// Verb, body and timeout rules and the assembly of the session transport's header block.
#include "http/request_headers.h"

#include <array>
#include <climits>

#include "util/runtime_services.h"
#include "util/text_slicing.h"

namespace lumeno {
namespace {

constexpr const char* kCrLf = "\r\n";

struct DefaultHeader {
    const char* searched;  // looked for anywhere in the header text, ASCII case ignored
    const char* line;      // appended, then CR LF, when the searched text is absent
    bool postOnly;
};

// Applied in this order; each row sees the text as the rows before it left it.
constexpr std::array<DefaultHeader, 6> kDefaultHeaders{{
    {"User-Agent: ",
     "User-Agent: Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; WOW64; Trident/5.0)", false},
    {"Accept: ", "Accept: text/html, application/xhtml+xml, */*", false},
    {"Accept-Encoding: ", "Accept-Encoding: gbk, GB2312", false},
    {"Accept-Language: ", "Accept-Language: zh-cn", false},
    {"Content-Type:", "Content-Type: application/x-www-form-urlencoded", true},
    {"Cache-Control: ", "Cache-Control: no-cache", false},
}};

constexpr int kPostMethod = 1;

void CapitaliseByte(char& c) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
}

// Removes every "Connection: keep-alive" line that is followed by CR LF. Only whole lines are
// removed: the same bytes at the end of another header's name ("Proxy-Connection: keep-alive")
// are part of that line and stay, so no line is ever cut in two.
Text RemoveKeepAliveLines(const Text& text) {
    static const Text kLine = "Connection: keep-alive\r\n";
    Text out;
    std::size_t lineStart = 0;
    while (lineStart < text.size()) {
        if (text.compare(lineStart, kLine.size(), kLine) == 0) {
            lineStart += kLine.size();
            continue;
        }
        const std::size_t end = text.find(kCrLf, lineStart);
        const std::size_t next = end == Text::npos ? text.size() : end + 2;
        out.append(text, lineStart, next - lineStart);
        lineStart = next;
    }
    return out;
}

}  // namespace

Text RequestVerb(int method) {
    static constexpr std::array<const char*, 8> kVerbs{"GET",     "POST",   "HEAD",  "PUT",
                                                       "OPTIONS", "DELETE", "TRACE", "CONNECT"};
    if (method < 0 || method >= static_cast<int>(kVerbs.size())) return "GET";
    return kVerbs[static_cast<std::size_t>(method)];
}

ByteSet RequestBody(const ByteSet& bodyBytes, const Text& bodyText) {
    if (BytesLength(bodyBytes) > 0) return bodyBytes;
    return ToBytes(bodyText);
}

int RequestTimeoutMilliseconds(int timeoutSeconds) {
    if (timeoutSeconds <= 0) return 30000;
    // Seconds that do not fit as milliseconds wait as long as an int allows instead of
    // wrapping round to a negative or tiny timeout.
    if (timeoutSeconds > INT_MAX / 1000) return INT_MAX;
    return timeoutSeconds * 1000;
}

Text AssembleRequestHeaders(const Text& headers, int method, const Text& cookies,
                            int addDefaultHeaders, int normaliseHeaderNames) {
    // A headers text that already ends in CR LF thus ends in an empty line, which the
    // capitalisation drops again.
    Text working = TextLength(headers) > 0 ? headers + kCrLf : Text{};

    if (addDefaultHeaders != 0) {
        for (const DefaultHeader& row : kDefaultHeaders) {
            if (row.postOnly && method != kPostMethod) continue;
            if (FindText(working, row.searched, 1, true) == -1) {
                working += row.line;
                working += kCrLf;
            }
        }
    }

    if (normaliseHeaderNames != 0) working = CapitaliseHeaderNames(working);

    // Case-sensitive on purpose: "connection: keep-alive" only goes when the names were
    // capitalised first. A last line without CR LF after it stays.
    if (FindText(working, "Connection") != -1 &&
        HeaderValue(working, "Connection") == "keep-alive") {
        working = RemoveKeepAliveLines(working);
    }

    if (FindText(working, "Cookie:", 1, true) == -1 && TextLength(cookies) > 0) {
        working += kCrLf;
        if (FindText(cookies, "Cookie:", 1, true) == -1) working += "Cookie: ";
        working += cookies;
        working += kCrLf;
    }
    return working;
}

Text CapitaliseHeaderNames(const Text& headerText) {
    Text result;
    result.reserve(headerText.size() + 2);
    VisitSplitPieces(headerText, kCrLf, [&result](std::string_view line) {
        detail::TextFinder colonFinder(line, ":", false);
        const std::size_t colon = colonFinder.Next(0);
        if (colon == detail::TextFinder::npos) return true;  // also every empty line
        const std::size_t start = result.size();
        result.append(line);
        result += kCrLf;
        // The first byte of the name and of every piece after a "-" in it, upper-cased when
        // it is a single-byte lower-case letter.
        const std::string_view name = line.substr(0, colon);
        detail::TextFinder dashFinder(name, "-", false);
        std::size_t piece = 0;
        while (piece < name.size()) {
            CapitaliseByte(result[start + piece]);
            const std::size_t dash = dashFinder.Next(piece);
            if (dash == detail::TextFinder::npos) break;
            piece = dash + 1;
        }
        return true;
    });
    if (result.size() >= 2) result.resize(result.size() - 2);
    return result;
}

Text HeaderValue(const Text& headerText, const Text& name) {
    const int nameLength = TextLength(name);
    for (const Text& line : SplitText(headerText, kCrLf)) {
        if (LeftText(line, nameLength) != name) continue;
        const Text marker = name + ": ";
        const int at = FindTextLast(line, marker);
        if (at == -1) return {};
        return MidText(line, at + TextLength(marker), TextLength(line));
    }
    return {};
}

}  // namespace lumeno
