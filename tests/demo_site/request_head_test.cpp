// Request head parsing: targets in origin and absolute form, header lines in arrival order.
#include <string>

#include <gtest/gtest.h>

#include "demo_site/request_head.h"

namespace lumeno::demo {
namespace {

struct TargetCase {
    std::string target;
    std::string path;
    std::string query;
};

class SplitTargetTest : public ::testing::TestWithParam<TargetCase> {};

TEST_P(SplitTargetTest, GivesPathAndQuery) {
    std::string path = "stale", query = "stale";
    SplitTarget(GetParam().target, path, query);
    EXPECT_EQ(path, GetParam().path);
    EXPECT_EQ(query, GetParam().query);
}

INSTANTIATE_TEST_SUITE_P(
    Targets, SplitTargetTest,
    ::testing::Values(TargetCase{"/", "/", ""},
                      TargetCase{"/a/b.html?x=1&y=2", "/a/b.html", "x=1&y=2"},
                      TargetCase{"/redirect-to?url=http://h/p", "/redirect-to", "url=http://h/p"},
                      TargetCase{"http://h:8808/fengjing/index.html", "/fengjing/index.html", ""},
                      TargetCase{"https://h/p?q=1", "/p", "q=1"}, TargetCase{"http://h:1", "/", ""},
                      TargetCase{"http://h?q", "/", "q"},
                      TargetCase{"/%E4%B8%AD?a", "/%E4%B8%AD", "a"}, TargetCase{"", "", ""},
                      TargetCase{"*", "*", ""}));

TEST(ParseHeadTest, KeepsLinesInOrderWithNamesAsSent) {
    const std::string head =
        "POST /echo?a=1 HTTP/1.1\r\nHost: 127.0.0.1:80\r\nzeta:  z  \r\nAlpha:a\r\n"
        "X-Empty:\r\n\r\n";
    const RecordedRequest parsed = ParseHead(head + "body bytes");
    EXPECT_EQ(parsed.method, "POST");
    EXPECT_EQ(parsed.target, "/echo?a=1");
    EXPECT_EQ(parsed.path, "/echo");
    EXPECT_EQ(parsed.head, head);
    EXPECT_TRUE(parsed.body.empty());
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"Host", "127.0.0.1:80"}, {"zeta", "z"}, {"Alpha", "a"}, {"X-Empty", ""}};
    EXPECT_EQ(parsed.headers, expected);
}

TEST(ParseHeadTest, ToleratesTruncatedAndOddHeads) {
    const RecordedRequest truncated = ParseHead("GET /x HTTP/1.1\r\nHost: h");
    EXPECT_EQ(truncated.method, "GET");
    EXPECT_EQ(truncated.path, "/x");
    ASSERT_EQ(truncated.headers.size(), 1u);
    EXPECT_EQ(truncated.headers[0].second, "h");

    const RecordedRequest noColon = ParseHead("GET / HTTP/1.1\r\nbroken line\r\n\r\n");
    ASSERT_EQ(noColon.headers.size(), 1u);
    EXPECT_EQ(noColon.headers[0].first, "broken line");
    EXPECT_EQ(noColon.headers[0].second, "");

    const RecordedRequest empty = ParseHead("");
    EXPECT_TRUE(empty.method.empty());
    EXPECT_TRUE(empty.headers.empty());
}

}  // namespace
}  // namespace lumeno::demo
