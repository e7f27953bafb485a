// The object transport's header completion, timeout value and cookie collection.
#include <gtest/gtest.h>

#include <climits>

#include "http/cookies.h"
#include "http/object_web_request.h"

namespace lumeno {
namespace {

const Text kUrl = "http://127.0.0.1:9/a.jpg";
const Text kDefaults = "Accept: */*\r\nReferer: " + kUrl +
                       "\r\nAccept-Language: zh-cn\r\nUser-Agent: Mozilla/4.0 (compatible; MSIE "
                       "9.0; Windows NT 6.1)";

struct CompleteCase {
    const char* name;
    Text headers;
    int method;
    bool addDefaultHeaders;
    bool normaliseHeaderNames;
    Text expected;
};

class CompleteObjectRequestHeadersTest : public ::testing::TestWithParam<CompleteCase> {};

TEST_P(CompleteObjectRequestHeadersTest, CompletesAndNormalises) {
    const CompleteCase& c = GetParam();
    EXPECT_EQ(CompleteObjectRequestHeaders(c.headers, kUrl, c.method, c.addDefaultHeaders,
                                           c.normaliseHeaderNames),
              c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CompleteObjectRequestHeadersTest,
    ::testing::Values(
        CompleteCase{"EmptyGivesFourDefaultLines", "", 0, true, true, kDefaults},
        CompleteCase{"WithoutNormalisingLeadingCrLfStays", "", 0, true, false, "\r\n" + kDefaults},
        CompleteCase{"LowerCaseAcceptKept", "accept: image/png", 0, true, true,
                     "Accept: image/png\r\nReferer: " + kUrl +
                         "\r\nAccept-Language: zh-cn\r\nUser-Agent: Mozilla/4.0 (compatible; "
                         "MSIE 9.0; Windows NT 6.1)"},
        CompleteCase{"GivenRefererKept", "referer: http://x/", 0, true, true,
                     "Referer: http://x/\r\nAccept: */*\r\nAccept-Language: zh-cn\r\nUser-Agent: "
                     "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)"},
        CompleteCase{"PostAddsContentTypeLast", "", 1, true, true,
                     kDefaults + "\r\nContent-Type: application/x-www-form-urlencoded"},
        CompleteCase{"PostContentTypeWithoutSpaceSuppressesDefault", "content-type:text/xml", 1,
                     true, true, "Content-Type:text/xml\r\n" + kDefaults},
        CompleteCase{"OutOfRangeMethodCountsAsGet", "", 9, true, true, kDefaults},
        CompleteCase{"NegativeMethodCountsAsGet", "", -1, true, true, kDefaults},
        CompleteCase{"NoDefaultsOnlyNormalises", "a: 1\r\nnocolon\r\nb-c: 2", 0, false, true,
                     "A: 1\r\nB-C: 2"},
        CompleteCase{"NothingAppliedKeepsText", "a: 1\r\n", 0, false, false, "a: 1\r\n"}),
    [](const ::testing::TestParamInfo<CompleteCase>& info) {
        return std::string(info.param.name);
    });

TEST(ObjectRequestTimeoutTest, SecondsBelowOneMeanFifteenSeconds) {
    EXPECT_EQ(ObjectRequestTimeoutMilliseconds(0), 15000);
    EXPECT_EQ(ObjectRequestTimeoutMilliseconds(-5), 15000);
    EXPECT_EQ(ObjectRequestTimeoutMilliseconds(INT_MIN), 15000);
    EXPECT_EQ(ObjectRequestTimeoutMilliseconds(1), 1000);
    EXPECT_EQ(ObjectRequestTimeoutMilliseconds(30), 30000);
}

TEST(ObjectRequestTimeoutTest, SecondsTooLargeForMillisecondsSaturate) {
    EXPECT_EQ(ObjectRequestTimeoutMilliseconds(2147483), 2147483000);
    EXPECT_EQ(ObjectRequestTimeoutMilliseconds(2147484), INT_MAX);
    EXPECT_EQ(ObjectRequestTimeoutMilliseconds(INT_MAX), INT_MAX);
}

struct CollectCase {
    const char* name;
    Text headers;
    Text expected;
};

class CollectResponseCookiesTest : public ::testing::TestWithParam<CollectCase> {};

TEST_P(CollectResponseCookiesTest, KeepsFirstPairOfEachSetCookieLine) {
    EXPECT_EQ(CollectResponseCookies(GetParam().headers), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CollectResponseCookiesTest,
    ::testing::Values(
        CollectCase{"Empty", "", ""},
        CollectCase{"AttributeDroppedAndBarePairKept",
                    "HTTP/1.1 200 OK\r\nSet-Cookie: a=1; path=/\r\nSet-Cookie: b=2\r\n\r\n",
                    "a=1; b=2"},
        CollectCase{"LowerCaseNameIgnored", "set-cookie: c=3\r\nSet-Cookie: d=4", "d=4"},
        CollectCase{"AfterEmptyAndOtherLines", "A: 1\r\n\r\nSet-Cookie2: x=0\r\nSet-Cookie: e=5",
                    "e=5"},
        CollectCase{"NameNeedsColonAndSpace", "Set-Cookie:a=1", ""},
        CollectCase{"OtherNameEndingInSetCookieIgnored", "X-Set-Cookie: a=1", ""},
        CollectCase{"BareSemicolonEndsThePair", "Set-Cookie: a=1;b=2", "a=1"},
        CollectCase{"SpacesTrimmed", "Set-Cookie:   s = v  ; Path=/", "s = v"},
        CollectCase{"DoubleByteValueKept", "Set-Cookie: n=\xC4\xE3; path=/", "n=\xC4\xE3"},
        CollectCase{"DeletionMarkerCollectedAsIs", "Set-Cookie: sid=deleted; Max-Age=0",
                    "sid=deleted"}),
    [](const ::testing::TestParamInfo<CollectCase>& info) { return std::string(info.param.name); });

struct CutCase {
    const char* name;
    Text headers;
    int received;
    bool cut;
};

class ResponseBodyCutShortTest : public ::testing::TestWithParam<CutCase> {};

TEST_P(ResponseBodyCutShortTest, ComparesTheDeclaredLength) {
    EXPECT_EQ(ResponseBodyCutShort(GetParam().headers, GetParam().received), GetParam().cut);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ResponseBodyCutShortTest,
    ::testing::Values(
        CutCase{"FewerBytesThanDeclared", "Content-Type: image/jpeg\r\nContent-Length: 9000\r\n",
                1500, true},
        CutCase{"AllBytes", "Content-Length: 1500\r\n", 1500, false},
        CutCase{"MoreBytesThanDeclaredIsNoCut", "Content-Length: 10\r\n", 11, false},
        CutCase{"NameWithoutRegardToCase", "content-length:  9000 \r\n", 100, true},
        CutCase{"NoBodyAtAllIsAHeadAnswer", "Content-Length: 9000\r\n", 0, false},
        CutCase{"NoLength", "Transfer-Encoding: chunked\r\n", 100, false},
        CutCase{"LengthNotANumber", "Content-Length: 9x\r\n", 100, false},
        CutCase{"EmptyLength", "Content-Length:\r\n", 100, false},
        CutCase{"HugeLengthRefused", "Content-Length: 99999999999999999999\r\n", 100, false},
        CutCase{"FirstLengthLineDecides", "Content-Length: 10\r\nContent-Length: 9000\r\n", 100,
                false},
        CutCase{"SpaceBeforeColonIsAnotherName", "Content-Length : 9000\r\n", 100, false},
        CutCase{"FullWidthSpacesTrimmed",
                "Content-Length:\xA1\xA1"
                "9000\xA1\xA1\r\n",
                100, true},
        CutCase{"LastLineWithoutCrLf", "A: 1\r\nContent-Length: 9000", 100, true},
        CutCase{"OnlyTheWholeName", "X-Content-Length: 9000\r\nContent-Lengths: 9000\r\n", 100,
                false}),
    [](const ::testing::TestParamInfo<CutCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace lumeno
