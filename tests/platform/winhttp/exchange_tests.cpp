// Whole exchanges through the handle functions against the local site on loopback: what the
// server receives, the raw header block, redirects, credentials, proxy, TLS, cookies, and which
// call fails for each kind of network failure. Where Wine 8's WinHTTP answers otherwise than
// Windows does, the case reports the gap as a skip, decided by what the platform answered.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>

#include "demo_site/demo_site.h"
#include "platform/winhttp/winhttp.h"
#include "tests/platform/winhttp/winhttp_client.h"
#include "tests/support/platform_gaps.h"
#include "tests/support/transport_headers.h"

namespace lumeno::platform {
namespace {

using testing::Exchange;
using testing::ExchangeSetup;
using testing::Handle;
using testing::Narrow;
using testing::Wide;
using Headers = std::vector<std::pair<std::string, std::string>>;

constexpr const char* kReceiveTimeoutGap =
    "this platform's WinHttpReceiveResponse ignores the receive timeout and answered after the "
    "server's stall instead of failing at the timeout (Wine 8)";

Headers Sorted(Headers headers) {
    std::sort(headers.begin(), headers.end());
    return headers;
}

// Why an exchange through a named proxy failed where the proxy would have served it: a host
// under .invalid never resolves, so a platform that answers "name not resolved" went to the
// server itself instead of through the proxy list it was given.
std::string SchemeProxyGap(const testing::ExchangeResult& result) {
    if (result.received || result.error != ERROR_WINHTTP_NAME_NOT_RESOLVED || RunsOnOurStandIns())
        return {};
    return "this platform does not take its proxy from a list that names the scheme "
           "(\"http=host:port\"): it resolved a name itself and failed with "
           "ERROR_WINHTTP_NAME_NOT_RESOLVED (Wine 8)";
}

class ExchangeTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(InitializeHttpEngine());
        ASSERT_TRUE(site_.Start());
    }
    INTERNET_PORT Port() const { return static_cast<INTERNET_PORT>(site_.Port()); }
    testing::ExchangeResult Get(const std::u16string& path, const ExchangeSetup& setup = {}) {
        return Exchange(u"127.0.0.1", Port(), path, setup);
    }
    std::string HostLine() const { return "127.0.0.1:" + std::to_string(site_.Port()); }
    // What the transport adds to every request on its own, sorted by name.
    Headers Added(bool withBody = false, const std::string& host = {}) const {
        Headers added{{"Connection", "Keep-Alive"}, {"Host", host.empty() ? HostLine() : host}};
        if (withBody) added.insert(added.begin() + 1, {"Content-Length", "200000"});
        return added;
    }

    demo::DemoSite site_;
};

TEST_F(ExchangeTest, ServerSeesTheGivenHeadersInOrderPlusTheTransportsOwn) {
    ExchangeSetup setup;
    setup.headers =
        u"User-Agent: Agent/1\r\nAccept: text/html\r\nX-Empty: \r\nAccept-Language: zh-cn";
    const auto result = Get(u"/echo", setup);
    ASSERT_TRUE(result.received);
    EXPECT_EQ(result.status, 200u);
    const auto requests = site_.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].method, "GET");
    const SplitHeaderLines split = SplitTransportHeaders(requests[0].headers);
    EXPECT_EQ(split.given, (Headers{{"User-Agent", "Agent/1"},
                                    {"Accept", "text/html"},
                                    {"X-Empty", ""},
                                    {"Accept-Language", "zh-cn"}}));
    EXPECT_EQ(split.added, Added());
}

