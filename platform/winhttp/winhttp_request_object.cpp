// The "WinHttp.WinHttpRequest.5.1" class: one object keeps a session (and so its cookies and
// proxy setting) across Open calls; each Open makes a fresh connection and request, Send runs
// the exchange and buffers the whole response for ResponseBody, Status and the header text.
#include "platform/winhttp/winhttp_request_object.h"

#include <array>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/codepage/codepage.h"
#include "platform/com/runtime.h"
#include "platform/winhttp/handles.h"
#include "platform/winhttp/wide_strings.h"

namespace lumeno::platform {
namespace {

// The agent the system's class names when the caller sets no User-Agent of its own.
constexpr const char16_t* kUserAgent = u"Mozilla/4.0 (compatible; Win32; WinHttp.WinHttpRequest.5)";
constexpr int kProxySettingDefault = 0;
constexpr int kProxySettingDirect = 1;
constexpr int kProxySettingProxy = 2;
constexpr int kOptionSslErrorIgnoreFlags = 4;
constexpr int kOptionEnableRedirects = 6;
constexpr DWORD kAsk = 0xFFFFFFFF;

// Owns one WinHTTP handle.
class OwnedHandle {
public:
    OwnedHandle() = default;
    explicit OwnedHandle(HINTERNET handle) : handle_(handle) {}
    ~OwnedHandle() { Reset(); }
    OwnedHandle(const OwnedHandle&) = delete;
    OwnedHandle& operator=(const OwnedHandle&) = delete;
    OwnedHandle& operator=(OwnedHandle&& other) noexcept {
        if (this != &other) {
            Reset();
            handle_ = other.handle_;
            other.handle_ = nullptr;
        }
        return *this;
    }
    HINTERNET get() const { return handle_; }
    void Reset() {
        if (handle_ != nullptr) WinHttpCloseHandle(handle_);
        handle_ = nullptr;
    }

private:
    HINTERNET handle_ = nullptr;
};

// The text of a string argument as it is held; another kind is converted into *storage.
HRESULT StringArgument(const Variant& value, std::u16string* storage, std::u16string_view* text) {
    if (const std::u16string* held = value.Bstr()) {
        *text = *held;
        return S_OK;
    }
    const HRESULT hr = VariantToString(value, storage);
    *text = *storage;
    return hr;
}

HRESULT LastFailure() {
    const DWORD error = WinHttpLastError();
    return error == 0 ? E_FAIL : HResultFromWin32(error);
}

struct Response {
    DWORD status = 0;
    std::u16string rawHeaders;
    // Shared with the ResponseBody values handed out, which copy nothing; never changed after.
    std::shared_ptr<std::vector<std::uint8_t>> body = std::make_shared<std::vector<std::uint8_t>>();
};

class WinHttpRequestObject final : public DispatchObject {
private:
    HRESULT InvokeMember(std::string_view member, DispatchKind kind, std::span<Variant> args,
                         Variant* result) override {
        const bool method = kind == DispatchKind::Method;
        const bool get = kind == DispatchKind::PropertyGet;
        if (MemberIs(member, "SetTimeouts") && method) return SetTimeouts(args);
        if (MemberIs(member, "SetProxy") && method) return SetProxy(args);
        if (MemberIs(member, "Open") && method) return Open(args);
        if (MemberIs(member, "SetCredentials") && method) return SetCredentials(args);
        if (MemberIs(member, "SetRequestHeader") && method) return SetRequestHeader(args);
        if (MemberIs(member, "Send") && method) return Send(args);
        if (MemberIs(member, "GetAllResponseHeaders") && method) return AllHeaders(result);
        if (MemberIs(member, "Option")) {
            if (kind == DispatchKind::PropertyPut) return PutOption(args);
            if (get) return GetOption(args, result);
        }
        if (MemberIs(member, "ResponseBody") && get) return ResponseBody(result);
        if (MemberIs(member, "Status") && get) return Status(result);
        return DISP_E_MEMBERNOTFOUND;
    }

    HRESULT SetTimeouts(std::span<Variant> args) {
        if (args.size() != 4) return DISP_E_BADPARAMCOUNT;
        int values[4];
        for (std::size_t i = 0; i < 4; ++i) {
            std::int32_t value = 0;
            if (Failed(VariantToInt32(args[i], &value))) return DISP_E_TYPEMISMATCH;
            if (value < -1) return E_INVALIDARG;
            values[i] = value;
        }
        timeouts_ = {values[0], values[1], values[2], values[3]};
        if (session_.get() != nullptr &&
            !WinHttpSetTimeouts(session_.get(), values[0], values[1], values[2], values[3])) {
            return LastFailure();
        }
        return S_OK;
    }

