// Routing and answers of the local site.
#include "demo_site/endpoints.h"

#include <algorithm>
#include <cstdint>
#include <memory>

#include "demo_site/hostile_answers.h"
#include "platform/codepage/codepage.h"

namespace lumeno::demo {
namespace {

constexpr std::uint64_t kMaxGeneratedBytes = 512ULL * 1024 * 1024;

std::string U8(const char8_t* text) {
    return reinterpret_cast<const char*>(text);
}

std::string HeaderValue(const RecordedRequest& request, const std::string& name) {
    for (const auto& [key, value] : request.headers) {
        if (key.size() == name.size() &&
            std::equal(key.begin(), key.end(), name.begin(), [](char a, char b) {
                return std::tolower(static_cast<unsigned char>(a)) ==
                       std::tolower(static_cast<unsigned char>(b));
            })) {
            return value;
        }
    }
    return {};
}

std::string Base64(const std::string& in) {
    static const char kAlphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    size_t i = 0;
    for (; i + 2 < in.size(); i += 3) {
        const unsigned v = static_cast<unsigned char>(in[i]) << 16 |
                           static_cast<unsigned char>(in[i + 1]) << 8 |
                           static_cast<unsigned char>(in[i + 2]);
        out += kAlphabet[v >> 18];
        out += kAlphabet[(v >> 12) & 63];
        out += kAlphabet[(v >> 6) & 63];
        out += kAlphabet[v & 63];
    }
    if (i < in.size()) {
        unsigned v = static_cast<unsigned char>(in[i]) << 16;
        if (i + 1 < in.size()) v |= static_cast<unsigned char>(in[i + 1]) << 8;
        out += kAlphabet[v >> 18];
        out += kAlphabet[(v >> 12) & 63];
        out += i + 1 < in.size() ? kAlphabet[(v >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

// A short GBK page with a Chinese heading, for status and error answers.
void HtmlMessage(httplib::Response& res, int status, const std::string& headingUtf8) {
    const std::string html =
        "<!DOCTYPE html>\n<html>\n<head>\n"
        "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\">\n<title>" +
        std::to_string(status) + "</title>\n</head>\n<body>\n<h1>" + std::to_string(status) + " " +
        headingUtf8 + "</h1>\n</body>\n</html>\n";
    res.status = status;
    res.set_content(platform::Utf8ToGbk(html), "text/html; charset=gbk");
}

// Filler byte i of a generated body: printable and easy to check.
char FillerByte(std::uint64_t i) {
    return static_cast<char>('a' + i % 26);
}

std::string Filler(std::uint64_t from, std::uint64_t count) {
    std::string out(static_cast<size_t>(count), ' ');
    for (std::uint64_t i = 0; i < count; ++i) out[static_cast<size_t>(i)] = FillerByte(from + i);
    return out;
}

bool WriteFiller(httplib::DataSink& sink, std::uint64_t from, std::uint64_t count) {
    constexpr std::uint64_t kChunk = 64 * 1024;
    while (count > 0) {
        const std::uint64_t n = std::min(count, kChunk);
        const std::string piece = Filler(from, n);
        if (!sink.write(piece.data(), piece.size())) return false;
        from += n;
        count -= n;
    }
    return true;
}

// Content-Length `total`; `bytes` bytes, a pause of `ms`, then the rest of the body.
void StallBody(const QueryList& query, EndpointContext& context, httplib::Response& res) {
    const std::uint64_t total = Number(query, "total", 1000, kMaxGeneratedBytes);
    const std::uint64_t first = std::min(Number(query, "bytes", 10, kMaxGeneratedBytes), total);
    const int ms = static_cast<int>(Number(query, "ms", 5000, 3600000));
    auto pause = context.pause;
    res.set_content_provider(static_cast<size_t>(total), "application/octet-stream",
                             [=](size_t, size_t, httplib::DataSink& sink) {
                                 if (!WriteFiller(sink, 0, first)) return false;
                                 if (!pause(ms)) return false;
                                 return WriteFiller(sink, first, total - first);
                             });
}

// Content-Length `total`; `bytes` bytes, then the connection is closed.
void CutBody(const QueryList& query, httplib::Response& res) {
    const std::uint64_t total = Number(query, "total", 1000, kMaxGeneratedBytes);
    const std::uint64_t first = std::min(Number(query, "bytes", 10, kMaxGeneratedBytes), total);
    res.set_content_provider(static_cast<size_t>(total), "application/octet-stream",
                             [=](size_t, size_t, httplib::DataSink& sink) {
                                 WriteFiller(sink, 0, first);
                                 return false;  // the library then drops the connection
                             });
}

// Content-Length `total`; `chunk` bytes every `interval` ms.
void SlowBody(const QueryList& query, EndpointContext& context, httplib::Response& res) {
    const std::uint64_t total = Number(query, "total", 1000, kMaxGeneratedBytes);
    const std::uint64_t chunk = std::max<std::uint64_t>(1, Number(query, "chunk", 100, total));
    const int interval = static_cast<int>(Number(query, "interval", 100, 60000));
    auto pause = context.pause;
    res.set_content_provider(static_cast<size_t>(total), "application/octet-stream",
                             [=](size_t, size_t, httplib::DataSink& sink) {
                                 for (std::uint64_t sent = 0; sent < total;) {
                                     if (sent > 0 && !pause(interval)) return false;
                                     const std::uint64_t n = std::min(chunk, total - sent);
                                     if (!WriteFiller(sink, sent, n)) return false;
                                     sent += n;
                                 }
                                 return true;
                             });
}

// A GBK page of exactly `bytes` bytes: head, Chinese filler lines, spaces, closing tags. A size
// below the head and tail gives their first bytes only.
void SizedPage(const QueryList& query, httplib::Response& res) {
    const std::uint64_t size = Number(query, "bytes", 1024, UINT64_MAX);
    if (size > kMaxGeneratedBytes) return HtmlMessage(res, 400, U8(u8"页面太大"));
    auto head = std::make_shared<std::string>(platform::Utf8ToGbk(
        "<!DOCTYPE html>\n<html>\n<head>\n"
        "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\">\n<title>" +
        U8(u8"大页面") + "</title>\n</head>\n<body>\n"));
    auto line = std::make_shared<std::string>(
        platform::Utf8ToGbk("<p>" + U8(u8"这是用来填充页面的中文文字。") + "</p>\n"));
    const std::string tail = "</body>\n</html>\n";
    auto small = std::make_shared<std::string>(*head + tail);
    if (size <= small->size()) {
        res.set_content(small->substr(0, static_cast<size_t>(size)), "text/html; charset=gbk");
        return;
    }
    const std::uint64_t middle = size - small->size();
    const std::uint64_t lines = middle / line->size();
    const std::uint64_t spaces = middle % line->size();
    res.set_content_provider(static_cast<size_t>(size), "text/html; charset=gbk",
                             [=](size_t, size_t, httplib::DataSink& sink) {
                                 if (!sink.write(head->data(), head->size())) return false;
                                 std::string block;
                                 for (std::uint64_t i = 0; i < lines; ++i) {
                                     block += *line;
                                     if (block.size() >= 64 * 1024 || i + 1 == lines) {
                                         if (!sink.write(block.data(), block.size())) return false;
                                         block.clear();
                                     }
                                 }
                                 const std::string pad(static_cast<size_t>(spaces), ' ');
                                 if (!pad.empty() && !sink.write(pad.data(), pad.size()))
                                     return false;
                                 return sink.write(tail.data(), tail.size());
                             });
}

// The request's header lines as they arrived, each with its CR LF; the request line is left out.
std::string EchoBody(const RecordedRequest& request) {
    const size_t firstLineEnd = request.head.find("\r\n");
    if (firstLineEnd == std::string::npos || request.head.size() < firstLineEnd + 4) return {};
    // Drops the request line and the empty line that ends the head.
    return request.head.substr(firstLineEnd + 2, request.head.size() - firstLineEnd - 4);
}

}  // namespace

std::string Param(const QueryList& query, const std::string& name) {
    for (const auto& [key, value] : query) {
        if (key == name) return value;
    }
    return {};
}

std::uint64_t Number(const QueryList& query, const std::string& name, std::uint64_t fallback,
                     std::uint64_t limit) {
    const std::string text = Param(query, name);
    if (text.empty() || text.size() > 19) return fallback;
    std::uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return fallback;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return std::min(value, limit);
}

QueryList ParseQuery(const std::string& query) {
    QueryList out;
    size_t start = 0;
    while (start <= query.size() && !query.empty()) {
        size_t end = query.find('&', start);
        if (end == std::string::npos) end = query.size();
        const std::string part = query.substr(start, end - start);
        if (!part.empty()) {
            const size_t eq = part.find('=');
            const std::string key = part.substr(0, eq);
            const std::string value = eq == std::string::npos ? "" : part.substr(eq + 1);
            out.emplace_back(httplib::detail::decode_url(key, true),
                             httplib::detail::decode_url(value, true));
        }
        start = end + 1;
    }
    return out;
}

void Respond(const RecordedRequest& request, const std::string& queryText, EndpointContext& context,
             httplib::Response& res) {
    const std::string& path = request.path;
    const QueryList query = ParseQuery(queryText);

    // A hostile site answers its listing pages or pictures with the mode it was started with.
    const bool isPicture = path.rfind("/uploads/", 0) == 0 && path.ends_with(".jpg");
    const std::string& hostile = isPicture ? context.hostilePictures : context.hostileListings;
    if (!hostile.empty() && (isPicture || context.catalog.ParseListingPath(path))) {
        const size_t mark = hostile.find('?');
        const QueryList hostileQuery =
            ParseQuery(mark == std::string::npos ? "" : hostile.substr(mark + 1));
        if (RespondHostile(hostile.substr(0, mark), hostileQuery, isPicture, context, res)) return;
    }
    if (path.rfind("/hostile/", 0) == 0 &&
        RespondHostile(path.substr(9), query, Param(query, "kind") == "picture", context, res)) {
        return;
    }

    if (auto listing = context.catalog.ParseListingPath(path)) {
        const bool utf8 = context.catalog.IsUtf8(listing->listing);
        res.set_content(context.catalog.PageHtml(*listing),
                        utf8 ? "text/html; charset=utf-8" : "text/html; charset=gbk");
        return;
    }
    if (auto image = context.catalog.ImageBytes(path)) {
        res.set_content(*image, "image/jpeg");
        return;
    }
    if (path == "/fault/stall-headers") {
        const int ms = static_cast<int>(Number(query, "ms", 5000, 3600000));
        if (!context.pause(ms)) {
            context.abortConnection();
            return;
        }
        res.set_content("stalled " + std::to_string(ms) + " ms", "text/plain");
        return;
    }
    if (path == "/fault/stall-body") return StallBody(query, context, res);
    if (path == "/fault/cut-body") return CutBody(query, res);
    if (path == "/fault/slow-body") return SlowBody(query, context, res);
    if (path.rfind("/status/", 0) == 0) {
        const std::string code = path.substr(8);
        const int status = code.size() == 3 && std::all_of(code.begin(), code.end(), ::isdigit)
                               ? std::stoi(code)
                               : 0;
        if (status >= 200 && status <= 599) {
            return HtmlMessage(res, status, status >= 500 ? U8(u8"服务器错误") : U8(u8"状态页"));
        }
    }
    if (path == "/redirect") {
        const std::uint64_t n = Number(query, "n", 0, 1000);
        if (n == 0) {
            res.set_content("redirect done", "text/plain");
        } else {
            res.set_redirect("/redirect?n=" + std::to_string(n - 1), 302);
            res.set_content("<html><body>302</body></html>\n", "text/html");
        }
        return;
    }
    if (path == "/redirect-to") {
        const std::string url = Param(query, "url");
        if (url.find_first_of("\r\n") == std::string::npos && !url.empty()) {
            res.set_redirect(url, 302);
            res.set_content("<html><body>302</body></html>\n", "text/html");
            return;
        }
        return HtmlMessage(res, 400, U8(u8"缺少地址"));
    }
    if (path == "/cookies") {
        for (const auto& [key, value] : query) {
            if (value.find_first_of("\r\n") != std::string::npos) continue;
            if (key == "set") res.headers.emplace("Set-Cookie", value);
            if (key == "lset") res.headers.emplace("set-cookie", value);
        }
        res.set_content("cookies", "text/plain");
        return;
    }
    if (path == "/size") return SizedPage(query, res);
    if (path == "/echo") {
        res.set_content(EchoBody(request), "text/plain");
        return;
    }
    if (path == "/auth/basic") {
        const std::string expected =
            "Basic " + Base64(Param(query, "user") + ":" + Param(query, "password"));
        if (HeaderValue(request, "Authorization") == expected) {
            res.set_content("authorized", "text/plain");
        } else {
            HtmlMessage(res, 401, U8(u8"需要登录"));
            res.set_header("WWW-Authenticate", "Basic realm=\"lumeno\"");
        }
        return;
    }
    HtmlMessage(res, 404, U8(u8"页面不存在"));
}

}  // namespace lumeno::demo
