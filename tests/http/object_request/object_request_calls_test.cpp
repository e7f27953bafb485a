// The exact calls the object transport makes on its request object, checked against a
// recording request class: order, arguments, defaults, cookies, credentials and outputs.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

#include "http/object_web_request.h"
#include "platform/com/runtime.h"
#include "tests/http/object_request/recording_request.h"

namespace lumeno {
namespace {

using ::testing::ElementsAre;
using testing_support::RecordingRequest;

const Text kUrl = "http://127.0.0.1:9/pic/a.jpg";
const Text kUserAgent = "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";

class ObjectRequestCallsTest : public ::testing::Test {
protected:
    void SetUp() override {
        InitializeObjectThread();
        testing_support::RegisterRecordingRequestClass();
        ASSERT_TRUE(CreateObject(holder_, testing_support::kRecordingRequestProgId));
        fake_ = std::dynamic_pointer_cast<RecordingRequest>(holder_.Get());
        ASSERT_NE(fake_, nullptr);
    }
    void TearDown() override {
        fake_.reset();
        ReleaseObject(holder_);
        UninitializeObjectThread();
    }

    ByteSet Run(ObjectRequestOptions options, const Text& url = kUrl) {
        options.requestObject = &holder_;
        return ObjectWebRequest(url, options);
    }

    std::vector<std::string> CallsNamed(const std::string& prefix) const {
        std::vector<std::string> out;
        for (const std::string& call : fake_->calls) {
            if (call.rfind(prefix, 0) == 0) out.push_back(call);
        }
        return out;
    }

