// The local site's fault and test endpoints, driven by a real HTTP client over loopback:
// stalls, cut and slow bodies, status pages, redirects, cookies, sized pages, echo, Basic
// authentication, the refusing port, and a stop that does not wait for a stalled answer.
#include <future>
#include <mutex>  // std::chrono (see demo_site.cpp)
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "demo_site/demo_site.h"
#include "tests/demo_site/http_fetch.h"

namespace lumeno::demo {
namespace {

using testing::Fetch;
using testing::FetchOptions;

std::string Filler(size_t from, size_t count) {
    std::string out;
    for (size_t i = from; i < from + count; ++i) out += static_cast<char>('a' + i % 26);
    return out;
}

// Waits (bounded) until the site has recorded a request for `path`.
bool WaitForRequest(const DemoSite& site, const std::string& path) {
    for (int i = 0; i < 300; ++i) {
        for (const auto& request : site.Requests()) {
            if (request.path == path) return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

class FaultEndpointsTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(site.Start()); }
    std::string Url(const std::string& path) const { return site.BaseUrl() + path; }
    DemoSite site;
};

TEST_F(FaultEndpointsTest, CutBodyDeliversTheFirstBytesThenCloses) {
    const auto result = Fetch(Url("/fault/cut-body?bytes=100&total=1000"));
    EXPECT_EQ(result.code, CURLE_PARTIAL_FILE);
    EXPECT_EQ(result.status, 200);
    EXPECT_NE(result.headerBlock.find("Content-Length: 1000"), std::string::npos);
    EXPECT_EQ(result.body, Filler(0, 100));
}

TEST_F(FaultEndpointsTest, StallHeadersTimesOutAClientWithAOneSecondLimit) {
    FetchOptions options;
    options.timeoutMs = 1000;
    const auto result = Fetch(Url("/fault/stall-headers?ms=4000"), options);
    EXPECT_EQ(result.code, CURLE_OPERATION_TIMEDOUT);
    EXPECT_EQ(result.status, 0);
}

TEST_F(FaultEndpointsTest, ShortStallHeadersThenAnswers) {
    const auto result = Fetch(Url("/fault/stall-headers?ms=100"));
    EXPECT_EQ(result.code, CURLE_OK);
    EXPECT_EQ(result.status, 200);
    EXPECT_EQ(result.body, "stalled 100 ms");
}

TEST_F(FaultEndpointsTest, StopReturnsPromptlyWhileAnAnswerStalls) {
    for (const std::string path :
         {"/fault/stall-headers?ms=20000", "/fault/stall-body?bytes=5&total=50&ms=20000",
          "/fault/slow-body?total=1000&chunk=1&interval=1000"}) {
        DemoSite stalling;
        ASSERT_TRUE(stalling.Start());
        FetchOptions options;
        options.timeoutMs = 15000;
        auto client = std::async(std::launch::async,
                                 [&] { return Fetch(stalling.BaseUrl() + path, options); });
        ASSERT_TRUE(WaitForRequest(stalling, path.substr(0, path.find('?')))) << path;
        auto stop = std::async(std::launch::async, [&] { stalling.Stop(); });
        ASSERT_EQ(stop.wait_for(std::chrono::seconds(3)), std::future_status::ready) << path;
        ASSERT_EQ(client.wait_for(std::chrono::seconds(3)), std::future_status::ready) << path;
        EXPECT_NE(client.get().code, CURLE_OK) << path;
    }
}

TEST_F(FaultEndpointsTest, StallBodyPausesThenSendsTheRest) {
    const auto whole = Fetch(Url("/fault/stall-body?bytes=10&total=100&ms=200"));
    EXPECT_EQ(whole.code, CURLE_OK);
    EXPECT_EQ(whole.body, Filler(0, 100));

    FetchOptions options;
    options.timeoutMs = 1000;
    const auto cut = Fetch(Url("/fault/stall-body?bytes=10&total=100&ms=5000"), options);
    EXPECT_EQ(cut.code, CURLE_OPERATION_TIMEDOUT);
    EXPECT_EQ(cut.body, Filler(0, 10));
}

TEST_F(FaultEndpointsTest, SlowBodyArrivesWholeInChunks) {
    const auto result = Fetch(Url("/fault/slow-body?total=50&chunk=10&interval=30"));
    EXPECT_EQ(result.code, CURLE_OK);
    EXPECT_EQ(result.body, Filler(0, 50));
    EXPECT_GE(result.seconds, 0.1);  // four pauses of 30 ms between five chunks
}

TEST_F(FaultEndpointsTest, StatusPagesCarryHtmlBodies) {
    for (const int status : {404, 500, 503}) {
        const auto result = Fetch(Url("/status/" + std::to_string(status)));
        EXPECT_EQ(result.code, CURLE_OK);
        EXPECT_EQ(result.status, status);
        EXPECT_NE(result.body.find("<h1>" + std::to_string(status)), std::string::npos);
        EXPECT_NE(result.body.find("charset=gb2312"), std::string::npos);
    }
}

TEST_F(FaultEndpointsTest, RedirectChainsEndInASmallPage) {
    const auto first = Fetch(Url("/redirect?n=3"));
    EXPECT_EQ(first.status, 302);
    EXPECT_NE(first.headerBlock.find("Location: /redirect?n=2\r\n"), std::string::npos);

    FetchOptions follow;
    follow.followRedirects = true;
    const auto chain = Fetch(Url("/redirect?n=3"), follow);
    EXPECT_EQ(chain.status, 200);
    EXPECT_EQ(chain.redirects, 3);
    EXPECT_EQ(chain.body, "redirect done");

    const auto elsewhere = Fetch(Url("/redirect-to?url=%2Fecho%3Fa%3D1"), follow);
    EXPECT_EQ(elsewhere.status, 200);
    EXPECT_EQ(elsewhere.redirects, 1);
    EXPECT_EQ(site.Requests().back().target, "/echo?a=1");
}

TEST_F(FaultEndpointsTest, CookiesComeOneHeaderPerParameterInOrder) {
    const auto result =
        Fetch(Url("/cookies?set=a%3D1%3B%20Path%3D%2F&lset=b%3D2&set=c%3D3%3B%20HttpOnly&x=y"));
    EXPECT_EQ(result.status, 200);
    const size_t a = result.headerBlock.find("\r\nSet-Cookie: a=1; Path=/\r\n");
    const size_t b = result.headerBlock.find("\r\nset-cookie: b=2\r\n");
    const size_t c = result.headerBlock.find("\r\nSet-Cookie: c=3; HttpOnly\r\n");
    ASSERT_NE(a, std::string::npos) << result.headerBlock;
    ASSERT_NE(b, std::string::npos) << result.headerBlock;
    ASSERT_NE(c, std::string::npos) << result.headerBlock;
    EXPECT_LT(a, b);
    EXPECT_LT(b, c);
}

TEST_F(FaultEndpointsTest, CookieLinesCannotInjectHeaders) {
    const auto result = Fetch(Url("/cookies?set=a%3D1%0D%0AX-Injected%3A%201"));
    EXPECT_EQ(result.status, 200);
    EXPECT_EQ(result.headerBlock.find("X-Injected"), std::string::npos);
}

TEST_F(FaultEndpointsTest, SizedPagesHaveExactlyTheAskedSize) {
    for (const size_t size : {size_t{0}, size_t{1}, size_t{50}, size_t{150}, size_t{1024},
                              size_t{100001}, size_t{3000000}}) {
        const auto result = Fetch(Url("/size?bytes=" + std::to_string(size)));
        ASSERT_EQ(result.code, CURLE_OK) << size;
        EXPECT_EQ(result.body.size(), size);
        if (size >= 1024) {
            EXPECT_EQ(result.body.rfind("<!DOCTYPE html>", 0), 0u);
            EXPECT_NE(result.body.find("charset=gb2312"), std::string::npos);
            EXPECT_NE(result.body.find("大页面"), std::string::npos);  // GBK literal
            EXPECT_EQ(result.body.substr(size - 8), "</html>\n");
        }
    }
}

TEST_F(FaultEndpointsTest, SizedPagesAboveTheCapAreRefused) {
    const auto result = Fetch(Url("/size?bytes=600000000"));
    EXPECT_EQ(result.status, 400);
    EXPECT_LT(result.body.size(), 1000u);
}

TEST_F(FaultEndpointsTest, EchoReturnsTheHeaderLinesAsSent) {
    FetchOptions options;
    options.headers = {"Zeta: last-letter", "alpha:  spaced", "X-Mixed-Case: 1"};
    const auto result = Fetch(Url("/echo"), options);
    EXPECT_EQ(result.status, 200);
    EXPECT_EQ(result.body.rfind("Host: 127.0.0.1:", 0), 0u);
    EXPECT_NE(result.body.find("Zeta: last-letter\r\nalpha:  spaced\r\nX-Mixed-Case: 1\r\n"),
              std::string::npos)
        << result.body;
    EXPECT_EQ(result.body.find("GET "), std::string::npos);
}

TEST_F(FaultEndpointsTest, BasicAuthenticationChecksTheCredentials) {
    const std::string url = Url("/auth/basic?user=lumeno&password=p%40ss");
    const auto none = Fetch(url);
    EXPECT_EQ(none.status, 401);
    EXPECT_NE(none.headerBlock.find("WWW-Authenticate: Basic realm=\"lumeno\""), std::string::npos);
    EXPECT_NE(none.body.find("<html>"), std::string::npos);

    FetchOptions wrong;
    wrong.userPassword = "lumeno:pass";
    EXPECT_EQ(Fetch(url, wrong).status, 401);

    FetchOptions right;
    right.userPassword = "lumeno:p@ss";
    const auto ok = Fetch(url, right);
    EXPECT_EQ(ok.status, 200);
    EXPECT_EQ(ok.body, "authorized");
}

TEST(RefusingPortTest, NothingListensThere) {
    const int port = RefusingPort();
    ASSERT_GT(port, 0);
    const auto result = Fetch("http://127.0.0.1:" + std::to_string(port) + "/");
    EXPECT_EQ(result.code, CURLE_COULDNT_CONNECT);
}

TEST(SiteLifecycleTest, StartsOnceStopsTwiceAndFreesThePort) {
    DemoSite site;
    ASSERT_TRUE(site.Start());
    EXPECT_FALSE(site.Start());
    const int port = site.Port();
    EXPECT_EQ(site.BaseUrl(), "http://127.0.0.1:" + std::to_string(port));
    site.Stop();
    site.Stop();
    EXPECT_EQ(Fetch("http://127.0.0.1:" + std::to_string(port) + "/").code, CURLE_COULDNT_CONNECT);
    DemoSite again(SiteOptions{false, port, 3, 6});
    EXPECT_TRUE(again.Start());
    DemoSite clash(SiteOptions{false, port, 3, 6});
    EXPECT_FALSE(clash.Start());
}

}  // namespace
}  // namespace lumeno::demo
