// One request through the scriptable request object: configure, send, read, collect cookies,
// merge them into the caller's jar, and always release the object and the thread's
// initialisation on the way out.
#include "http/object_web_request.h"

#include <cmath>
#include <climits>
#include <mutex>
#include <string_view>

#include "http/base64.h"
#include "http/cookies.h"
#include "http/request_headers.h"
#include "platform/winhttp/winhttp_request_object.h"
#include "util/runtime_services.h"
#include "util/text_slicing.h"

namespace lumeno {
namespace {

constexpr const char* kRequestClass = "WinHttp.WinHttpRequest.5.1";
constexpr const char* kCrLf = "\r\n";
constexpr int kProxySettingProxy = 2;          // HTTPREQUEST_PROXYSETTING_PROXY
constexpr int kCredentialsForProxy = 1;        // HTTPREQUEST_SETCREDENTIALS_FOR_PROXY
constexpr int kOptionEnableRedirects = 6;      // WinHttpRequestOption_EnableRedirects
constexpr int kOptionSslErrorIgnoreFlags = 4;  // WinHttpRequestOption_SslErrorIgnoreFlags
constexpr int kSslErrorIgnoreAll = 0x3300;     // unknown CA, wrong usage, wrong name, bad date

// On Windows the system registers the request class; here our object runtime must learn it once
// before the first creation.
void EnsureRequestClassRegistered() {
    static std::once_flag once;
    std::call_once(once, [] { platform::RegisterWinHttpRequestClass(); });
}

// The routine's one reference to the request object, released on every path.
class ObjectReference {
public:
    ObjectReference() = default;
    ~ObjectReference() { Release(); }
    ObjectReference(const ObjectReference&) = delete;
    ObjectReference& operator=(const ObjectReference&) = delete;

    AutomationObject& Get() { return object_; }
    void Release() { ReleaseObject(object_); }

private:
    AutomationObject object_;
};

struct HeaderLine {
    Text name, value;
};

// A line's trimmed name (before the first ":") and value (after it); a line without ":" has an
// empty name and value, which the object rejects like any empty name.
HeaderLine SplitHeaderLine(std::string_view line) {
    detail::TextFinder colonFinder(line, ":", false);
    const std::size_t colon = colonFinder.Next(0);
    if (colon == detail::TextFinder::npos) return {};
    return {Text(TrimSpacesView(line.substr(0, colon))),
            Text(TrimSpacesView(line.substr(colon + 1)))};
}

void ApplyHeaderLines(const AutomationObject& request, const Text& headers) {
    // A text without CR LF is one line, applied even when it is empty.
    if (FindText(headers, kCrLf) == -1) {
        const HeaderLine line = SplitHeaderLine(headers);
        CallMethod(request, "SetRequestHeader", {line.name, line.value});
        return;
    }
    VisitSplitPieces(headers, kCrLf, [&request](std::string_view text) {
        if (text.empty()) return true;
        const HeaderLine line = SplitHeaderLine(text);
        if (line.name == "Connection" && line.value == "keep-alive") return true;
        CallMethod(request, "SetRequestHeader", {line.name, line.value});
        return true;
    });
}

// Status is read as a number; any fraction is dropped and values outside an int give 0.
int StatusFromNumber(double status) {
    if (!std::isfinite(status) || status <= INT_MIN || status >= static_cast<double>(INT_MAX) + 1) {
        return 0;
    }
    return static_cast<int>(status);
}

}  // namespace

ByteSet ObjectWebRequest(const Text& url, const ObjectRequestOptions& options) {
    const ObjectThreadScope thread;
    const int method = options.method < 0 || options.method > 7 ? 0 : options.method;
    const Text verb = RequestVerb(method);

    ObjectReference reference;
    AutomationObject& request = reference.Get();
    if (options.requestObject != nullptr) {
        // A given holder without an object is used as it is: every call on it fails.
        CopyObject(request, *options.requestObject);
    } else {
        EnsureRequestClassRegistered();
        if (!CreateObject(request, kRequestClass)) return {};
    }

    if (options.timeoutSeconds != -1) {
        const int ms = ObjectRequestTimeoutMilliseconds(options.timeoutSeconds);
        CallMethod(request, "SetTimeouts", {ms, ms, ms, ms});
    }
    if (TextLength(options.proxy) > 0) {
        CallMethod(request, "SetProxy", {kProxySettingProxy, options.proxy});
    }
    CallMethod(request, "Open", {verb, url, false});
    if (options.disableRedirects != 0) {
        PutProperty(request, "Option", false, {kOptionEnableRedirects});
    }
    PutProperty(request, "Option", kSslErrorIgnoreAll, {kOptionSslErrorIgnoreFlags});

    const Text headers = CompleteObjectRequestHeaders(
        options.headers != nullptr ? *options.headers : Text{}, url, method,
        options.addDefaultHeaders, options.normaliseHeaderNames);
    if (options.headers != nullptr) *options.headers = headers;

    if (TextLength(options.proxy) > 0 && TextLength(options.proxyUser) > 0) {
        CallMethod(request, "SetCredentials",
                   {options.proxyUser, options.proxyPassword, options.credentialTarget});
        if (options.credentialTarget == kCredentialsForProxy) {
            const Text credentials = options.proxyUser + ":" + options.proxyPassword;
            CallMethod(request, "SetRequestHeader",
                       {"Proxy-Authorization", "Basic " + Base64Encode(ToBytes(credentials))});
        }
    }

    if (options.cookies != nullptr) {
        Text& cookies = *options.cookies;
        if (TextLength(cookies) > 0 && FindText(cookies, "Cookie:", 1, true) != -1) {
            cookies = ReplaceText(cookies, "Cookie:", "");
        }
        CallMethod(request, "SetRequestHeader", {"Cookie", cookies});
    }

    ApplyHeaderLines(request, headers);

    if (BytesLength(options.bodyBytes) > 0) {
        CallMethod(request, "Send", {options.bodyBytes});
    } else {
        CallMethod(request, "Send", {options.bodyText});
    }

    AutomationVariant bodyValue = GetPropertyVariant(request, "ResponseBody");
    Text responseHeaders = CallMethodText(request, "GetAllResponseHeaders");
    int status = StatusFromNumber(GetPropertyNumber(request, "Status"));
    // Once the object is let go, the body value is the only holder of the bytes and hands them
    // over without a copy (an object the caller gave keeps its own).
    reference.Release();
    ByteSet body = VariantToBytes(std::move(bodyValue));
    // A body that broke off is a failed request, whether or not the object noticed (Wine's
    // does not): nothing of it is handed out, as when Send fails.
    if (ResponseBodyCutShort(responseHeaders, BytesLength(body))) {
        body = {};
        responseHeaders = {};
        status = 0;
    }
    if (options.returnedHeaders != nullptr) *options.returnedHeaders = responseHeaders;
    if (options.statusCode != nullptr) *options.statusCode = status;

    Text returnedCookies = CollectResponseCookies(responseHeaders);
    if (options.mergeCookies && options.cookies != nullptr) {
        returnedCookies = MergeCookies(*options.cookies, returnedCookies);
    }
    if (options.returnedCookies != nullptr) *options.returnedCookies = returnedCookies;
    return body;
}

}  // namespace lumeno