    AutomationObject holder_;
    std::shared_ptr<RecordingRequest> fake_;
};

TEST_F(ObjectRequestCallsTest, PlainGetMakesTheDocumentedCallsInOrder) {
    fake_->responseBody = {0xFF, 0xD8, 0x00, 0xFF};
    const ByteSet body = Run({});
    EXPECT_EQ(body, (ByteSet{0xFF, 0xD8, 0x00, 0xFF}));
    EXPECT_THAT(fake_->calls,
                ElementsAre("SetTimeouts(15000,15000,15000,15000)", "Open(GET," + kUrl + ",False)",
                            "Option[4]=13056", "SetRequestHeader(Accept,*/*)",
                            "SetRequestHeader(Referer," + kUrl + ")",
                            "SetRequestHeader(Accept-Language,zh-cn)",
                            "SetRequestHeader(User-Agent," + kUserAgent + ")", "Send()",
                            "ResponseBody", "GetAllResponseHeaders()", "Status"));
}

struct TimeoutCase {
    int seconds;
    const char* expected;  // empty: no SetTimeouts call
};

class ObjectRequestTimeoutTest : public ObjectRequestCallsTest,
                                 public ::testing::WithParamInterface<TimeoutCase> {};

TEST_P(ObjectRequestTimeoutTest, SetsOneValueForAllFourPhases) {
    ObjectRequestOptions options;
    options.timeoutSeconds = GetParam().seconds;
    Run(options);
    const std::string expected = GetParam().expected;
    if (expected.empty()) {
        EXPECT_TRUE(CallsNamed("SetTimeouts").empty());
    } else {
        EXPECT_THAT(CallsNamed("SetTimeouts"), ElementsAre(expected));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Values, ObjectRequestTimeoutTest,
    ::testing::Values(
        TimeoutCase{0, "SetTimeouts(15000,15000,15000,15000)"},
        TimeoutCase{1, "SetTimeouts(1000,1000,1000,1000)"}, TimeoutCase{-1, ""},
        TimeoutCase{-5, "SetTimeouts(15000,15000,15000,15000)"},
        TimeoutCase{2147483, "SetTimeouts(2147483000,2147483000,2147483000,2147483000)"},
        TimeoutCase{2147484, "SetTimeouts(2147483647,2147483647,2147483647,2147483647)"}));

TEST_F(ObjectRequestCallsTest, OutOfRangeMethodsOpenWithGet) {
    for (int method : {8, -1}) {
        fake_->calls.clear();
        ObjectRequestOptions options;
        options.method = method;
        Run(options);
        EXPECT_THAT(CallsNamed("Open"), ElementsAre("Open(GET," + kUrl + ",False)")) << method;
        EXPECT_TRUE(CallsNamed("SetRequestHeader(Content-Type").empty()) << method;
    }
}

TEST_F(ObjectRequestCallsTest, PostGetsFormContentTypeAndSendsBodyText) {
    ObjectRequestOptions options;
    options.method = 1;
    options.bodyText = "x=1";
    Run(options);
    EXPECT_THAT(CallsNamed("Open"), ElementsAre("Open(POST," + kUrl + ",False)"));
    EXPECT_THAT(fake_->requestHeaders,
                ElementsAre("Accept: */*", "Referer: " + kUrl, "Accept-Language: zh-cn",
                            "User-Agent: " + kUserAgent,
                            "Content-Type: application/x-www-form-urlencoded"));
    EXPECT_THAT(CallsNamed("Send"), ElementsAre("Send(x=1)"));
}

TEST_F(ObjectRequestCallsTest, BodyBytesTakePrecedenceOverText) {
    ObjectRequestOptions options;
    options.method = 1;
    options.bodyText = "ignored";
    options.bodyBytes = {0x00, 0x80, 0x41};
    Run(options);
    EXPECT_THAT(CallsNamed("Send"), ElementsAre("Send(<3 bytes>)"));
    EXPECT_EQ(fake_->sentBytes, (ByteSet{0x00, 0x80, 0x41}));
}

TEST_F(ObjectRequestCallsTest, LowerCaseAcceptLineKeptAndNoDefaultAccept) {
    Text headers = "accept: image/png";
    ObjectRequestOptions options;
    options.headers = &headers;
    Run(options);
    EXPECT_THAT(fake_->requestHeaders,
                ElementsAre("Accept: image/png", "Referer: " + kUrl, "Accept-Language: zh-cn",
                            "User-Agent: " + kUserAgent));
    // The completed, capitalised text goes back to the caller.
    EXPECT_EQ(headers, "Accept: image/png\r\nReferer: " + kUrl +
                           "\r\nAccept-Language: zh-cn\r\nUser-Agent: " + kUserAgent);
}

TEST_F(ObjectRequestCallsTest, HeadersWrittenBackUnchangedWithoutDefaultsOrNormalising) {
    Text headers = "x-a:1\r\n";
    ObjectRequestOptions options;
    options.headers = &headers;
    options.addDefaultHeaders = false;
    options.normaliseHeaderNames = false;
    Run(options);
    EXPECT_EQ(headers, "x-a:1\r\n");
    EXPECT_THAT(fake_->requestHeaders, ElementsAre("x-a: 1"));
}

TEST_F(ObjectRequestCallsTest, SingleKeepAliveLineIsSent) {
    Text headers = "Connection: keep-alive";
    ObjectRequestOptions options;
    options.headers = &headers;
    options.addDefaultHeaders = false;
    options.normaliseHeaderNames = false;
    Run(options);
    EXPECT_THAT(fake_->requestHeaders, ElementsAre("Connection: keep-alive"));
}

TEST_F(ObjectRequestCallsTest, KeepAliveLineSkippedInsideMultiLineText) {
    Text headers = "X-A: 1\r\nConnection: keep-alive\r\nConnection: close\r\n\r\nX-B:  2 ";
    ObjectRequestOptions options;
    options.headers = &headers;
    options.addDefaultHeaders = false;
    options.normaliseHeaderNames = false;
    Run(options);
    EXPECT_THAT(fake_->requestHeaders, ElementsAre("X-A: 1", "Connection: close", "X-B: 2"));
}

TEST_F(ObjectRequestCallsTest, EmptySingleLineStillSetsAnEmptyHeader) {
    ObjectRequestOptions options;
    options.addDefaultHeaders = false;
    const ByteSet body = Run(options);
    // The object refuses the empty name; the request goes on and is sent.
    EXPECT_THAT(fake_->requestHeaders, ElementsAre(": "));
    EXPECT_THAT(CallsNamed("Send"), ElementsAre("Send()"));
}

TEST_F(ObjectRequestCallsTest, DisableRedirectsWritesOptionSixBeforeOptionFour) {
    ObjectRequestOptions options;
    options.disableRedirects = 1;
    Run(options);
    EXPECT_THAT(CallsNamed("Option"), ElementsAre("Option[6]=False", "Option[4]=13056"));
}

TEST_F(ObjectRequestCallsTest, CookiesOmittedSetNoCookieHeader) {
    Run({});
    EXPECT_TRUE(CallsNamed("SetRequestHeader(Cookie").empty());
}

TEST_F(ObjectRequestCallsTest, EmptyCookiesStillSetAnEmptyCookieHeader) {
    Text cookies;
    ObjectRequestOptions options;
    options.cookies = &cookies;
    Run(options);
    EXPECT_THAT(CallsNamed("SetRequestHeader(Cookie"), ElementsAre("SetRequestHeader(Cookie,)"));
}

TEST_F(ObjectRequestCallsTest, CookiePrefixRemovedAndWrittenBack) {
    Text cookies = "cookie: a=1";
    ObjectRequestOptions options;
    options.cookies = &cookies;
    options.mergeCookies = false;
    Run(options);
    EXPECT_THAT(CallsNamed("SetRequestHeader(Cookie"),
                ElementsAre("SetRequestHeader(Cookie, a=1)"));
    EXPECT_EQ(cookies, " a=1");
}

TEST_F(ObjectRequestCallsTest, CookieHeaderPrecedesTheHeaderLines) {
    Text cookies = "a=1";
    ObjectRequestOptions options;
    options.cookies = &cookies;
    Run(options);
    ASSERT_FALSE(fake_->requestHeaders.empty());
    EXPECT_EQ(fake_->requestHeaders.front(), "Cookie: a=1");
}

TEST_F(ObjectRequestCallsTest, SetCookieLinesGiveFirstPairsWithoutMerge) {
    fake_->responseHeaders =
        "HTTP/1.1 200 OK\r\nSet-Cookie: a=1; path=/\r\nset-cookie: c=3\r\nSet-Cookie: b=2\r\n\r\n";
    Text cookies = "z=9";
    Text returned = "stale=1";
    ObjectRequestOptions options;
    options.cookies = &cookies;
    options.returnedCookies = &returned;
    options.mergeCookies = false;
    Run(options);
    EXPECT_EQ(returned, "a=1; b=2");
    EXPECT_EQ(cookies, "z=9");
}

TEST_F(ObjectRequestCallsTest, MergeUpdatesCallersJarInPlace) {
    fake_->responseHeaders = "Set-Cookie: sid=new; HttpOnly\r\nSet-Cookie: gone=deleted\r\n";
    Text cookies = "sid=old; gone=1; lang=en";
    Text returned;
    ObjectRequestOptions options;
    options.cookies = &cookies;
    options.returnedCookies = &returned;
    Run(options);
    EXPECT_EQ(returned, "sid=new; lang=en");
    EXPECT_EQ(cookies, "sid=new; lang=en");
}

TEST_F(ObjectRequestCallsTest, ResponseCookiesWithoutJarAreNotMerged) {
    fake_->responseHeaders = "Set-Cookie: a=1\r\n";
    Text returned;
    ObjectRequestOptions options;
    options.returnedCookies = &returned;
    Run(options);
    EXPECT_EQ(returned, "a=1");
}

TEST_F(ObjectRequestCallsTest, ProxyWithoutUserSetsNoCredentials) {
    ObjectRequestOptions options;
    options.proxy = "127.0.0.1:3128";
    options.proxyPassword = "p";
    Run(options);
    EXPECT_THAT(CallsNamed("SetProxy"), ElementsAre("SetProxy(2,127.0.0.1:3128)"));
    EXPECT_TRUE(CallsNamed("SetCredentials").empty());
    EXPECT_TRUE(CallsNamed("SetRequestHeader(Proxy-Authorization").empty());
}

TEST_F(ObjectRequestCallsTest, ProxyCredentialsGoTwiceForTheProxy) {
    ObjectRequestOptions options;
    options.proxy = "127.0.0.1:3128";
    options.proxyUser = "user";
    options.proxyPassword = "pass";
    Run(options);
    EXPECT_THAT(CallsNamed("SetProxy"), ElementsAre("SetProxy(2,127.0.0.1:3128)"));
    EXPECT_THAT(CallsNamed("SetCredentials"), ElementsAre("SetCredentials(user,pass,1)"));
    EXPECT_THAT(CallsNamed("SetRequestHeader(Proxy-Authorization"),
                ElementsAre("SetRequestHeader(Proxy-Authorization,Basic dXNlcjpwYXNz)"));
}

TEST_F(ObjectRequestCallsTest, ServerCredentialsAddNoProxyAuthorization) {
    ObjectRequestOptions options;
    options.proxy = "127.0.0.1:3128";
    options.proxyUser = "user";
    options.credentialTarget = 0;
    Run(options);
    EXPECT_THAT(CallsNamed("SetCredentials"), ElementsAre("SetCredentials(user,,0)"));
    EXPECT_TRUE(CallsNamed("SetRequestHeader(Proxy-Authorization").empty());
}

TEST_F(ObjectRequestCallsTest, OutputsCarryStatusWithFractionDroppedAndHeaders) {
    fake_->status = 404.9;
    fake_->responseHeaders = "HTTP/1.1 404 Not Found\r\n";
    int status = -1;
    Text returnedHeaders;
    ObjectRequestOptions options;
    options.statusCode = &status;
    options.returnedHeaders = &returnedHeaders;
    EXPECT_TRUE(Run(options).empty());
    EXPECT_EQ(status, 404);
    EXPECT_EQ(returnedHeaders, "HTTP/1.1 404 Not Found\r\n");
}

TEST_F(ObjectRequestCallsTest, GivenObjectKeepsItsReferenceAndThreadStaysBalanced) {
    const long usesBefore = holder_.Get().use_count();
    const int initBefore = platform::CoInitializeCount();
    Run({});
    EXPECT_EQ(holder_.Get().use_count(), usesBefore);
    EXPECT_EQ(platform::CoInitializeCount(), initBefore);
    EXPECT_FALSE(IsEmptyObject(holder_));
}

TEST(ObjectRequestEmptyHolderTest, EveryCallFailsAndOutputsAreEmpty) {
    const int initBefore = platform::CoInitializeCount();
    AutomationObject empty;
    Text cookies = " a=1; ";
    Text returned = "stale";
    Text returnedHeaders = "stale";
    int status = 7;
    ObjectRequestOptions options;
    options.requestObject = &empty;
    options.cookies = &cookies;
    options.returnedCookies = &returned;
    options.returnedHeaders = &returnedHeaders;
    options.statusCode = &status;
    EXPECT_TRUE(ObjectWebRequest(kUrl, options).empty());
    EXPECT_TRUE(IsEmptyObject(empty));
    EXPECT_EQ(status, 0);
    EXPECT_EQ(returnedHeaders, "");
    // Nothing came back, so the merge leaves the tidied jar.
    EXPECT_EQ(returned, "a=1");
    EXPECT_EQ(cookies, "a=1");
    EXPECT_EQ(platform::CoInitializeCount(), initBefore);
}

}  // namespace
}  // namespace lumeno
