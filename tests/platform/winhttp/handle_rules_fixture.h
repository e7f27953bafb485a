// A session, a connection and a request that no test sends, for the argument and state rules.
#pragma once

#include <gtest/gtest.h>

#include "platform/winhttp/winhttp.h"
#include "tests/platform/winhttp/winhttp_client.h"

namespace lumeno::platform {

class HandleRules : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(InitializeHttpEngine());
        ASSERT_TRUE(session_);
        ASSERT_TRUE(connection_);
        ASSERT_TRUE(request_);
    }
    testing::Handle session_{WinHttpOpen(nullptr, WINHTTP_ACCESS_TYPE_NO_PROXY, u"", nullptr, 0)};
    testing::Handle connection_{WinHttpConnect(session_.get(), u"127.0.0.1", 9, 0)};
    testing::Handle request_{
        WinHttpOpenRequest(connection_.get(), u"GET", u"/", nullptr, nullptr, nullptr, 0)};
};

}  // namespace lumeno::platform
