// "WinHttp.WinHttpRequest.5.1" on Windows is the system's class, handed out inside a thin
// object of ours so that closing the program can end a request in progress. The system's Send
// on a synchronous request blocks until the response or one of the request's timeouts: a
// stalled server would hold the worker, and so the program's close, for that long. So a
// synchronous Open is turned into an asynchronous one, and Send waits for the response in short
// steps, checking the shutdown flag between them and aborting the request when it is set. What
// the caller sees is a synchronous request as before: Send returns once the response is in, with
// the request's own failure when there is one. Every other member goes to the system's object
// as it is.
#include "platform/windows/win32.h"

#include "platform/winhttp/winhttp_request_object.h"

#include <algorithm>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/com/runtime.h"
#include "platform/system/worker_threads.h"
#include "platform/windows/com/com_object.h"

namespace lumeno::platform {
namespace win32 {

// The class's own interface (httprequest.idl; MinGW-w64 ships no header for it), declared as
// far as the two members called through it. WaitForResponse is called here rather than by name
// so that the caller's Succeeded flag can start out with a value of its own: Wine 8's class
// leaves the flag untouched when it finds the response complete before its own bookkeeping is
// (see AbortableRequest::Send). Outside the anonymous namespace: the compiler would otherwise
// know every class that could implement it (none in this file) and turn the calls into
// unreachable code.
struct IWinHttpRequestCalls : IDispatch {
    virtual ::HRESULT STDMETHODCALLTYPE SetProxy(LONG, VARIANT, VARIANT) = 0;
    virtual ::HRESULT STDMETHODCALLTYPE SetCredentials(BSTR, BSTR, LONG) = 0;
    virtual ::HRESULT STDMETHODCALLTYPE Open(BSTR, BSTR, VARIANT) = 0;
    virtual ::HRESULT STDMETHODCALLTYPE SetRequestHeader(BSTR, BSTR) = 0;
    virtual ::HRESULT STDMETHODCALLTYPE GetResponseHeader(BSTR, BSTR*) = 0;
    virtual ::HRESULT STDMETHODCALLTYPE GetAllResponseHeaders(BSTR*) = 0;
    virtual ::HRESULT STDMETHODCALLTYPE Send(VARIANT) = 0;
    virtual ::HRESULT STDMETHODCALLTYPE get_Status(LONG*) = 0;
    virtual ::HRESULT STDMETHODCALLTYPE get_StatusText(BSTR*) = 0;
    virtual ::HRESULT STDMETHODCALLTYPE get_ResponseText(BSTR*) = 0;
    virtual ::HRESULT STDMETHODCALLTYPE get_ResponseBody(VARIANT*) = 0;
    virtual ::HRESULT STDMETHODCALLTYPE get_ResponseStream(VARIANT*) = 0;
    virtual ::HRESULT STDMETHODCALLTYPE get_Option(LONG, VARIANT*) = 0;
    virtual ::HRESULT STDMETHODCALLTYPE put_Option(LONG, VARIANT) = 0;
    virtual ::HRESULT STDMETHODCALLTYPE WaitForResponse(VARIANT, VARIANT_BOOL*) = 0;
    virtual ::HRESULT STDMETHODCALLTYPE Abort() = 0;
};

}  // namespace win32

namespace {

using win32::IWinHttpRequestCalls;

// IID_IWinHttpRequest {016FE2EC-B2C8-45F8-B23B-39E53A75396B}.
constexpr IID kRequestInterface = {
    0x016FE2EC, 0xB2C8, 0x45F8, {0xB2, 0x3B, 0x39, 0xE5, 0x3A, 0x75, 0x39, 0x6B}};

// The first wait is short, so a quick answer is not held up; later ones grow to the longest
// step, which bounds how long a close waits for the request to notice it.
constexpr std::chrono::milliseconds kFirstStep{1};
constexpr std::chrono::milliseconds kLongestStep{50};

// What WaitForResponse's Succeeded flag holds before the call; the class writes VARIANT_TRUE or
// VARIANT_FALSE over it.
constexpr VARIANT_BOOL kUntouched = 0x5A5A;

DispatchPtr MakeSystemRequest() {
    DispatchPtr object;
    win32::CreateSystemObject(kWinHttpRequestClsid, CLSCTX_ALL, &object);
    return object;
}

// The class's interface on `object` for one call, released after it.
class RequestInterface {
public:
    explicit RequestInterface(IDispatch* object) {
        if (object != nullptr) {
            object->QueryInterface(kRequestInterface, reinterpret_cast<void**>(&calls_));
        }
    }
    ~RequestInterface() {
        if (calls_ != nullptr) calls_->Release();
    }
    RequestInterface(const RequestInterface&) = delete;
    RequestInterface& operator=(const RequestInterface&) = delete;