    HRESULT SetProxy(std::span<Variant> args) {
        if (args.empty() || args.size() > 3) return DISP_E_BADPARAMCOUNT;
        std::int32_t setting = 0;
        if (Failed(VariantToInt32(args[0], &setting))) return DISP_E_TYPEMISMATCH;
        std::u16string server, bypass;
        if (args.size() > 1 && !args[1].IsEmpty() && Failed(VariantToString(args[1], &server))) {
            return DISP_E_TYPEMISMATCH;
        }
        if (args.size() > 2 && !args[2].IsEmpty() && Failed(VariantToString(args[2], &bypass))) {
            return DISP_E_TYPEMISMATCH;
        }
        if (setting == kProxySettingProxy) {
            if (server.empty()) return E_INVALIDARG;
        } else if (setting == kProxySettingDefault || setting == kProxySettingDirect) {
            server.clear();
            bypass.clear();
        } else {
            return E_INVALIDARG;
        }
        proxy_ = server;
        bypass_ = bypass;
        session_.Reset();  // the next Open makes a session with the new setting
        return S_OK;
    }

    HRESULT Open(std::span<Variant> args) {
        if (args.size() < 2 || args.size() > 3) return DISP_E_BADPARAMCOUNT;
        std::u16string verb, url;
        if (Failed(VariantToString(args[0], &verb)) || Failed(VariantToString(args[1], &url))) {
            return DISP_E_TYPEMISMATCH;
        }
        bool async = false;
        if (args.size() == 3 && !args[2].IsEmpty() && Failed(VariantToBoolean(args[2], &async))) {
            return DISP_E_TYPEMISMATCH;
        }
        if (async) return E_NOTIMPL;  // only synchronous requests are offered
        if (verb.empty()) return E_INVALIDARG;

        request_.Reset();
        connection_.Reset();
        response_.reset();
        sslIgnoreFlags_ = 0;
        redirects_ = true;
        contentType_.reset();

        URL_COMPONENTS parts{};
        parts.dwStructSize = sizeof parts;
        parts.dwHostNameLength = parts.dwUrlPathLength = parts.dwExtraInfoLength = kAsk;
        if (!WinHttpCrackUrl(url.c_str(), static_cast<DWORD>(url.size()), 0, &parts)) {
            return LastFailure();
        }
        if (session_.get() == nullptr) {
            const DWORD access =
                proxy_.empty() ? WINHTTP_ACCESS_TYPE_NO_PROXY : WINHTTP_ACCESS_TYPE_NAMED_PROXY;
            session_ = OwnedHandle(WinHttpOpen(kUserAgent, access, proxy_.c_str(),
                                               bypass_.empty() ? nullptr : bypass_.c_str(), 0));
            if (session_.get() == nullptr) return LastFailure();
            const auto& t = timeouts_;
            WinHttpSetTimeouts(session_.get(), t[0], t[1], t[2], t[3]);
        }
        const std::u16string host(parts.lpszHostName, parts.dwHostNameLength);
        std::u16string path(parts.lpszUrlPath, parts.dwUrlPathLength);
        path.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
        if (path.empty() || path.front() != u'/') path.insert(path.begin(), u'/');
        connection_ = OwnedHandle(WinHttpConnect(session_.get(), host.c_str(), parts.nPort, 0));
        if (connection_.get() == nullptr) return LastFailure();
        const DWORD flags = parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0;
        request_ = OwnedHandle(WinHttpOpenRequest(connection_.get(), verb.c_str(), path.c_str(),
                                                  nullptr, nullptr, nullptr, flags));
        if (request_.get() == nullptr) return LastFailure();
        const auto& t = timeouts_;
        WinHttpSetTimeouts(request_.get(), t[0], t[1], t[2], t[3]);
        return S_OK;
    }

    HRESULT PutOption(std::span<Variant> args) {
        if (args.size() != 2) return DISP_E_BADPARAMCOUNT;
        std::int32_t index = 0;
        if (Failed(VariantToInt32(args[1], &index))) return DISP_E_TYPEMISMATCH;
        if (index == kOptionSslErrorIgnoreFlags) {
            std::int32_t flags = 0;
            if (Failed(VariantToInt32(args[0], &flags))) return DISP_E_TYPEMISMATCH;
            if (static_cast<DWORD>(flags) & ~DWORD{0x3300}) return E_INVALIDARG;
            sslIgnoreFlags_ = static_cast<DWORD>(flags);
            return S_OK;
        }
        if (index == kOptionEnableRedirects) {
            bool enable = true;
            if (Failed(VariantToBoolean(args[0], &enable))) return DISP_E_TYPEMISMATCH;
            redirects_ = enable;
            return S_OK;
        }
        return E_INVALIDARG;
    }