TEST_F(ExchangeTest, ReplacedHeadersKeepTheirPlace) {
    ExchangeSetup setup;
    setup.headers = u"A: 1\r\nB: 2\r\nA: 3\r\nC: 4";
    setup.prepare = [](HINTERNET request) {
        const DWORD whole = 0xFFFFFFFF;
        WinHttpAddRequestHeaders(request, u"A: 9", whole, WINHTTP_ADDREQ_FLAG_REPLACE);
        WinHttpAddRequestHeaders(request, u"C:", whole, WINHTTP_ADDREQ_FLAG_REPLACE);
        WinHttpAddRequestHeaders(request, u"D: 5", whole, WINHTTP_ADDREQ_FLAG_REPLACE);
        WinHttpAddRequestHeaders(request, u"E: 6", whole,
                                 WINHTTP_ADDREQ_FLAG_REPLACE | WINHTTP_ADDREQ_FLAG_ADD);
    };
    ASSERT_TRUE(Get(u"/echo", setup).received);
    const Headers given = SplitTransportHeaders(site_.Requests().at(0).headers).given;
    // Our stand-in puts a replacing line where the replaced one stood; where WinHTTP puts it is
    // its own choice (Wine 8 drops the first "A" and appends the new line). The logic only ever
    // adds lines.
    if (RunsOnOurStandIns()) {
        EXPECT_EQ(given, (Headers{{"A", "9"}, {"B", "2"}, {"E", "6"}}));
    } else {
        EXPECT_NE(std::find(given.begin(), given.end(), Headers::value_type{"A", "9"}),
                  given.end());
        EXPECT_NE(std::find(given.begin(), given.end(), Headers::value_type{"E", "6"}),
                  given.end());
        for (const auto& [name, value] : given) {
            EXPECT_NE(name, "C");
            EXPECT_NE(name, "D");
        }
    }
}

TEST_F(ExchangeTest, NoHeadersGivenMeansOnlyTheTransportsOwn) {
    const auto result = Get(u"/echo");
    ASSERT_TRUE(result.received);
    EXPECT_EQ(Sorted(site_.Requests().at(0).headers), Added());
}

TEST_F(ExchangeTest, BodyGoesOutWithItsLengthAndNothingElse) {
    ExchangeSetup setup;
    setup.verb = u"POST";
    setup.body = std::string(200000, 'x');  // large enough for an Expect: 100-continue
    setup.headers = u"X-Kind: big";
    ASSERT_TRUE(Get(u"/echo", setup).received);
    const auto request = site_.Requests().at(0);
    EXPECT_EQ(request.method, "POST");
    EXPECT_EQ(request.body, setup.body);
    const SplitHeaderLines split = SplitTransportHeaders(request.headers);
    EXPECT_EQ(split.given, (Headers{{"X-Kind", "big"}}));
    EXPECT_EQ(split.added, Added(true));
}

TEST_F(ExchangeTest, VerbsAreSentAsGiven) {
    for (const std::u16string verb : {u"PUT", u"DELETE", u"OPTIONS", u"HEAD", u"GET"}) {
        ExchangeSetup setup;
        setup.verb = verb;
        ASSERT_TRUE(Get(u"/echo", setup).received) << Narrow(verb);
        EXPECT_EQ(site_.Requests().back().method, Narrow(verb));
    }
}

TEST_F(ExchangeTest, RawHeaderBlockIsTheFinalResponsesWithCrLfAndClosingLine) {
    const auto result = Get(u"/redirect?n=2");
    ASSERT_TRUE(result.received);
    EXPECT_EQ(result.body, "redirect done");
    const std::string raw = Narrow(result.rawHeaders);
    EXPECT_EQ(raw.rfind("HTTP/1.1 200 OK\r\n", 0), 0u) << raw;
    EXPECT_EQ(raw.substr(raw.size() - 4), "\r\n\r\n");
    EXPECT_EQ(raw.find("Location"), std::string::npos);
    EXPECT_EQ(raw.find("\r\n\r\n"), raw.size() - 4);  // one block only
    EXPECT_EQ(site_.Requests().size(), 3u);
}

TEST_F(ExchangeTest, DisabledRedirectsReturnTheRedirectItself) {
    ExchangeSetup setup;
    setup.disabledFeatures = WINHTTP_DISABLE_REDIRECTS;
    const auto result = Get(u"/redirect?n=2", setup);
    ASSERT_TRUE(result.received);
    EXPECT_EQ(result.status, 302u);
    EXPECT_NE(Narrow(result.rawHeaders).find("Location: /redirect?n=1\r\n"), std::string::npos);
    EXPECT_EQ(site_.Requests().size(), 1u);
}

