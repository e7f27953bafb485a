// Argument and state rules that our stand-in enforces beyond WinHTTP's: measured under Wine 8,
// the system's WinHTTP accepts each of these (a named proxy without a name, the access type 2,
// an empty server name, header lines without a colon, other authentication schemes, a body
// whose rest would follow the send, reads before the response, the URLs marked as the stand-in's
// own in url_crack_tests.cpp; Windows cracks "http://host:0/" with port 0) or refuses it with
// another code. The logic never makes these calls or relies only on their failing; the stand-in
// refuses them so that a mistake shows.
#include <gtest/gtest.h>

#include "platform/winhttp/winhttp.h"
#include "tests/platform/winhttp/handle_rules_fixture.h"

namespace lumeno::platform {
namespace {

TEST_F(HandleRules, SessionArgumentsAreChecked) {
    EXPECT_EQ(WinHttpOpen(nullptr, WINHTTP_ACCESS_TYPE_NAMED_PROXY, u"", nullptr, 0), nullptr);
    EXPECT_EQ(WinHttpLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(WinHttpOpen(nullptr, 2, nullptr, nullptr, 0), nullptr);
    EXPECT_EQ(WinHttpConnect(session_.get(), u"", 80, 0), nullptr);
    EXPECT_EQ(WinHttpLastError(), ERROR_INVALID_PARAMETER);
}

TEST_F(HandleRules, OptionValuesAndLengthsAreChecked) {
    const DWORD flags = 0x3300, unknownFeature = 0x40;
    EXPECT_FALSE(WinHttpSetOption(request_.get(), 31, &flags, 2));
    EXPECT_EQ(WinHttpLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_FALSE(WinHttpSetOption(request_.get(), 63, &unknownFeature, 4));
    EXPECT_EQ(WinHttpLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_FALSE(WinHttpSetOption(session_.get(), 31, &flags, 4));
    EXPECT_EQ(WinHttpLastError(), ERROR_WINHTTP_INCORRECT_HANDLE_TYPE);
}

TEST_F(HandleRules, HeaderLinesNeedAColonAndAnEmptyBlockIsAccepted) {
    const DWORD whole = 0xFFFFFFFF;
    EXPECT_TRUE(WinHttpAddRequestHeaders(request_.get(), u"", 0, WINHTTP_ADDREQ_FLAG_ADD));
    EXPECT_FALSE(WinHttpAddRequestHeaders(request_.get(), u"A: 1\r\nno colon", whole,
                                          WINHTTP_ADDREQ_FLAG_ADD));
    EXPECT_EQ(WinHttpLastError(), ERROR_WINHTTP_INVALID_HEADER);
}

TEST_F(HandleRules, OnlyBasicCredentials) {
    EXPECT_FALSE(WinHttpSetCredentials(request_.get(), 0, 2, u"u", u"p", nullptr));
}

TEST_F(HandleRules, NothingIsReadBeforeTheResponse) {
    DWORD n = 0;
    char buffer[8];
    EXPECT_FALSE(WinHttpQueryDataAvailable(request_.get(), &n));
    EXPECT_EQ(WinHttpLastError(), ERROR_WINHTTP_INCORRECT_HANDLE_STATE);
    EXPECT_FALSE(WinHttpReadData(request_.get(), buffer, sizeof buffer, &n));
}

TEST_F(HandleRules, TheWholeBodyComesWithTheSend) {
    EXPECT_FALSE(WinHttpSendRequest(request_.get(), nullptr, 0, "abc", 3, 10, 0));
    EXPECT_EQ(WinHttpLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_FALSE(WinHttpSendRequest(request_.get(), nullptr, 0, nullptr, 3, 3, 0));
}

}  // namespace
}  // namespace lumeno::platform