    HRESULT GetOption(std::span<Variant> args, Variant* result) {
        if (args.size() != 1) return DISP_E_BADPARAMCOUNT;
        std::int32_t index = 0;
        if (Failed(VariantToInt32(args[0], &index))) return DISP_E_TYPEMISMATCH;
        Variant value;
        if (index == kOptionSslErrorIgnoreFlags) {
            value = Variant::FromI4(static_cast<std::int32_t>(sslIgnoreFlags_));
        } else if (index == kOptionEnableRedirects) {
            value = Variant::FromBool(redirects_);
        } else {
            return E_INVALIDARG;
        }
        if (result != nullptr) *result = value;
        return S_OK;
    }

    HRESULT SetCredentials(std::span<Variant> args) {
        if (args.size() != 3) return DISP_E_BADPARAMCOUNT;
        std::u16string user, password;
        std::int32_t target = 0;
        if (Failed(VariantToString(args[0], &user)) ||
            Failed(VariantToString(args[1], &password)) ||
            Failed(VariantToInt32(args[2], &target))) {
            return DISP_E_TYPEMISMATCH;
        }
        if (request_.get() == nullptr)
            return HResultFromWin32(ERROR_WINHTTP_CANNOT_CALL_BEFORE_OPEN);
        if (!WinHttpSetCredentials(request_.get(), static_cast<DWORD>(target),
                                   WINHTTP_AUTH_SCHEME_BASIC, user.c_str(), password.c_str(),
                                   nullptr)) {
            return LastFailure();
        }
        return S_OK;
    }

    HRESULT SetRequestHeader(std::span<Variant> args) {
        if (args.size() != 2) return DISP_E_BADPARAMCOUNT;
        std::u16string nameStorage, valueStorage;
        std::u16string_view name, value;
        if (Failed(StringArgument(args[0], &nameStorage, &name)) ||
            Failed(StringArgument(args[1], &valueStorage, &value))) {
            return DISP_E_TYPEMISMATCH;
        }
        if (request_.get() == nullptr)
            return HResultFromWin32(ERROR_WINHTTP_CANNOT_CALL_BEFORE_OPEN);
        if (name.empty() || name.find_first_of(u":\r\n \t") != std::u16string_view::npos ||
            value.find_first_of(u"\r\n") != std::u16string_view::npos) {
            return E_INVALIDARG;
        }
        if (EqualsAsciiIgnoreCase(name, u"Content-Type")) contentType_ = std::u16string(value);
        // A header set twice keeps its last value; an empty value is still sent.
        std::u16string line;
        line.reserve(name.size() + 2 + value.size());
        line.append(name).append(u": ").append(value);
        const DWORD whole = static_cast<DWORD>(line.size());
        if (!WinHttpAddRequestHeaders(request_.get(), line.c_str(), whole,
                                      WINHTTP_ADDREQ_FLAG_REPLACE | WINHTTP_ADDREQ_FLAG_ADD)) {
            return LastFailure();
        }
        if (value.empty() && !WinHttpAddRequestHeaders(request_.get(), line.c_str(), whole,
                                                       WINHTTP_ADDREQ_FLAG_ADD)) {
            return LastFailure();
        }
        return S_OK;
    }

    // A text body goes out as WinHTTP's request object sends it: plain ASCII as it is, any
    // other text as UTF-8, with "charset=utf-8" joined to the Content-Type (text/plain when the
    // caller set none).
    HRESULT TextBody(const std::u16string& text, std::string* body) {
        const bool ascii =
            std::all_of(text.begin(), text.end(), [](char16_t unit) { return unit < 0x80; });
        *body = ascii ? Utf16ToGbk(text) : WideToUtf8(text);
        if (ascii) return S_OK;
        const std::u16string line =
            u"Content-Type: " + contentType_.value_or(u"text/plain") + u"; charset=utf-8";
        if (!WinHttpAddRequestHeaders(request_.get(), line.c_str(), static_cast<DWORD>(line.size()),
                                      WINHTTP_ADDREQ_FLAG_REPLACE | WINHTTP_ADDREQ_FLAG_ADD)) {
            return LastFailure();
        }
        return S_OK;
    }