TEST_F(ExchangeTest, PostTurnsIntoGetOnA302) {
    ExchangeSetup setup;
    setup.verb = u"POST";
    setup.body = "a=1";
    const auto result = Get(u"/redirect?n=1", setup);
    if (!result.received && result.error == ERROR_WINHTTP_INCORRECT_HANDLE_STATE &&
        !RunsOnOurStandIns()) {
        GTEST_SKIP() << "this platform's WinHttpReceiveResponse fails a 302 that answers a POST "
                        "with a body (ERROR_WINHTTP_INCORRECT_HANDLE_STATE, Wine 8)";
    }
    ASSERT_TRUE(result.received) << result.error;
    const auto requests = site_.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[1].method, "GET");
    EXPECT_EQ(requests[1].body, "");
}

TEST_F(ExchangeTest, ErrorStatusesAreResponsesWithBodies) {
    const auto result = Get(u"/status/404");
    ASSERT_TRUE(result.received);
    EXPECT_EQ(result.status, 404u);
    EXPECT_FALSE(result.body.empty());
    EXPECT_FALSE(result.readFailed);
}

TEST_F(ExchangeTest, BasicCredentialsReachTheServer) {
    ExchangeSetup setup;
    setup.prepare = [](HINTERNET request) {
        WinHttpSetCredentials(request, WINHTTP_AUTH_TARGET_SERVER, WINHTTP_AUTH_SCHEME_BASIC,
                              u"user", u"secret", nullptr);
    };
    const auto authorised = Get(u"/auth/basic?user=user&password=secret", setup);
    EXPECT_EQ(authorised.status, 200u);
    EXPECT_EQ(authorised.body, "authorized");
    EXPECT_EQ(Get(u"/auth/basic?user=user&password=secret").status, 401u);
}

TEST_F(ExchangeTest, NamedProxyGetsTheAbsoluteFormRequestAndItsCredentials) {
    ExchangeSetup setup;
    setup.proxy = u"http=" + Wide(HostLine());
    setup.prepare = [](HINTERNET request) {
        WinHttpSetCredentials(request, WINHTTP_AUTH_TARGET_PROXY, WINHTTP_AUTH_SCHEME_BASIC, u"pu",
                              u"pp", nullptr);
    };
    const auto result = Exchange(u"wallpapers.invalid", 8080, u"/echo?x=1", setup);
    if (const std::string gap = SchemeProxyGap(result); !gap.empty()) GTEST_SKIP() << gap;
    ASSERT_TRUE(result.received) << result.error;
    const auto request = site_.Requests().at(0);
    EXPECT_EQ(request.target, "http://wallpapers.invalid:8080/echo?x=1");
    const SplitHeaderLines split = SplitTransportHeaders(request.headers);
    EXPECT_EQ(split.given, (Headers{{"Proxy-Authorization", "Basic cHU6cHA="}}));
    EXPECT_EQ(split.added, Added(false, "wallpapers.invalid:8080"));
}

TEST_F(ExchangeTest, AProxyForTheOtherSchemeIsNotUsed) {
    ExchangeSetup setup;
    setup.proxy = u"https=127.0.0.1:1";  // would fail if used for this http request
    const auto result = Get(u"/echo", setup);
    if (const std::string gap = SchemeProxyGap(result); !gap.empty()) GTEST_SKIP() << gap;
    ASSERT_TRUE(result.received) << result.error;
    EXPECT_EQ(site_.Requests().at(0).target, "/echo");
}

TEST_F(ExchangeTest, SessionCookiesFollowTheCookieOption) {
    Handle session(WinHttpOpen(nullptr, WINHTTP_ACCESS_TYPE_NO_PROXY, nullptr, nullptr, 0));
    ASSERT_TRUE(Exchange(u"127.0.0.1", Port(), u"/cookies?set=a%3D1", {}, session.get()).received);
    ASSERT_TRUE(Exchange(u"127.0.0.1", Port(), u"/echo", {}, session.get()).received);
    ExchangeSetup noCookies;
    noCookies.disabledFeatures = WINHTTP_DISABLE_COOKIES;
    ASSERT_TRUE(Exchange(u"127.0.0.1", Port(), u"/echo", noCookies, session.get()).received);
    const auto requests = site_.Requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(Sorted(requests[2].headers), Added());
    const Headers carried = SplitTransportHeaders(requests[1].headers).given;
    if (carried.empty() && !RunsOnOurStandIns()) {
        GTEST_SKIP() << "this platform's WinHTTP does not send the cookie that an earlier "
                        "response in the same session set (Wine 8); the logic sends the "
                        "caller's jar itself";
    }
    EXPECT_EQ(carried, (Headers{{"Cookie", "a=1"}}));
}

