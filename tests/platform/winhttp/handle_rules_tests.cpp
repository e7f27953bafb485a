// Argument and state rules of the handle functions, checked without any network traffic: the
// rules WinHTTP and our stand-in share. Those only our stand-in enforces are in
// standin_rules_tests.cpp.
#include <gtest/gtest.h>

#include "platform/winhttp/winhttp.h"
#include "tests/platform/winhttp/handle_rules_fixture.h"
#include "tests/platform/winhttp/winhttp_client.h"

namespace lumeno::platform {
namespace {

using testing::Handle;

TEST_F(HandleRules, PlatformIsOffered) {
    EXPECT_TRUE(WinHttpCheckPlatform());
}

TEST_F(HandleRules, HandlesOfTheWrongKindAreRefused) {
    EXPECT_EQ(WinHttpConnect(request_.get(), u"host", 80, 0), nullptr);
    EXPECT_EQ(WinHttpLastError(), ERROR_WINHTTP_INCORRECT_HANDLE_TYPE);
    EXPECT_EQ(WinHttpOpenRequest(session_.get(), u"GET", u"/", nullptr, nullptr, nullptr, 0),
              nullptr);
}

TEST_F(HandleRules, TimeoutsGoOnSessionsAndRequestsOnly) {
    EXPECT_TRUE(WinHttpSetTimeouts(session_.get(), 1000, 1000, 1000, 1000));
    EXPECT_TRUE(WinHttpSetTimeouts(request_.get(), 0, -1, 0, -1));
    EXPECT_FALSE(WinHttpSetTimeouts(connection_.get(), 1, 1, 1, 1));
    EXPECT_EQ(WinHttpLastError(), ERROR_WINHTTP_INCORRECT_HANDLE_TYPE);
    EXPECT_FALSE(WinHttpSetTimeouts(session_.get(), 1, -2, 1, 1));
    EXPECT_EQ(WinHttpLastError(), ERROR_INVALID_PARAMETER);
}

struct OptionCase {
    DWORD option;
    DWORD value;
    DWORD length;
    bool accepted;
    DWORD error;
};

class OptionRules : public HandleRules, public ::testing::WithParamInterface<OptionCase> {};

TEST_P(OptionRules, AcceptsTheKnownValues) {
    const OptionCase& c = GetParam();
    EXPECT_EQ(WinHttpSetOption(request_.get(), c.option, &c.value, c.length), c.accepted);
    if (!c.accepted) {
        EXPECT_EQ(WinHttpLastError(), c.error);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Options, OptionRules,
    ::testing::Values(OptionCase{31, 0x3300, 4, true, 0}, OptionCase{31, 0x100, 4, true, 0},
                      OptionCase{31, 0x1, 4, false, ERROR_INVALID_PARAMETER},
                      OptionCase{63, 1, 4, true, 0}, OptionCase{63, 2, 4, true, 0},
                      OptionCase{79, 1, 4, true, 0},
                      OptionCase{79, 2, 4, false, ERROR_INVALID_PARAMETER},
                      OptionCase{999, 1, 4, false, ERROR_WINHTTP_INVALID_OPTION}));

TEST_F(HandleRules, OptionsBelongToRequests) {
    const DWORD flags = 0x3300;
    EXPECT_FALSE(WinHttpSetOption(session_.get(), 31, &flags, 4));
    EXPECT_FALSE(WinHttpSetOption(request_.get(), 31, nullptr, 4));
}

TEST_F(HandleRules, HeaderBlocksNeedANamePerLine) {
    const DWORD whole = 0xFFFFFFFF;
    EXPECT_TRUE(WinHttpAddRequestHeaders(request_.get(), u"A: 1\r\n\r\nB: 2\r\n", whole,
                                         WINHTTP_ADDREQ_FLAG_ADD));
    EXPECT_FALSE(WinHttpAddRequestHeaders(request_.get(), u": v", whole, WINHTTP_ADDREQ_FLAG_ADD));
    EXPECT_FALSE(WinHttpAddRequestHeaders(request_.get(), nullptr, 0, WINHTTP_ADDREQ_FLAG_ADD));
    EXPECT_TRUE(
        WinHttpAddRequestHeaders(request_.get(), u"A: 3", whole, WINHTTP_ADDREQ_FLAG_REPLACE));
    EXPECT_FALSE(
        WinHttpAddRequestHeaders(request_.get(), u"A: 4", whole, WINHTTP_ADDREQ_FLAG_ADD_IF_NEW));
}

TEST_F(HandleRules, CredentialsForServerOrProxy) {
    EXPECT_TRUE(WinHttpSetCredentials(request_.get(), 0, 1, u"u", u"p", nullptr));
    EXPECT_TRUE(WinHttpSetCredentials(request_.get(), 1, 1, u"u", u"p", nullptr));
    EXPECT_FALSE(WinHttpSetCredentials(request_.get(), 2, 1, u"u", u"p", nullptr));
    EXPECT_FALSE(WinHttpSetCredentials(request_.get(), 0, 1, nullptr, u"p", nullptr));
    EXPECT_EQ(WinHttpLastError(), ERROR_INVALID_PARAMETER);
}

TEST_F(HandleRules, ResponseCallsWaitForTheirPhase) {
    EXPECT_FALSE(WinHttpReceiveResponse(request_.get(), nullptr));
    EXPECT_EQ(WinHttpLastError(), ERROR_WINHTTP_INCORRECT_HANDLE_STATE);
    DWORD size = 0;
    EXPECT_FALSE(WinHttpQueryHeaders(request_.get(), WINHTTP_QUERY_RAW_HEADERS_CRLF, nullptr,
                                     nullptr, &size, nullptr));
    EXPECT_EQ(WinHttpLastError(), ERROR_WINHTTP_INCORRECT_HANDLE_STATE);
}

TEST(HandleTable, ClosedAndForeignHandlesAreRefused) {
    HINTERNET session = WinHttpOpen(nullptr, WINHTTP_ACCESS_TYPE_NO_PROXY, nullptr, nullptr, 0);
    ASSERT_NE(session, nullptr);
    EXPECT_TRUE(WinHttpCloseHandle(session));
    EXPECT_FALSE(WinHttpCloseHandle(session));
    EXPECT_EQ(WinHttpLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(WinHttpSetTimeouts(session, 1, 1, 1, 1));
    EXPECT_FALSE(WinHttpCloseHandle(nullptr));
    int notAHandle = 0;
    EXPECT_FALSE(WinHttpCloseHandle(reinterpret_cast<HINTERNET>(&notAHandle)));
}

TEST(HandleTable, AConnectionOutlivesItsClosedSession) {
    HINTERNET session = WinHttpOpen(nullptr, WINHTTP_ACCESS_TYPE_NO_PROXY, nullptr, nullptr, 0);
    Handle connection(WinHttpConnect(session, u"127.0.0.1", 80, 0));
    ASSERT_TRUE(connection);
    EXPECT_TRUE(WinHttpCloseHandle(session));
    Handle request(
        WinHttpOpenRequest(connection.get(), nullptr, nullptr, nullptr, nullptr, nullptr, 0));
    EXPECT_TRUE(request);
}

}  // namespace
}  // namespace lumeno::platform
