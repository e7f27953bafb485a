// WinHttpCrackUrl: the parts it answers with pointers into the URL, and the URLs it refuses.
// Where Wine 8 cracks a URL otherwise than Windows does, the case reports the gap as a skip.
#include <gtest/gtest.h>

#include <string>

#include "platform/winhttp/winhttp.h"
#include "tests/support/platform_gaps.h"

namespace lumeno::platform {
namespace {

constexpr DWORD kAsk = 0xFFFFFFFF;

struct CrackCase {
    std::u16string url;
    INTERNET_SCHEME scheme;
    std::u16string host;
    INTERNET_PORT port;
    std::u16string path;
    std::u16string extra;
    // The host that Wine 8 answers instead, and why that is a gap; empty where it agrees.
    std::u16string wineHost = {};
    const char* wineGap = nullptr;
};

class CrackUrlTest : public ::testing::TestWithParam<CrackCase> {};

TEST_P(CrackUrlTest, AnswersPointersIntoTheUrl) {
    const CrackCase& c = GetParam();
    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwSchemeLength = parts.dwHostNameLength = parts.dwUrlPathLength =
        parts.dwExtraInfoLength = kAsk;
    ASSERT_TRUE(WinHttpCrackUrl(c.url.c_str(), static_cast<DWORD>(c.url.size()), 0, &parts));
    const std::u16string host(parts.lpszHostName, parts.dwHostNameLength);
    if (c.wineGap != nullptr && !RunsOnOurStandIns() && host != c.host && host == c.wineHost) {
        GTEST_SKIP() << "this platform's WinHttpCrackUrl " << c.wineGap;
    }
    EXPECT_EQ(parts.nScheme, c.scheme);
    EXPECT_EQ(parts.nPort, c.port);
    EXPECT_EQ(std::u16string(parts.lpszHostName, parts.dwHostNameLength), c.host);
    EXPECT_EQ(std::u16string(parts.lpszUrlPath, parts.dwUrlPathLength), c.path);
    EXPECT_EQ(std::u16string(parts.lpszExtraInfo, parts.dwExtraInfoLength), c.extra);
    // The answers point into the caller's string, not into copies.
    EXPECT_GE(parts.lpszHostName, c.url.data());
    EXPECT_LE(parts.lpszExtraInfo + parts.dwExtraInfoLength, c.url.data() + c.url.size());
}

INSTANTIATE_TEST_SUITE_P(
    Urls, CrackUrlTest,
    ::testing::Values(
        CrackCase{u"http://example.com/a/b.html", 1, u"example.com", 80, u"/a/b.html", u""},
        CrackCase{u"https://example.com/x?y=1#f", 2, u"example.com", 443, u"/x", u"?y=1#f"},
        CrackCase{u"http://127.0.0.1:8808/index_2.html", 1, u"127.0.0.1", 8808, u"/index_2.html",
                  u""},
        CrackCase{u"HTTPS://Host:444", 2, u"Host", 444, u"", u""},
        CrackCase{u"http://host?x=1", 1, u"host", 80, u"", u"?x=1", u"host?x=1",
                  "takes a query that follows the host at once into the host name (Wine 8)"},
        CrackCase{u"http://user:pw@host:81/p", 1, u"host", 81, u"/p", u""},
        CrackCase{u"http://[::1]:9000/v6", 1, u"[::1]", 9000, u"/v6", u"", u"[",
                  "cannot crack an IPv6 address in brackets (Wine 8)"},
        CrackCase{u"http://\u4e2d\u6587.cn/\u56fe", 1, u"\u4e2d\u6587.cn", 80, u"/\u56fe", u""}));

TEST(CrackUrl, ZeroLengthMeansZeroTerminatedAndUserPartsAreFound) {
    const std::u16string url = u"http://user:pw@host/p";
    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwUserNameLength = parts.dwPasswordLength = kAsk;
    ASSERT_TRUE(WinHttpCrackUrl(url.c_str(), 0, 0, &parts));
    EXPECT_EQ(std::u16string(parts.lpszUserName, parts.dwUserNameLength), u"user");
    EXPECT_EQ(std::u16string(parts.lpszPassword, parts.dwPasswordLength), u"pw");
    EXPECT_EQ(parts.lpszHostName, nullptr);  // not asked for
}

TEST(CrackUrl, CopiesIntoCallerBuffersAndReportsSmallOnes) {
    const std::u16string url = u"http://example.com/path";
    char16_t host[32] = {};
    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof parts;
    parts.lpszHostName = host;
    parts.dwHostNameLength = 32;
    ASSERT_TRUE(WinHttpCrackUrl(url.c_str(), 0, 0, &parts));
    EXPECT_EQ(std::u16string(host), u"example.com");
    EXPECT_EQ(parts.dwHostNameLength, 11u);

    char16_t small[4] = {};
    parts.lpszHostName = small;
    parts.dwHostNameLength = 4;
    EXPECT_FALSE(WinHttpCrackUrl(url.c_str(), 0, 0, &parts));
    EXPECT_EQ(WinHttpLastError(), ERROR_INSUFFICIENT_BUFFER);
}

struct BadUrl {
    std::u16string url;
    DWORD error;
    // Refused by our stand-in only: the system's WinHttpCrackUrl accepts it (Wine 8), or
    // cracks "http://host:0/" with port 0 (Windows).
    bool standInOnly = false;
};

class CrackUrlRefusal : public ::testing::TestWithParam<BadUrl> {};

TEST_P(CrackUrlRefusal, FailsWithReason) {
    if (GetParam().standInOnly && !RunsOnOurStandIns())
        GTEST_SKIP() << "this platform's WinHttpCrackUrl accepts it; only our stand-in refuses it";
    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwHostNameLength = kAsk;
    EXPECT_FALSE(WinHttpCrackUrl(GetParam().url.c_str(), 0, 0, &parts));
    EXPECT_EQ(WinHttpLastError(), GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(
    Urls, CrackUrlRefusal,
    ::testing::Values(BadUrl{u"ftp://host/file", ERROR_WINHTTP_UNRECOGNIZED_SCHEME},
                      BadUrl{u"no scheme at all", ERROR_WINHTTP_UNRECOGNIZED_SCHEME},
                      BadUrl{u"", ERROR_WINHTTP_UNRECOGNIZED_SCHEME},
                      BadUrl{u"http://host:99999/", ERROR_WINHTTP_INVALID_URL},
                      BadUrl{u"http:///path", ERROR_WINHTTP_INVALID_URL, true},
                      BadUrl{u"http://host:8a/", ERROR_WINHTTP_INVALID_URL, true},
                      BadUrl{u"http://host:0/", ERROR_WINHTTP_INVALID_URL, true},
                      BadUrl{u"http://[::1/", ERROR_WINHTTP_INVALID_URL, true}));

TEST(CrackUrl, RefusesAWrongRecordSize) {
    URL_COMPONENTS parts{};
    parts.dwStructSize = 12;
    EXPECT_FALSE(WinHttpCrackUrl(u"http://host/", 0, 0, &parts));
    EXPECT_EQ(WinHttpLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_FALSE(WinHttpCrackUrl(nullptr, 0, 0, &parts));
}

}  // namespace
}  // namespace lumeno::platform
