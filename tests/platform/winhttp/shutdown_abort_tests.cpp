// Closing the program aborts transfers promptly: once shutdown is requested, a request waiting
// for headers and one in the middle of a slow body both end within moments. Its own program,
// because the shutdown flag of the process cannot be taken back.
#include <gtest/gtest.h>

#include <future>

#include "demo_site/demo_site.h"
#include "platform/system/clock_types.h"
#include "platform/system/worker_threads.h"
#include "platform/winhttp/winhttp.h"
#include "tests/platform/winhttp/winhttp_client.h"

namespace lumeno::platform {
namespace {

using testing::Exchange;
using testing::ExchangeResult;
using testing::ExchangeSetup;

TEST(ShutdownAbort, WaitingAndReadingTransfersEndSoonAfterShutdownIsRequested) {
    ASSERT_TRUE(InitializeHttpEngine());
    demo::DemoSite site;
    ASSERT_TRUE(site.Start());
    const auto port = static_cast<INTERNET_PORT>(site.Port());
    ExchangeSetup setup;
    setup.timeoutMs = 30000;
    auto stalled = std::async(std::launch::async, [&] {
        return Exchange(u"127.0.0.1", port, u"/fault/stall-headers?ms=60000", setup);
    });
    auto slow = std::async(std::launch::async, [&] {
        return Exchange(u"127.0.0.1", port, u"/fault/slow-body?total=100000&chunk=100&interval=200",
                        setup);
    });
    // Both transfers are under way once the site has seen both requests.
    for (int i = 0; i < 200 && site.Requests().size() < 2; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_EQ(site.Requests().size(), 2u);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    RequestShutdown();
    ASSERT_EQ(stalled.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    ASSERT_EQ(slow.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    const ExchangeResult waiting = stalled.get();
    EXPECT_TRUE(waiting.sent);
    EXPECT_FALSE(waiting.received);
    EXPECT_EQ(waiting.error, ERROR_WINHTTP_OPERATION_CANCELLED);
    const ExchangeResult reading = slow.get();
    EXPECT_TRUE(reading.received);
    EXPECT_TRUE(reading.readFailed);
    EXPECT_EQ(reading.error, ERROR_WINHTTP_OPERATION_CANCELLED);
    EXPECT_LT(reading.body.size(), 100000u);

    // New transfers do not start any more.
    const ExchangeResult late = Exchange(u"127.0.0.1", port, u"/echo", setup);
    EXPECT_FALSE(late.sent);
    EXPECT_EQ(late.error, ERROR_WINHTTP_OPERATION_CANCELLED);
}

}  // namespace
}  // namespace lumeno::platform
