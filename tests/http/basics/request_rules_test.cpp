// Verb, body and timeout rules of a request.
#include <climits>

#include <gtest/gtest.h>

#include "http/request_headers.h"

namespace lumeno {
namespace {

struct VerbCase {
    int method;
    const char* verb;
};

class RequestVerbTest : public testing::TestWithParam<VerbCase> {};

TEST_P(RequestVerbTest, MapsMethodNumber) {
    EXPECT_EQ(RequestVerb(GetParam().method), GetParam().verb);
}

INSTANTIATE_TEST_SUITE_P(AllNumbers, RequestVerbTest,
                         testing::Values(VerbCase{0, "GET"}, VerbCase{1, "POST"},
                                         VerbCase{2, "HEAD"}, VerbCase{3, "PUT"},
                                         VerbCase{4, "OPTIONS"}, VerbCase{5, "DELETE"},
                                         VerbCase{6, "TRACE"}, VerbCase{7, "CONNECT"},
                                         VerbCase{8, "GET"}, VerbCase{-1, "GET"},
                                         VerbCase{INT_MIN, "GET"}, VerbCase{INT_MAX, "GET"}));

TEST(RequestTimeoutTest, PositiveSecondsBecomeMilliseconds) {
    EXPECT_EQ(RequestTimeoutMilliseconds(5), 5000);
    EXPECT_EQ(RequestTimeoutMilliseconds(1), 1000);
    EXPECT_EQ(RequestTimeoutMilliseconds(2147483), 2147483000);
}

TEST(RequestTimeoutTest, ZeroOrNegativeMeansThirtySeconds) {
    EXPECT_EQ(RequestTimeoutMilliseconds(0), 30000);
    EXPECT_EQ(RequestTimeoutMilliseconds(-3), 30000);
    EXPECT_EQ(RequestTimeoutMilliseconds(INT_MIN), 30000);
}

TEST(RequestTimeoutTest, SecondsTooLargeForMillisecondsSaturateInsteadOfWrapping) {
    EXPECT_EQ(RequestTimeoutMilliseconds(2147484), INT_MAX);
    EXPECT_EQ(RequestTimeoutMilliseconds(INT_MAX), INT_MAX);
}

TEST(RequestBodyTest, BytesTakePrecedenceOverText) {
    EXPECT_EQ(RequestBody(ByteSet{0x00}, "x=1"), ByteSet{0x00});
}

TEST(RequestBodyTest, TextIsSentWithoutTerminator) {
    EXPECT_EQ(RequestBody({}, "x=1"), (ByteSet{'x', '=', '1'}));
    EXPECT_TRUE(RequestBody({}, "").empty());
}

}  // namespace
}  // namespace lumeno
