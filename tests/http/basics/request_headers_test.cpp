// The session transport's header block: defaults, capitalisation, Connection and Cookie lines.
#include <gtest/gtest.h>

#include "http/request_headers.h"

namespace lumeno {
namespace {

const Text kUa =
    "User-Agent: Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; WOW64; Trident/5.0)";
const Text kAccept = "Accept: text/html, application/xhtml+xml, */*";
const Text kEncoding = "Accept-Encoding: gbk, GB2312";
const Text kLanguage = "Accept-Language: zh-cn";
const Text kContentType = "Content-Type: application/x-www-form-urlencoded";
const Text kCache = "Cache-Control: no-cache";
const Text kCrLf = "\r\n";

// The default block between the caller's lines and the end, without the final CR LF.
const Text kDefaults =
    kUa + kCrLf + kAccept + kCrLf + kEncoding + kCrLf + kLanguage + kCrLf + kCache;

struct AssembleCase {
    const char* name;
    Text headers;
    int method;
    Text cookies;
    int addDefaultHeaders;
    int normaliseHeaderNames;
    Text expected;
};

class AssembleRequestHeadersTest : public testing::TestWithParam<AssembleCase> {};

TEST_P(AssembleRequestHeadersTest, BuildsBlockByteForByte) {
    const AssembleCase& c = GetParam();
    EXPECT_EQ(AssembleRequestHeaders(c.headers, c.method, c.cookies, c.addDefaultHeaders,
                                     c.normaliseHeaderNames),
              c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AssembleRequestHeadersTest,
    testing::Values(
        AssembleCase{"AllOmitted", "", 0, "", 1, 1, kDefaults},
        AssembleCase{"NamesNotNormalisedKeepFinalCrLf", "", 0, "", 1, 0, kDefaults + kCrLf},
        AssembleCase{"NoDefaultsNoHeadersIsEmpty", "", 0, "", 0, 1, ""},
        AssembleCase{"LowerCaseAcceptSuppressesDefault", "accept: text/plain", 0, "", 1, 1,
                     "Accept: text/plain\r\n" + kUa + kCrLf + kEncoding + kCrLf + kLanguage +
                         kCrLf + kCache},
        AssembleCase{
            "AcceptInsideOtherNameSuppressesDefault", "X-Accept: 1", 0, "", 1, 1,
            "X-Accept: 1\r\n" + kUa + kCrLf + kEncoding + kCrLf + kLanguage + kCrLf + kCache},
        AssembleCase{"AcceptEncodingDoesNotSuppressAccept", "accept-encoding: identity", 0, "", 1,
                     1,
                     "Accept-Encoding: identity\r\n" + kUa + kCrLf + kAccept + kCrLf + kLanguage +
                         kCrLf + kCache},
        AssembleCase{
            "GivenUserAgentKeepsItsPlace", "User-Agent: x", 0, "", 1, 1,
            "User-Agent: x\r\n" + kAccept + kCrLf + kEncoding + kCrLf + kLanguage + kCrLf + kCache},
        AssembleCase{"PostAddsContentType", "", 1, "", 1, 1,
                     kUa + kCrLf + kAccept + kCrLf + kEncoding + kCrLf + kLanguage + kCrLf +
                         kContentType + kCrLf + kCache},
        AssembleCase{"PostContentTypeWithoutSpaceSuppressesDefault", "content-type:text/xml", 1, "",
                     1, 1, "Content-Type:text/xml\r\n" + kDefaults},
        AssembleCase{"OutOfRangeMethodAddsNoContentType", "", 8, "", 1, 1, kDefaults},
        AssembleCase{"NegativeMethodAddsNoContentType", "", -1, "", 1, 1, kDefaults},
        AssembleCase{"KeepAliveRemovedWhenDefaultsFollow", "Connection: keep-alive", 0, "", 1, 1,
                     kDefaults},
        AssembleCase{"KeepAliveAsLastLineStays", "Connection: keep-alive", 0, "", 0, 1,
                     "Connection: keep-alive"},
        AssembleCase{"LowerCaseKeepAliveCapitalisedThenRemoved", "connection: keep-alive", 0, "", 1,
                     1, kDefaults},
        AssembleCase{"LowerCaseKeepAliveStaysWithoutNormalising", "connection: keep-alive", 0, "",
                     1, 0, "connection: keep-alive\r\n" + kDefaults + kCrLf},
        AssembleCase{"ProxyConnectionStays", "Proxy-Connection: keep-alive", 0, "", 1, 1,
                     "Proxy-Connection: keep-alive\r\n" + kDefaults},
        AssembleCase{"ProxyConnectionLineIsNotCutWhenConnectionLineGoes",
                     "Connection: keep-alive\r\nProxy-Connection: keep-alive", 0, "", 1, 1,
                     "Proxy-Connection: keep-alive\r\n" + kDefaults},
        AssembleCase{"EveryKeepAliveLineGoes",
                     "Connection: keep-alive\r\nX-A: 1\r\nConnection: keep-alive", 0, "", 1, 1,
                     "X-A: 1\r\n" + kDefaults},
        AssembleCase{"ConnectionCloseStays", "Connection: close", 0, "", 1, 1,
                     "Connection: close\r\n" + kDefaults},
        AssembleCase{"LineWithoutColonDroppedWhenNormalised", "NoColon\r\nX-A: 1", 0, "", 0, 1,
                     "X-A: 1"},
        AssembleCase{"LineWithoutColonStaysWithoutNormalising", "NoColon\r\nX-A: 1", 0, "", 0, 0,
                     "NoColon\r\nX-A: 1\r\n"},
        AssembleCase{"HeadersEndingInCrLfLoseTheEmptyLine", "X-A: 1\r\n", 0, "", 0, 1, "X-A: 1"},
        AssembleCase{"HeadersEndingInCrLfKeepEmptyLineWithoutNormalising", "X-A: 1\r\n", 0, "", 0,
                     0, "X-A: 1\r\n\r\n"},
        AssembleCase{"CookiesAddCookieLine", "", 0, "a=1; b=2", 1, 1,
                     kDefaults + "\r\nCookie: a=1; b=2\r\n"},
        AssembleCase{"CookiesWithPrefixAppendedUnchanged", "", 0, "Cookie: a=1", 1, 1,
                     kDefaults + "\r\nCookie: a=1\r\n"},
        AssembleCase{"CookiesWithLowerCasePrefixAppendedUnchanged", "", 0, "cookie: a=1", 1, 1,
                     kDefaults + "\r\ncookie: a=1\r\n"},
        AssembleCase{"GivenCookieLineWins", "cookie: x=1", 0, "a=1", 1, 1,
                     "Cookie: x=1\r\n" + kDefaults},
        AssembleCase{"CookieLineAfterEmptyLineWithoutNormalising", "", 0, "a=1", 1, 0,
                     kDefaults + "\r\n\r\nCookie: a=1\r\n"},
        AssembleCase{"CookieLineAloneStartsWithCrLf", "", 0, "a=1", 0, 1, "\r\nCookie: a=1\r\n"}),
    [](const testing::TestParamInfo<AssembleCase>& info) { return std::string(info.param.name); });

struct CapitaliseCase {
    const char* name;
    Text input;
    Text expected;
};

class CapitaliseHeaderNamesTest : public testing::TestWithParam<CapitaliseCase> {};

TEST_P(CapitaliseHeaderNamesTest, RaisesFirstLettersOnly) {
    EXPECT_EQ(CapitaliseHeaderNames(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CapitaliseHeaderNamesTest,
    testing::Values(
        CapitaliseCase{"Empty", "", ""},
        CapitaliseCase{"OtherLettersKeepCase", "content-TYPE: a", "Content-TYPE: a"},
        CapitaliseCase{"EveryDashPiece", "x-requested-with: 1", "X-Requested-With: 1"},
        CapitaliseCase{"TrailingDashKept", "a-: v", "A-: v"},
        CapitaliseCase{"LeadingDash", "-a: v", "-A: v"},
        CapitaliseCase{"DoubleDash", "a--b: v", "A--B: v"}, CapitaliseCase{"EmptyName", ":v", ":v"},
        CapitaliseCase{"OnlyNameBeforeFirstColon", "x: a-b: c", "X: a-b: c"},
        CapitaliseCase{"DigitFirst", "1abc: x", "1abc: x"},
        CapitaliseCase{"DoubleByteNameUnchanged", "\xB0\xA1-x: 1", "\xB0\xA1-X: 1"},
        // A dash, colon or CR LF that is the second byte of a pair separates nothing.
        CapitaliseCase{"DashInsidePairIsNoPiece", "\xB0-x: 1", "\xB0-x: 1"},
        CapitaliseCase{"ColonInsidePairIsNoSeparator", "a\xB0:b-c: 1", "A\xB0:b-C: 1"},
        CapitaliseCase{"CrInsidePairEndsNoLine", "a: \xB0\r\nb: 2", "A: \xB0\r\nb: 2"},
        CapitaliseCase{"LineWithoutColonDropped", "noColon", ""},
        CapitaliseCase{"EmptyLinesDroppedNoFinalCrLf", "a: 1\r\n\r\nb: 2\r\n", "A: 1\r\nB: 2"},
        CapitaliseCase{"LeadingEmptyLineDropped", "\r\nAccept: */*", "Accept: */*"},
        CapitaliseCase{"ValueKeptByteForByte", "x-a:  Mixed Case ; q=1", "X-A:  Mixed Case ; q=1"}),
    [](const testing::TestParamInfo<CapitaliseCase>& info) {
        return std::string(info.param.name);
    });

struct ValueCase {
    const char* name;
    Text text;
    Text header;
    Text expected;
};

class HeaderValueTest : public testing::TestWithParam<ValueCase> {};

TEST_P(HeaderValueTest, ReadsFirstLineBeginningWithName) {
    EXPECT_EQ(HeaderValue(GetParam().text, GetParam().header), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HeaderValueTest,
    testing::Values(
        ValueCase{"Single", "Connection: keep-alive", "Connection", "keep-alive"},
        ValueCase{"FirstMatchingLineWins", "X: 1\r\nConnection: close\r\nConnection: keep-alive",
                  "Connection", "close"},
        ValueCase{"FirstLineWithPrefixButNoMarkerGivesEmpty",
                  "Connection-Id: 5\r\nConnection: keep-alive", "Connection", ""},
        ValueCase{"NameIsCaseSensitive", "connection: keep-alive", "Connection", ""},
        ValueCase{"NameMustStartTheLine", "Proxy-Connection: keep-alive", "Connection", ""},
        ValueCase{"LastMarkerInLine", "Location: a Location: b", "Location", "b"},
        ValueCase{"EmptyValue", "Location: ", "Location", ""},
        ValueCase{"EmptyText", "", "Connection", ""}),
    [](const testing::TestParamInfo<ValueCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace lumeno
