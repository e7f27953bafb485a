// Reading named-proxy lists: the entry that serves a scheme and the hosts that bypass it.
#include <gtest/gtest.h>

#include "platform/winhttp/proxy_list.h"

namespace lumeno::platform {
namespace {

struct ProxyCase {
    const char* list;
    bool secure;
    const char* expected;
};

class ProxyForSchemeTest : public ::testing::TestWithParam<ProxyCase> {};

TEST_P(ProxyForSchemeTest, PicksTheEntry) {
    EXPECT_EQ(ProxyForScheme(GetParam().list, GetParam().secure), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, ProxyForSchemeTest,
    ::testing::Values(ProxyCase{"127.0.0.1:8888", false, "http://127.0.0.1:8888"},
                      ProxyCase{"127.0.0.1:8888", true, "http://127.0.0.1:8888"},
                      ProxyCase{"http=127.0.0.1:8888", false, "http://127.0.0.1:8888"},
                      ProxyCase{"http=127.0.0.1:8888", true, ""},
                      ProxyCase{"https=s:1;http=p:2", false, "http://p:2"},
                      ProxyCase{"https=s:1;http=p:2", true, "http://s:1"},
                      ProxyCase{"plain:3 https=s:1", true, "http://s:1"},
                      ProxyCase{"plain:3 https=s:1", false, "http://plain:3"},
                      ProxyCase{"http=http://p:2/", false, "http://p:2"},
                      ProxyCase{"proxyhost", false, "http://proxyhost:80"},
                      ProxyCase{"HTTP=p:2", false, "http://p:2"}, ProxyCase{"", false, ""},
                      ProxyCase{" ; ", false, ""}));

TEST(HostBypassesProxy, MatchesNamesWildcardsAndLocal) {
    EXPECT_TRUE(HostBypassesProxy("example.com", "EXAMPLE.com"));
    EXPECT_TRUE(HostBypassesProxy("a.b;*.lan", "box.lan"));
    EXPECT_TRUE(HostBypassesProxy("<local>", "intranet"));
    EXPECT_FALSE(HostBypassesProxy("<local>", "127.0.0.1"));
    EXPECT_FALSE(HostBypassesProxy("example.com", "example.com.evil"));
    EXPECT_FALSE(HostBypassesProxy("", "anything"));
}

}  // namespace
}  // namespace lumeno::platform
