// WebRequest against a recording WinHttpApi: the exact calls and values of the crawler's plain
// request, the error text and the handle closing of each failing step, and the harvesting of
// the response header block.
#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "http/cookies.h"
#include "http/web_request.h"
#include "platform/com/runtime.h"
#include "tests/http/web_request/recording_winhttp.h"

namespace lumeno {
namespace {

using testing::RecordingWinHttp;
using Calls = std::vector<std::string>;

const char* const kDefaultBlock =
    "User-Agent: Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; WOW64; Trident/5.0)\r\n"
    "Accept: text/html, application/xhtml+xml, */*\r\n"
    "Accept-Encoding: gbk, GB2312\r\n"
    "Accept-Language: zh-cn\r\n"
    "Cache-Control: no-cache";

TEST(WebRequestCalls, PlainRequestMakesExactlyTheseCalls) {
    RecordingWinHttp api;
    const Text url = "http://127.0.0.1:8808/fengjing/index.html";
    const Text result = WebRequest(api, url);
    EXPECT_EQ(result, "<html>body</html>");
    const std::string block = kDefaultBlock;
    const Calls expected = {
        "WinHttpCheckPlatform()",
        "WinHttpCrackUrl(\"http://127.0.0.1:8808/fengjing/index.html\", 41, 0, "
        "{1 0xFFFFFFFF 0xFFFFFFFF 0xFFFFFFFF 0xFFFFFFFF 0x0 0x0})",
        "WinHttpOpen(null, 1, \"\", null, 0)",
        "WinHttpSetTimeouts(session, 30000, 30000, 30000, 30000)",
        "WinHttpConnect(session, \"127.0.0.1\", 8808, 0)",
        "WinHttpOpenRequest(connection, \"GET\", \"/fengjing/index.html\", null, null, null, 0x0)",
        "WinHttpSetOption(request, 31, 0x3300, 4)",
        "WinHttpSetOption(request, 63, 0x1, 4)",
        "WinHttpAddRequestHeaders(request, \"" + block + "\", " + std::to_string(block.size()) +
            ", 0x20000000)",
        "WinHttpSendRequest(request, null, 0, null, 0, 0, 0)",
        "WinHttpReceiveResponse(request, null)",
        "WinHttpQueryDataAvailable(request)",
        "WinHttpReadData(request, 6)",
        "WinHttpQueryDataAvailable(request)",
        "WinHttpReadData(request, 11)",
        "WinHttpQueryDataAvailable(request)",
        "WinHttpQueryHeaders(request, 22, null, null, 0, 0)",
        "WinHttpQueryHeaders(request, 22, null, buffer, 90, 0)",
        "WinHttpCloseHandle(request)",
        "WinHttpCloseHandle(connection)",
        "WinHttpCloseHandle(session)",
    };
    EXPECT_EQ(api.calls, expected);
}

struct FailingStep {
    std::string call;         // the failing call
    std::string optionValue;  // for WinHttpSetOption: "option=value"
    const char* status;
    Calls closes;  // the handles closed afterwards, in order
};

class WebRequestFailure : public ::testing::TestWithParam<FailingStep> {};

TEST_P(WebRequestFailure, WritesItsTextClosesWhatWasOpenAndReturnsEmpty) {
    const FailingStep& step = GetParam();
    RecordingWinHttp api;
    if (step.optionValue.empty()) {
        api.failing.insert(step.call);
    } else {
        api.failingOptionValue = step.optionValue;
    }
    Text status = "untouched", headers = "untouched", bytesMark = "untouched";
    ByteSet bytes = {1, 2, 3};
    RequestOptions options;
    options.statusText = &status;
    options.returnedHeaders = &headers;
    options.responseBytes = &bytes;
    options.serverUser = "u";
    options.serverPassword = "p";
    options.disableRedirects = true;
    EXPECT_EQ(WebRequest(api, "https://example.com/x", options), "");
    EXPECT_EQ(status, step.status);
    EXPECT_EQ(headers, "untouched");
    EXPECT_EQ(bytes, (ByteSet{1, 2, 3}));
    Calls closes;
    for (const std::string& call : api.calls) {
        if (call.starts_with("WinHttpCloseHandle")) closes.push_back(call);
    }
    EXPECT_EQ(closes, step.closes);
    // Nothing after the failing step but the closing.
    const std::size_t firstClose = api.calls.size() - closes.size();
    ASSERT_GT(firstClose, 0u);
    if (step.optionValue.empty()) {
        EXPECT_TRUE(api.calls[firstClose - 1].starts_with(step.call)) << api.calls[firstClose - 1];
    }
}

const Calls kAllThree = {"WinHttpCloseHandle(request)", "WinHttpCloseHandle(connection)",
                         "WinHttpCloseHandle(session)"};

INSTANTIATE_TEST_SUITE_P(
    Steps, WebRequestFailure,
    ::testing::Values(
        FailingStep{"WinHttpCheckPlatform", "", "700 当前系统不支持WinHttp服务!", {}},
        FailingStep{"WinHttpCrackUrl", "", "701 解析URL地址失败!", {}},
        FailingStep{"WinHttpOpen", "", "702 创建WinHttp会话失败!", {}},
        FailingStep{
            "WinHttpSetTimeouts", "", "705 设置超时时间失败!", {"WinHttpCloseHandle(session)"}},
        FailingStep{
            "WinHttpConnect", "", "703 创建WinHttp连接失败!", {"WinHttpCloseHandle(session)"}},
        FailingStep{"WinHttpOpenRequest",
                    "",
                    "704 创建WinHttp请求失败!",
                    {"WinHttpCloseHandle(connection)", "WinHttpCloseHandle(session)"}},
        FailingStep{"WinHttpSetCredentials", "", "707 设置代理凭证失败!", kAllThree},
        FailingStep{"WinHttpSetOption", "31=13056", "忽略错误/证书错误  失败！", kAllThree},
        FailingStep{"WinHttpSetOption", "63=1", "708 禁止自动设置Cookies失败!", kAllThree},
        FailingStep{"WinHttpSetOption", "63=2", "709 重定向设置失败!", kAllThree},
        FailingStep{"WinHttpAddRequestHeaders", "", "710 设置协议头失败!", kAllThree},
        FailingStep{"WinHttpSendRequest", "", "711 发送请求失败!", kAllThree},
        FailingStep{"WinHttpReceiveResponse", "", "712 服务器未响应!", kAllThree}));

std::string CallTo(const RecordingWinHttp& api, const std::string& name, int occurrence = 1) {
    for (const std::string& call : api.calls) {
        if (call.starts_with(name + "(") && --occurrence == 0) return call;
    }
    return "(none)";
}

TEST(WebRequestCalls, SecureUrlProxyAndCredentials) {
    RecordingWinHttp api;
    RequestOptions options;
    options.proxy = "127.0.0.1:8888";
    options.serverUser = "user";
    options.serverPassword = "pw";
    options.proxyUser = "pu";  // no proxy password: no proxy credentials
    WebRequest(api, "https://example.com/a", options);
    EXPECT_EQ(CallTo(api, "WinHttpOpen"), "WinHttpOpen(null, 3, \"127.0.0.1:8888\", null, 0)");
    EXPECT_EQ(CallTo(api, "WinHttpConnect"), "WinHttpConnect(session, \"example.com\", 443, 0)");
    EXPECT_EQ(CallTo(api, "WinHttpOpenRequest"),
              "WinHttpOpenRequest(connection, \"GET\", \"/a\", null, null, null, 0x800000)");
    EXPECT_EQ(CallTo(api, "WinHttpSetCredentials"),
              "WinHttpSetCredentials(request, 0, 1, \"user\", \"pw\", null)");
    EXPECT_EQ(CallTo(api, "WinHttpSetCredentials", 2), "(none)");

    RecordingWinHttp plain;
    options.serverPassword.clear();
    options.proxyPassword = "pp";
    WebRequest(plain, "http://example.com:81/a", options);
    EXPECT_EQ(CallTo(plain, "WinHttpOpen"),
              "WinHttpOpen(null, 3, \"http=127.0.0.1:8888\", null, 0)");
    EXPECT_EQ(CallTo(plain, "WinHttpSetCredentials"),
              "WinHttpSetCredentials(request, 1, 1, \"pu\", \"pp\", null)");
    EXPECT_EQ(CallTo(plain, "WinHttpSetCredentials", 2), "(none)");
}

TEST(WebRequestCalls, ObjectPathIsPathAndExtraOrSlashAlone) {
    const std::vector<std::pair<Text, std::string>> cases = {
        {"http://host", "\"/\""},
        {"http://host?x=1", "\"/\""},
        {"http://host/p/q.html?x=1&y=2#top", "\"/p/q.html?x=1&y=2#top\""},
        {"http://host:8080/", "\"/\""},
    };
    for (const auto& [url, path] : cases) {
        RecordingWinHttp api;
        WebRequest(api, url);
        EXPECT_EQ(CallTo(api, "WinHttpOpenRequest"),
                  "WinHttpOpenRequest(connection, \"GET\", " + path + ", null, null, null, 0x0)")
            << url;
    }
}

TEST(WebRequestCalls, CookiesBodyMethodAndTimeout) {
    RecordingWinHttp api;
    Text cookies = "a=0";
    RequestOptions options;
    options.cookies = &cookies;
    options.method = 1;
    options.bodyText = "x=1";
    options.timeoutSeconds = 5;
    WebRequest(api, "http://host/form", options);
    EXPECT_EQ(CallTo(api, "WinHttpSetOption", 2), "WinHttpSetOption(request, 79, 0x1, 4)");
    EXPECT_EQ(CallTo(api, "WinHttpSetTimeouts"),
              "WinHttpSetTimeouts(session, 5000, 5000, 5000, 5000)");
    EXPECT_NE(CallTo(api, "WinHttpAddRequestHeaders").find("\r\nCookie: a=0\r\n"),
              std::string::npos);
    EXPECT_NE(CallTo(api, "WinHttpOpenRequest").find("\"POST\""), std::string::npos);
    EXPECT_EQ(CallTo(api, "WinHttpSendRequest"),
              "WinHttpSendRequest(request, null, 0, \"x=1\", 3, 3, 0)");

    RecordingWinHttp bytesApi;
    options.bodyBytes = {'Z'};
    WebRequest(bytesApi, "http://host/form", options);
    EXPECT_EQ(CallTo(bytesApi, "WinHttpSendRequest"),
              "WinHttpSendRequest(request, null, 0, \"Z\", 1, 1, 0)");
}

// The header block of a request with no lines, no cookies and both flags on is the same for
// every method but POST, whichever request came before; a request with lines, cookies or a flag
// off between them gets its own block, and the plain block after it is unchanged.
TEST(WebRequestCalls, PlainHeaderBlockFollowsTheMethod) {
    const std::string postBlock =
        std::string(kDefaultBlock)
            .insert(std::string(kDefaultBlock).find("Cache-Control"),
                    "Content-Type: application/x-www-form-urlencoded\r\n");
    struct Row {
        int method;
        Text cookies, headers;
        int addDefaultHeaders;
        std::string expected;  // the whole block, or a part of it for the rows that are not plain
    };
    const std::vector<Row> rows = {
        {1, "", "", 1, postBlock},
        {0, "", "", 1, kDefaultBlock},
        {0, "a=1", "", 1, "\r\nCookie: a=1"},
        {7, "", "", 1, kDefaultBlock},
        {1, "", "X-Extra: 2", 1, "X-Extra: 2"},
        {1, "", "", 1, postBlock},
        {2, "", "", 0, ""},
        {-1, "", "", 1, kDefaultBlock},
        {0, "", "", 1, kDefaultBlock},
    };
    for (const Row& row : rows) {
        RecordingWinHttp api;
        Text cookies = row.cookies;
        RequestOptions options;
        options.method = row.method;
        options.cookies = &cookies;
        options.headers = row.headers;
        options.addDefaultHeaders = row.addDefaultHeaders;
        WebRequest(api, "http://host/", options);
        const std::string call = CallTo(api, "WinHttpAddRequestHeaders");
        const bool plain = row.cookies.empty() && row.headers.empty() && row.addDefaultHeaders;
        if (plain) {
            EXPECT_EQ(call, "WinHttpAddRequestHeaders(request, \"" + row.expected + "\", " +
                                std::to_string(row.expected.size()) + ", 0x20000000)")
                << row.method;
        } else {
            EXPECT_NE(call.find(row.expected), std::string::npos) << call;
            EXPECT_EQ(call.find("User-Agent") == std::string::npos, row.addDefaultHeaders == 0)
                << call;
        }
    }
}

// The body is read piece by piece into the text; the text ends at the first zero byte, in
// whichever piece it arrives, while responseBytes keeps every byte.
struct ZeroCase {
    const char* name;
    std::deque<std::string> pieces;
    Text text;
};

class WebRequestZeroBytes : public ::testing::TestWithParam<ZeroCase> {};

TEST_P(WebRequestZeroBytes, TextEndsAtTheFirstZeroAndTheBytesStayWhole) {
    std::string all;
    for (const std::string& piece : GetParam().pieces) all += piece;
    for (const bool keepBytes : {false, true}) {
        RecordingWinHttp api;
        api.bodyPieces = GetParam().pieces;
        ByteSet bytes;
        RequestOptions options;
        if (keepBytes) options.responseBytes = &bytes;
        EXPECT_EQ(WebRequest(api, "http://host/", options), GetParam().text) << keepBytes;
        EXPECT_EQ(bytes, keepBytes ? ByteSet(all.begin(), all.end()) : ByteSet());
    }
}

using namespace std::string_literals;

INSTANTIATE_TEST_SUITE_P(Pieces, WebRequestZeroBytes,
                         ::testing::Values(ZeroCase{"NoZero", {"ab", "cd", "ef"}, "abcdef"},
                                           ZeroCase{"ZeroInFirstPiece", {"a\0b"s, "cd"}, "a"},
                                           ZeroCase{
                                               "ZeroInLaterPiece", {"ab", "c\0d"s, "e\0f"s}, "abc"},
                                           ZeroCase{"ZeroStartsAPiece", {"ab", "\0cd"s}, "ab"},
                                           ZeroCase{"OnlyZeros", {"\0"s, "\0\0"s}, ""}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(WebRequestHarvest, StatusCookiesAndLocationFromTheHeaderBlock) {
    RecordingWinHttp api;
    api.rawHeaders =
        u"HTTP/1.1 302 Found\r\nSet-Cookie: a=1; path=/\r\nSet-Cookie: b=2\r\n"
        u"set-cookie: c=3\r\nLocation: /first\r\nlocation: /x\r\n\r\n";
    Text status, cookies = "z=9", location, headers;
    ByteSet bytes;
    RequestOptions options;
    options.statusText = &status;
    options.returnedCookies = &cookies;
    options.returnedLocation = &location;
    options.returnedHeaders = &headers;
    options.responseBytes = &bytes;
    WebRequest(api, "http://host/", options);
    EXPECT_EQ(status, "302 Found");
    EXPECT_EQ(cookies, "a=1; b=2");
    EXPECT_EQ(location, "/x");
    EXPECT_EQ(headers.substr(0, 20), "HTTP/1.1 302 Found\r\n");
    EXPECT_EQ(headers.substr(headers.size() - 4), "\r\n\r\n");
    EXPECT_EQ(bytes, (ByteSet{'<', 'h', 't', 'm', 'l', '>', 'b', 'o', 'd', 'y', '<', '/', 'h', 't',
                              'm', 'l', '>'}));
}

TEST(WebRequestHarvest, MergeLeavesTheJarInBothVariables) {
    RecordingWinHttp api;
    api.rawHeaders = u"HTTP/1.1 200 OK\r\nSet-Cookie: a=1; path=/\r\nSet-Cookie: b=2\r\n\r\n";
    Text jar = "a=0; c=3", returned;
    RequestOptions options;
    options.cookies = &jar;
    options.returnedCookies = &returned;
    WebRequest(api, "http://host/", options);
    Text expectedJar = "a=0; c=3", fresh = "a=1; b=2";
    const Text expected = MergeCookies(expectedJar, fresh);
    EXPECT_EQ(returned, expected);
    EXPECT_EQ(jar, expectedJar);
    EXPECT_NE(returned, "a=1; b=2");  // the merge took place

    RecordingWinHttp noMerge;
    noMerge.rawHeaders = api.rawHeaders;
    Text jar2 = "a=0";
    options.cookies = &jar2;
    options.mergeCookies = 0;
    WebRequest(noMerge, "http://host/", options);
    EXPECT_EQ(returned, "a=1; b=2");
    EXPECT_EQ(jar2, "a=0");
}

TEST(WebRequestHarvest, StatusWithoutLineEndIsEmpty) {
    RecordingWinHttp api;
    api.rawHeaders = u"HTTP/1.1 200";
    Text status = "x";
    RequestOptions options;
    options.statusText = &status;
    WebRequest(api, "http://host/", options);
    EXPECT_EQ(status, "");
}

TEST(WebRequestHarvest, ReadFailureKeepsTheBytesAndTheStatusLineWins) {
    RecordingWinHttp api;
    api.readFailsAfterPieces = true;
    api.rawHeaders = u"HTTP/1.1 206 Partial Content\r\n\r\n";
    Text status;
    RequestOptions options;
    options.statusText = &status;
    EXPECT_EQ(WebRequest(api, "http://host/", options), "<html>body</html>");
    EXPECT_EQ(status, "206 Partial Content");
}

TEST(WebRequestHarvest, FailedHeaderQueryLeavesTheReadErrorAndNoResult) {
    RecordingWinHttp api;
    api.readFailsAfterPieces = true;
    api.headerQueryFails = true;
    Text status, headers = "kept";
    ByteSet bytes = {9};
    RequestOptions options;
    options.statusText = &status;
    options.returnedHeaders = &headers;
    options.responseBytes = &bytes;
    EXPECT_EQ(WebRequest(api, "http://host/", options), "");
    EXPECT_EQ(status, "713 读取数据失败!");
    EXPECT_EQ(headers, "kept");
    EXPECT_EQ(bytes, ByteSet{9});
    EXPECT_EQ(api.calls.back(), "WinHttpCloseHandle(session)");
}

TEST(WebRequestObjectRuntime, EveryWayOutLeavesTheThreadAsItWas) {
    const int before = platform::CoInitializeCount();
    RecordingWinHttp ok;
    WebRequest(ok, "http://host/");
    EXPECT_EQ(platform::CoInitializeCount(), before);
    RecordingWinHttp early;
    early.failing.insert("WinHttpSetCredentials");
    RequestOptions options;
    options.serverUser = "u";
    options.serverPassword = "p";
    WebRequest(early, "http://host/", options);
    EXPECT_EQ(platform::CoInitializeCount(), before);
    RecordingWinHttp first;
    first.failing.insert("WinHttpCheckPlatform");
    WebRequest(first, "http://host/");
    EXPECT_EQ(platform::CoInitializeCount(), before);
}

}  // namespace
}  // namespace lumeno
