// Closing the program aborts transfers promptly: once shutdown is requested, a request waiting
// for headers and one in the middle of a slow body both end within moments. Its own program,
// because the shutdown flag of the process cannot be taken back.
#include <gtest/gtest.h>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <future>

#include "demo_site/demo_site.h"
#include "platform/codepage/codepage.h"
#include "platform/com/runtime.h"
#include "platform/system/worker_threads.h"
#include "platform/winhttp/winhttp.h"
#include "platform/winhttp/winhttp_request_object.h"
#include "tests/platform/winhttp/winhttp_client.h"

namespace lumeno::platform {
namespace {

using testing::Exchange;
using testing::ExchangeResult;
using testing::ExchangeSetup;

// A loopback port whose listener never accepts: the kernel completes the connection and takes
// the request, and no answer ever comes.
class SilentListener {
public:
    SilentListener() {
        fd_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (fd_ < 0 || bind(fd_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
            listen(fd_, 4) != 0 ||
            getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
            return;
        }
        port_ = ntohs(address.sin_port);
    }
    ~SilentListener() {
        if (fd_ >= 0) close(fd_);
    }
    SilentListener(const SilentListener&) = delete;
    SilentListener& operator=(const SilentListener&) = delete;
    INTERNET_PORT Port() const { return port_; }

private:
    int fd_ = -1;
    INTERNET_PORT port_ = 0;
};

TEST(ShutdownAbort, WaitingAndReadingTransfersEndSoonAfterShutdownIsRequested) {
    ASSERT_TRUE(InitializeHttpEngine());
    demo::DemoSite site;
    ASSERT_TRUE(site.Start());
    const auto port = static_cast<INTERNET_PORT>(site.Port());
    ExchangeSetup setup;
    setup.timeoutMs = 30000;
    // The silent listener plays the server that never answers, so the site serves only one
    // connection at a time.
    SilentListener silent;
    ASSERT_NE(silent.Port(), 0);
    auto stalled = std::async(std::launch::async,
                              [&] { return Exchange(u"127.0.0.1", silent.Port(), u"/", setup); });
    auto slow = std::async(std::launch::async, [&] {
        return Exchange(u"127.0.0.1", port, u"/fault/slow-body?total=100000&chunk=100&interval=200",
                        setup);
    });
    // The request object reads its whole body in one go; that read ends as well.
    demo::DemoSite objectSite;
    ASSERT_TRUE(objectSite.Start());
    RegisterWinHttpRequestClass();
    auto objectSend = std::async(std::launch::async, [&] {
        CoInitialize();
        DispatchPtr object;
        HRESULT hr = CreateInstance(kWinHttpRequestProgId, CLSCTX_INPROC_SERVER, &object);
        if (Succeeded(hr)) {
            std::vector<Variant> open{
                Variant::FromBstr(u"GET"),
                Variant::FromBstr(GbkToUtf16(
                    objectSite.BaseUrl() + "/fault/slow-body?total=100000&chunk=100&interval=200")),
                Variant::FromBool(false)};
            hr = object->Invoke("Open", DispatchKind::Method, open, nullptr);
            if (Succeeded(hr)) hr = object->Invoke("Send", DispatchKind::Method, {}, nullptr);
        }
        object.reset();
        CoUninitialize();
        return hr;
    });
    for (int i = 0; i < 200 && objectSite.Requests().empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_EQ(objectSite.Requests().size(), 1u);
    // The slow transfer is under way once the site has seen its request.
    for (int i = 0; i < 200 && site.Requests().empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_EQ(site.Requests().size(), 1u);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    RequestShutdown();
    ASSERT_EQ(stalled.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    ASSERT_EQ(slow.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    ASSERT_EQ(objectSend.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    EXPECT_EQ(objectSend.get(), HResultFromWin32(ERROR_WINHTTP_OPERATION_CANCELLED));
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
    const ExchangeResult late = Exchange(u"127.0.0.1", silent.Port(), u"/", setup);
    EXPECT_FALSE(late.sent);
    EXPECT_EQ(late.error, ERROR_WINHTTP_OPERATION_CANCELLED);
}

}  // namespace
}  // namespace lumeno::platform