TEST_F(ExchangeTest, LargeBodyArrivesWhole) {
    const auto result = Get(u"/size?bytes=3000000");
    ASSERT_TRUE(result.received);
    EXPECT_FALSE(result.readFailed);
    EXPECT_EQ(result.body.size(), 3000000u);
}

// Receive buffers are kept from one transfer for the next: a body abandoned with half a
// megabyte unread, and one still open beside, leave nothing in the next request's body.
TEST_F(ExchangeTest, AbandonedBodiesLeaveNothingForTheNextRequests) {
    const auto reference = Get(u"/size?bytes=5000");
    ASSERT_EQ(reference.body.size(), 5000u);
    auto openBig = [this](Handle& session, Handle& connection, Handle& request) {
        session = Handle(WinHttpOpen(nullptr, WINHTTP_ACCESS_TYPE_NO_PROXY, nullptr, nullptr, 0));
        connection = Handle(WinHttpConnect(session.get(), u"127.0.0.1", Port(), 0));
        request = Handle(WinHttpOpenRequest(connection.get(), u"GET", u"/size?bytes=3000000",
                                            nullptr, nullptr, nullptr, 0));
        ASSERT_TRUE(WinHttpSendRequest(request.get(), nullptr, 0, nullptr, 0, 0, 0));
        ASSERT_TRUE(WinHttpReceiveResponse(request.get(), nullptr));
        char buffer[1000];
        DWORD read = 0;
        ASSERT_TRUE(WinHttpReadData(request.get(), buffer, sizeof buffer, &read));
        DWORD available = 0;
        ASSERT_TRUE(WinHttpQueryDataAvailable(request.get(), &available));
        EXPECT_GT(available, 0u);  // more waits unread
    };
    for (int round = 0; round < 3; ++round) {
        Handle s1, c1, r1, s2, c2, r2;
        openBig(s1, c1, r1);
        openBig(s2, c2, r2);
        r1 = Handle();  // abandoned while the other stays open
        const auto again = Get(u"/size?bytes=5000");
        EXPECT_EQ(again.body, reference.body) << round;
        ASSERT_TRUE(Get(u"/echo").received);
        EXPECT_EQ(Sorted(site_.Requests().back().headers), Added()) << round;
    }
}

TEST_F(ExchangeTest, HeaderSizeQueryReportsBytesWithTheTerminatingZero) {
    Handle session(WinHttpOpen(nullptr, WINHTTP_ACCESS_TYPE_NO_PROXY, nullptr, nullptr, 0));
    Handle connection(WinHttpConnect(session.get(), u"127.0.0.1", Port(), 0));
    Handle request(
        WinHttpOpenRequest(connection.get(), u"GET", u"/status/404", nullptr, nullptr, nullptr, 0));
    ASSERT_TRUE(WinHttpSendRequest(request.get(), nullptr, 0, nullptr, 0, 0, 0));
    ASSERT_TRUE(WinHttpReceiveResponse(request.get(), nullptr));
    DWORD size = 0, index = 0;
    EXPECT_FALSE(WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_RAW_HEADERS_CRLF, nullptr,
                                     nullptr, &size, &index));
    EXPECT_EQ(WinHttpLastError(), ERROR_INSUFFICIENT_BUFFER);
    ASSERT_GT(size, 2u);
    std::u16string block(size / 2, u'\xFFFF');
    ASSERT_TRUE(WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_RAW_HEADERS_CRLF, nullptr,
                                    block.data(), &size, &index));
    EXPECT_EQ(size, block.size() * 2 - 2);
    EXPECT_EQ(block.back(), u'\0');
    EXPECT_EQ(Narrow(block.substr(0, 24)), "HTTP/1.1 404 Not Found\r\n");
    std::u16string reason(64, u'\0');
    DWORD reasonSize = 128;
    ASSERT_TRUE(WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_STATUS_TEXT, nullptr,
                                    reason.data(), &reasonSize, nullptr));
    EXPECT_EQ(reason.substr(0, reasonSize / 2), u"Not Found");
}