    HRESULT Send(std::span<Variant> args) {
        if (args.size() > 1) return DISP_E_BADPARAMCOUNT;
        if (request_.get() == nullptr)
            return HResultFromWin32(ERROR_WINHTTP_CANNOT_CALL_BEFORE_OPEN);
        std::string body;
        if (!args.empty() && !args[0].IsEmpty()) {
            if (const auto* bytes = args[0].Bytes()) {
                body.assign(bytes->begin(), bytes->end());
            } else {
                std::u16string text;
                if (Failed(VariantToString(args[0], &text))) return DISP_E_TYPEMISMATCH;
                if (HRESULT hr = TextBody(text, &body); Failed(hr)) return hr;
            }
        }
        response_.reset();
        HINTERNET request = request_.get();
        const DWORD flags = sslIgnoreFlags_;
        if (!WinHttpSetOption(request, WINHTTP_OPTION_SECURITY_FLAGS, &flags, sizeof flags)) {
            return LastFailure();
        }
        if (!redirects_) {
            const DWORD off = WINHTTP_DISABLE_REDIRECTS;
            if (!WinHttpSetOption(request, WINHTTP_OPTION_DISABLE_FEATURE, &off, sizeof off)) {
                return LastFailure();
            }
        }
        const DWORD n = static_cast<DWORD>(body.size());
        const bool ok =
            WinHttpSendRequest(request, nullptr, 0, n ? body.data() : nullptr, n, n, 0) &&
            WinHttpReceiveResponse(request, nullptr);
        if (!ok) {
            const HRESULT failure = LastFailure();
            request_.Reset();  // the request is spent; a new Open is needed
            return failure;
        }
        Response response;
        if (!ReadWholeBody(request, response.body.get())) {
            // A body that broke off is no response: nothing half-received is handed out.
            const HRESULT failure = LastFailure();
            request_.Reset();
            return failure;
        }
        DWORD size = 0;
        WinHttpQueryHeaders(request, WINHTTP_QUERY_RAW_HEADERS_CRLF, nullptr, nullptr, &size,
                            nullptr);
        response.rawHeaders.assign(size / sizeof(char16_t), u'\0');
        if (!WinHttpQueryHeaders(request, WINHTTP_QUERY_RAW_HEADERS_CRLF, nullptr,
                                 response.rawHeaders.data(), &size, nullptr)) {
            return LastFailure();
        }
        response.rawHeaders.resize(size / sizeof(char16_t));
        DWORD statusSize = sizeof response.status;
        WinHttpQueryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER, nullptr,
                            &response.status, &statusSize, nullptr);
        response_ = std::move(response);
        return S_OK;
    }

    HRESULT ResponseBody(Variant* result) {
        if (!response_) return HResultFromWin32(ERROR_WINHTTP_CANNOT_CALL_BEFORE_SEND);
        if (result != nullptr) *result = Variant::FromSharedBytes(response_->body);
        return S_OK;
    }

    // The header lines after the status line, each ended by CR LF.
    HRESULT AllHeaders(Variant* result) {
        if (!response_) return HResultFromWin32(ERROR_WINHTTP_CANNOT_CALL_BEFORE_SEND);
        const std::u16string& raw = response_->rawHeaders;
        const std::size_t statusEnd = raw.find(u"\r\n");
        std::u16string lines =
            statusEnd == std::u16string::npos ? std::u16string() : raw.substr(statusEnd + 2);
        if (lines.ends_with(u"\r\n\r\n")) lines.resize(lines.size() - 2);
        if (result != nullptr) *result = Variant::FromBstr(lines);
        return S_OK;
    }

    HRESULT Status(Variant* result) {
        if (!response_) return HResultFromWin32(ERROR_WINHTTP_CANNOT_CALL_BEFORE_SEND);
        if (result != nullptr)
            *result = Variant::FromI4(static_cast<std::int32_t>(response_->status));
        return S_OK;
    }

    // Declared first so the handles below close before it (request, connection, session).
    std::u16string proxy_;
    std::u16string bypass_;
    std::array<int, 4> timeouts_{0, 60000, 30000, 30000};
    OwnedHandle session_;
    OwnedHandle connection_;
    OwnedHandle request_;
    DWORD sslIgnoreFlags_ = 0;
    bool redirects_ = true;
    std::optional<std::u16string> contentType_;  // as the caller set it since Open
    std::optional<Response> response_;
};

}  // namespace

DispatchPtr MakeWinHttpRequestObject() {
    InitializeHttpEngine();
    return std::make_shared<WinHttpRequestObject>();
}

void RegisterWinHttpRequestClass() {
    static std::once_flag once;
    std::call_once(once, [] {
        RegisterClass(kWinHttpRequestProgId, kWinHttpRequestClsid, MakeWinHttpRequestObject);
    });
}

}  // namespace lumeno::platform
