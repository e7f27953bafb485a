// Closing the program ends a request object's Send that waits for a stalled server, and no
// Send starts afterwards. On Windows the request object is the system's class inside our
// abortable wrapper (Linux pins its own class in shutdown_abort_tests.cpp). Its own program,
// because the shutdown flag of the process cannot be taken back.
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>
#include <vector>

#include "demo_site/demo_site.h"
#include "platform/codepage/codepage.h"
#include "platform/com/runtime.h"
#include "platform/system/worker_threads.h"
#include "platform/winhttp/winhttp_request_object.h"

namespace lumeno::platform {
namespace {

using Clock = std::chrono::steady_clock;

// Opens a GET of `url` as the http layer does (synchronously) and sends it.
HRESULT OpenAndSend(const DispatchPtr& object, const std::string& url) {
    std::vector<Variant> open{Variant::FromBstr(u"GET"), Variant::FromBstr(GbkToUtf16(url)),
                              Variant::FromBool(false)};
    HRESULT hr = object->Invoke("Open", DispatchKind::Method, open, nullptr);
    if (Succeeded(hr)) hr = object->Invoke("Send", DispatchKind::Method, {}, nullptr);
    return hr;
}

TEST(RequestObjectShutdown, AStalledSendEndsSoonAfterShutdownAndNoneStartsLater) {
    RegisterWinHttpRequestClass();
    demo::DemoSite site;
    ASSERT_TRUE(site.Start());
    const std::string stalled = site.BaseUrl() + "/fault/stall-headers?ms=20000";
    Clock::time_point ended;
    auto send = std::async(std::launch::async, [&] {
        CoInitialize();
        DispatchPtr object;
        HRESULT hr = CreateInstance(kWinHttpRequestProgId, CLSCTX_INPROC_SERVER, &object);
        if (Succeeded(hr)) hr = OpenAndSend(object, stalled);
        // The worker is done once the object is let go and the thread's initialisation undone.
        object.reset();
        CoUninitialize();
        ended = Clock::now();
        return hr;
    });
    for (int i = 0; i < 500 && site.Requests().empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_EQ(site.Requests().size(), 1u);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const Clock::time_point requested = Clock::now();
    RequestShutdown();
    ASSERT_EQ(send.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_EQ(send.get(), HResultFromWin32(ERROR_WINHTTP_OPERATION_CANCELLED));
    EXPECT_LT(ended - requested, std::chrono::seconds(1));

    ASSERT_TRUE(Succeeded(CoInitialize()));
    DispatchPtr late;
    ASSERT_EQ(CreateInstance(kWinHttpRequestProgId, CLSCTX_INPROC_SERVER, &late), S_OK);
    EXPECT_EQ(OpenAndSend(late, stalled), HResultFromWin32(ERROR_WINHTTP_OPERATION_CANCELLED));
    late.reset();
    CoUninitialize();
    EXPECT_EQ(site.Requests().size(), 1u);
}

}  // namespace
}  // namespace lumeno::platform