    IWinHttpRequestCalls* operator->() const { return calls_; }
    explicit operator bool() const { return calls_ != nullptr; }

private:
    IWinHttpRequestCalls* calls_ = nullptr;
};

class AbortableRequest final : public DispatchObject {
public:
    explicit AbortableRequest(DispatchPtr system) : system_(std::move(system)) {}

protected:
    HRESULT InvokeMember(std::string_view member, DispatchKind kind, std::span<Variant> arguments,
                         Variant* result) override {
        if (kind == DispatchKind::Method && MemberIs(member, "Open")) return Open(arguments);
        if (kind == DispatchKind::Method && MemberIs(member, "Send") && !callerWaits_) {
            return Send(arguments, result);
        }
        return system_->Invoke(member, kind, arguments, result);
    }

private:
    // Opens every request asynchronously. One the caller opened asynchronously itself stays the
    // caller's to wait for; an Async argument that is no Boolean goes to the system's class as
    // it is, which answers for it.
    HRESULT Open(std::span<Variant> arguments) {
        if (arguments.size() < 2 || arguments.size() > 3) {
            return system_->Invoke("Open", DispatchKind::Method, arguments, nullptr);
        }
        bool async = false;
        if (arguments.size() == 3 && !arguments[2].IsEmpty() &&
            Failed(VariantToBoolean(arguments[2], &async))) {
            return system_->Invoke("Open", DispatchKind::Method, arguments, nullptr);
        }
        callerWaits_ = async;
        if (unsettled_) {
            // Wine 8's class, opened again after a request whose end it had not settled, cancels
            // the next request at once. A fresh object of the class takes its place; the old one
            // settles as it is released. Nothing of the old object is lost: that class's Open
            // resets the timeouts, the proxy and the credentials anyway.
            if (DispatchPtr fresh = MakeSystemRequest()) system_ = std::move(fresh);
            unsettled_ = false;
        }
        std::vector<Variant> asynchronous(arguments.begin(), arguments.begin() + 2);
        asynchronous.push_back(Variant::FromBool(true));
        return system_->Invoke("Open", DispatchKind::Method, asynchronous, nullptr);
    }

    HRESULT Send(std::span<Variant> arguments, Variant* result) {
        // Nothing new starts while the program closes, as with the handle functions.
        if (ShutdownRequested()) return HResultFromWin32(ERROR_WINHTTP_OPERATION_CANCELLED);
        if (HRESULT sent = system_->Invoke("Send", DispatchKind::Method, arguments, result);
            Failed(sent)) {
            return sent;
        }
        const RequestInterface request(win32::SystemDispatch(system_));
        if (!request) return E_NOINTERFACE;
        VARIANT now;
        ::VariantInit(&now);
        now.vt = VT_I4;
        now.lVal = 0;  // seconds: only look
        std::chrono::milliseconds step = kFirstStep;
        for (;;) {
            VARIANT_BOOL done = kUntouched;
            // A failure here is the request's own (refused, timed out, TLS, ...), as the
            // synchronous Send would have answered it.
            if (const ::HRESULT waited = request->WaitForResponse(now, &done); !win32::Ok(waited)) {
                return waited;
            }
            // Wine 8's class answers S_OK without touching the flag when the response is in
            // but the end of its exchange has not been waited for; the request is complete, but
            // the object is not ready for another Open.
            if (done == kUntouched) unsettled_ = true;
            if (done != VARIANT_FALSE) return S_OK;
            if (ShutdownRequested()) {
                request->Abort();
                return HResultFromWin32(ERROR_WINHTTP_OPERATION_CANCELLED);
            }
            std::this_thread::sleep_for(step);
            step = std::min(step * 2, kLongestStep);
        }
    }

    DispatchPtr system_;
    bool callerWaits_ = false;  // the caller opened the request asynchronously itself
    bool unsettled_ = false;    // the last response came in without the class settling its end
};

}  // namespace

void RegisterWinHttpRequestClass() {
    static std::once_flag once;
    std::call_once(once, [] {
        RegisterClass(kWinHttpRequestProgId, kWinHttpRequestClsid, MakeWinHttpRequestObject);
    });
}

DispatchPtr MakeWinHttpRequestObject() {
    DispatchPtr system = MakeSystemRequest();
    if (!system) return nullptr;
    // A class without the interface cannot be waited for in steps: it is handed out as it is.
    if (!RequestInterface(win32::SystemDispatch(system))) return system;
    return std::make_shared<AbortableRequest>(std::move(system));
}

}  // namespace lumeno::platform