// ---- Failure classes -----------------------------------------------------------------------

TEST_F(ExchangeTest, UnreachablePortFailsTheSend) {
    const auto result =
        Exchange(u"127.0.0.1", static_cast<INTERNET_PORT>(demo::RefusingPort()), u"/", {});
    EXPECT_FALSE(result.sent);
    EXPECT_EQ(result.error, ERROR_WINHTTP_CANNOT_CONNECT);
}

TEST_F(ExchangeTest, UnknownHostFailsTheSend) {
    const auto result = Exchange(u"no-such-host.invalid", 80, u"/", {});
    EXPECT_FALSE(result.sent);
    EXPECT_EQ(result.error, ERROR_WINHTTP_NAME_NOT_RESOLVED);
}

TEST_F(ExchangeTest, SilentServerFailsTheReceiveAfterTheReceiveTimeout) {
    ExchangeSetup setup;
    setup.timeoutMs = 1000;
    const auto start = std::chrono::steady_clock::now();
    // The stall outlasts the bound below: a transport that waits it out has ignored the timeout.
    const auto result = Get(u"/fault/stall-headers?ms=6000", setup);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    if (result.received && !RunsOnOurStandIns()) GTEST_SKIP() << kReceiveTimeoutGap;
    EXPECT_TRUE(result.sent);
    EXPECT_FALSE(result.received);
    EXPECT_EQ(result.error, ERROR_WINHTTP_TIMEOUT);
    EXPECT_GE(elapsed, std::chrono::milliseconds(900));
    EXPECT_LT(elapsed, std::chrono::seconds(5));
}

TEST_F(ExchangeTest, HeadTrickledALineAtATimeFailsTheReceiveAfterTheReceiveTimeout) {
    ExchangeSetup setup;
    setup.timeoutMs = 1000;  // a line every 300 ms keeps the connection busy for over 7 s
    const auto start = std::chrono::steady_clock::now();
    const auto result = Get(u"/hostile/slow-headers?interval=300&by=line&lines=20", setup);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    if (result.received && !RunsOnOurStandIns()) GTEST_SKIP() << kReceiveTimeoutGap;
    EXPECT_TRUE(result.sent);
    EXPECT_FALSE(result.received);
    EXPECT_EQ(result.error, ERROR_WINHTTP_TIMEOUT);
    EXPECT_GE(elapsed, std::chrono::milliseconds(900));
    EXPECT_LT(elapsed, std::chrono::seconds(5));
}

TEST_F(ExchangeTest, SlowButProgressingBodyIsNotCutOff) {
    ExchangeSetup setup;
    setup.timeoutMs = 1000;  // the whole body takes about 2.4 s
    const auto result = Get(u"/fault/slow-body?total=4000&chunk=500&interval=300", setup);
    ASSERT_TRUE(result.received);
    EXPECT_FALSE(result.readFailed) << result.error;
    EXPECT_EQ(result.body.size(), 4000u);
}

TEST_F(ExchangeTest, StalledBodyFailsTheReadAfterDeliveringWhatArrived) {
    ExchangeSetup setup;
    setup.timeoutMs = 1000;
    const auto result = Get(u"/fault/stall-body?bytes=700&total=5000&ms=20000", setup);
    ASSERT_TRUE(result.received);
    EXPECT_TRUE(result.readFailed);
    EXPECT_EQ(result.body.size(), 700u);
    // Wine 8 hands on the socket's own WSAETIMEDOUT (10060); the logic relies on the failing
    // read alone.
    if (RunsOnOurStandIns()) {
        EXPECT_EQ(result.error, ERROR_WINHTTP_TIMEOUT);
    } else {
        EXPECT_TRUE(result.error == ERROR_WINHTTP_TIMEOUT || result.error == 10060u)
            << result.error;
    }
}

TEST_F(ExchangeTest, CutBodyFailsReadDataAfterTheBytesThatArrived) {
    Handle session(WinHttpOpen(nullptr, WINHTTP_ACCESS_TYPE_NO_PROXY, nullptr, nullptr, 0));
    Handle connection(WinHttpConnect(session.get(), u"127.0.0.1", Port(), 0));
    Handle request(WinHttpOpenRequest(connection.get(), u"GET",
                                      u"/fault/cut-body?bytes=1500&total=9000", nullptr, nullptr,
                                      nullptr, 0));
    ASSERT_TRUE(WinHttpSendRequest(request.get(), nullptr, 0, nullptr, 0, 0, 0));
    ASSERT_TRUE(WinHttpReceiveResponse(request.get(), nullptr));
    std::string body;
    char buffer[256];
    DWORD read = 0;
    bool failed = false;
    for (;;) {
        if (!WinHttpReadData(request.get(), buffer, sizeof buffer, &read)) {
            failed = true;
            break;
        }
        if (read == 0) break;
        body.append(buffer, read);
    }
    EXPECT_EQ(body.size(), 1500u);
    if (!failed && !RunsOnOurStandIns()) {
        GTEST_SKIP() << "this platform's WinHttpReadData ends a body cut off after 1500 of 9000 "
                        "declared bytes as if it were complete (Wine 8)";
    }
    EXPECT_TRUE(failed);
    EXPECT_EQ(WinHttpLastError(), ERROR_WINHTTP_CONNECTION_ERROR);
}

class HttpsExchangeTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(InitializeHttpEngine());
        ASSERT_TRUE(site_.Start());
        http_ = std::make_unique<demo::DemoSite>();
        ASSERT_TRUE(http_->Start());
    }
    INTERNET_PORT Port() const { return static_cast<INTERNET_PORT>(site_.Port()); }
    demo::DemoSite site_{demo::SiteOptions{.https = true}};
    std::unique_ptr<demo::DemoSite> http_;
};

TEST_F(HttpsExchangeTest, SelfSignedCertificateIsAcceptedWhenIgnored) {
    ExchangeSetup setup;
    setup.secure = true;
    const auto result = Exchange(u"127.0.0.1", Port(), u"/echo", setup);
    ASSERT_TRUE(result.received) << result.error;
    EXPECT_EQ(result.status, 200u);
}

TEST_F(HttpsExchangeTest, SelfSignedCertificateFailsTheSendWhenChecked) {
    ExchangeSetup setup;
    setup.secure = true;
    setup.securityFlags = 0;
    const auto result = Exchange(u"127.0.0.1", Port(), u"/echo", setup);
    EXPECT_FALSE(result.sent);
    // Wine 8 answers ERROR_WINHTTP_SECURE_CHANNEL_ERROR; either way the send fails (711).
    if (RunsOnOurStandIns()) {
        EXPECT_EQ(result.error, ERROR_WINHTTP_SECURE_FAILURE);
    } else {
        EXPECT_TRUE(result.error == ERROR_WINHTTP_SECURE_FAILURE || result.error == 12157u)
            << result.error;
    }
}

TEST_F(HttpsExchangeTest, RedirectFromHttpsDownToHttpIsNotFollowed) {
    ExchangeSetup setup;
    setup.secure = true;
    const std::u16string target = Wide(http_->BaseUrl() + "/echo");
    const auto result = Exchange(u"127.0.0.1", Port(), u"/redirect-to?url=" + target, setup);
    if (!result.received && result.error == 12156u && !RunsOnOurStandIns()) {  // REDIRECT_FAILED
        EXPECT_TRUE(http_->Requests().empty());
        GTEST_SKIP() << "this platform fails the response of a redirect from HTTPS down to HTTP "
                        "(ERROR_WINHTTP_REDIRECT_FAILED, Wine 8) where it should hand out the "
                        "redirect itself; it does not follow it either";
    }
    ASSERT_TRUE(result.received) << result.error;
    EXPECT_EQ(result.status, 302u);
    EXPECT_TRUE(http_->Requests().empty());
}

TEST_F(HttpsExchangeTest, RedirectFromHttpUpToHttpsIsFollowed) {
    const std::u16string target = Wide(site_.BaseUrl() + "/echo");
    const auto result = Exchange(u"127.0.0.1", static_cast<INTERNET_PORT>(http_->Port()),
                                 u"/redirect-to?url=" + target, {});
    ASSERT_TRUE(result.received);
    EXPECT_EQ(result.status, 200u);
    EXPECT_EQ(site_.Requests().size(), 1u);
}

}  // namespace
}  // namespace lumeno::platform
