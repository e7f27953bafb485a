// WebRequest step by step: crack the URL, open session, connection and request, set timeouts,
// credentials and options, hand over the header block, send, receive, read the body, harvest
// the response header block (status, Set-Cookie, Location), merge cookies and decode the body.
#include "http/web_request.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "http/cookies.h"
#include "http/request_headers.h"
#include "http/response_decoding.h"
#include "platform/system/body_room.h"
#include "util/automation.h"
#include "util/regex_object.h"
#include "util/runtime_services.h"
#include "util/text_slicing.h"
#include "util/wide_text.h"

namespace lumeno {
namespace {

namespace errors = web_request_errors;
using platform::DWORD;
using platform::HINTERNET;

constexpr DWORD kAskForPointer = 0xFFFFFFFF;
constexpr DWORD kIgnoreCertificateErrors = 0x3300;
constexpr int kSchemeHttps = 2;
constexpr int kPostMethod = 1;
// The UTF-16 string held by a TextToWide byte set (empty set: empty string).
std::u16string WideString(const ByteSet& bytes) {
    std::u16string wide(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < wide.size(); ++i) {
        wide[i] = static_cast<char16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    }
    while (!wide.empty() && wide.back() == u'\0') wide.pop_back();
    return wide;
}

std::u16string Wide(const Text& text) {
    return WideString(TextToWide(text));
}

// The header block of a request with no header lines, no cookies and both flags on (every
// request of the crawler): it depends on nothing but whether the method is POST, so it is
// assembled once per process.
const std::u16string& PlainHeaderBlock(int method) {
    static const std::u16string blocks[2] = {
        Wide(AssembleRequestHeaders({}, 0, {}, 1, 1)),
        Wide(AssembleRequestHeaders({}, kPostMethod, {}, 1, 1)),
    };
    return blocks[method == kPostMethod ? 1 : 0];
}

ByteSet WideBytes(const char16_t* units, std::size_t count) {
    return BytesFromMemory(units, static_cast<int>(count * sizeof(char16_t)));
}

class SessionExchange {
public:
    SessionExchange(WinHttpApi& api, const Text& url, const RequestOptions& options)
        : api_(api), url_(url), o_(options) {}

    Text Run();

private:
    // Opens everything up to the request; false once a step failed (status text written).
    bool OpenRequest();
    // Credentials and options; false on an early end (status text written).
    bool ConfigureRequest();
    bool SendAndReceive();
    void ReadBody();
    void HarvestResponse();
    void HarvestHeaderLines(const Text& headerBlock);

    void SetStatus(const Text& text) { Out(o_.statusText, statusScratch_) = text; }
    static Text& Out(Text* target, Text& scratch) { return target != nullptr ? *target : scratch; }
    bool SetOption(DWORD option, DWORD value) {
        return api_.WinHttpSetOption(request_, option, &value, sizeof value);
    }
    void CloseHandles();

    WinHttpApi& api_;
    const Text& url_;
    const RequestOptions& o_;
    Text statusScratch_, cookiesScratch_, headersScratch_, locationScratch_;

    HINTERNET session_ = nullptr;
    HINTERNET connection_ = nullptr;
    HINTERNET request_ = nullptr;
    Text host_;
    platform::INTERNET_PORT port_ = 0;
    bool secure_ = false;
    std::u16string path_;
    Text body_;  // every byte of the body; its text is the first textLength_ bytes
    std::size_t textLength_ = 0;
    Text result_;
    RegexObject* regex_ = nullptr;
};

Text SessionExchange::Run() {
    RegexObject regex;  // used by the decoding; lives until the routine returns
    ObjectThreadScope objectThread;
    regex_ = &regex;

    if (!api_.WinHttpCheckPlatform()) {
        SetStatus(errors::kNoPlatform);
        CloseHandles();
        return {};
    }
    if (OpenRequest()) {
        if (!ConfigureRequest()) {  // early end: no message pumping, nothing else written
            CloseHandles();
            return {};
        }
        if (SendAndReceive()) {
            ReadBody();
            HarvestResponse();
        }
    }
    ProcessMessages();
    CloseHandles();
    return std::move(result_);
}

bool SessionExchange::OpenRequest() {
    const std::u16string wideUrl = Wide(url_);
    platform::URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwSchemeLength = parts.dwHostNameLength = parts.dwUrlPathLength =
        parts.dwExtraInfoLength = kAskForPointer;
    if (!api_.WinHttpCrackUrl(wideUrl.c_str(), static_cast<DWORD>(wideUrl.size()), 0, &parts)) {
        SetStatus(errors::kCrackUrl);
        return false;
    }
    host_ = WideToText(WideBytes(parts.lpszHostName, parts.dwHostNameLength));
    port_ = parts.nPort;
    secure_ = parts.nScheme == kSchemeHttps;
    if (parts.dwUrlPathLength < 1) {
        path_ = u"/";  // a URL without a path asks for "/", and its query is not used
    } else {
        path_.assign(parts.lpszUrlPath, parts.dwUrlPathLength);
        if (parts.lpszExtraInfo != nullptr) {
            path_.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
        }
    }

    const bool useProxy = !o_.proxy.empty();
    const std::u16string proxyName = !useProxy ? std::u16string()
                                     : secure_ ? Wide(o_.proxy)
                                               : Wide("http=" + o_.proxy);
    session_ = api_.WinHttpOpen(nullptr,
                                useProxy ? platform::WINHTTP_ACCESS_TYPE_NAMED_PROXY
                                         : platform::WINHTTP_ACCESS_TYPE_NO_PROXY,
                                proxyName.c_str(), nullptr, 0);
    if (session_ == nullptr) {
        SetStatus(errors::kOpenSession);
        return false;
    }
    const int t = RequestTimeoutMilliseconds(o_.timeoutSeconds);
    if (!api_.WinHttpSetTimeouts(session_, t, t, t, t)) {
        SetStatus(errors::kTimeouts);
        return false;
    }
    const std::u16string host = Wide(host_);
    connection_ = api_.WinHttpConnect(session_, host.c_str(), port_, 0);
    if (connection_ == nullptr) {
        SetStatus(errors::kConnect);
        return false;
    }
    const std::u16string verb = Wide(RequestVerb(o_.method));
    request_ = api_.WinHttpOpenRequest(connection_, verb.c_str(), path_.c_str(), nullptr, nullptr,
                                       nullptr, secure_ ? platform::WINHTTP_FLAG_SECURE : 0);
    if (request_ == nullptr) {
        SetStatus(errors::kOpenRequest);
        return false;
    }
    return true;
}

bool SessionExchange::ConfigureRequest() {
    if (!o_.serverUser.empty() && !o_.serverPassword.empty()) {
        const std::u16string user = Wide(o_.serverUser), password = Wide(o_.serverPassword);
        if (!api_.WinHttpSetCredentials(request_, platform::WINHTTP_AUTH_TARGET_SERVER,
                                        platform::WINHTTP_AUTH_SCHEME_BASIC, user.c_str(),
                                        password.c_str(), nullptr)) {
            SetStatus(errors::kCredentials);
            return false;
        }
    }
    if (!o_.proxyUser.empty() && !o_.proxyPassword.empty()) {
        const std::u16string user = Wide(o_.proxyUser), password = Wide(o_.proxyPassword);
        if (!api_.WinHttpSetCredentials(request_, platform::WINHTTP_AUTH_TARGET_PROXY,
                                        platform::WINHTTP_AUTH_SCHEME_BASIC, user.c_str(),
                                        password.c_str(), nullptr)) {
            SetStatus(errors::kCredentials);
            return false;
        }
    }
    if (!SetOption(platform::WINHTTP_OPTION_SECURITY_FLAGS, kIgnoreCertificateErrors)) {
        SetStatus(errors::kCertificates);
        return false;
    }
    const bool noCookies = o_.cookies == nullptr || o_.cookies->empty();
    const bool cookieOption = noCookies ? SetOption(platform::WINHTTP_OPTION_DISABLE_FEATURE,
                                                    platform::WINHTTP_DISABLE_COOKIES)
                                        : SetOption(platform::WINHTTP_OPTION_ENABLE_FEATURE,
                                                    platform::WINHTTP_ENABLE_SSL_REVOCATION);
    if (!cookieOption) {
        SetStatus(errors::kCookieOption);
        return false;
    }
    if (o_.disableRedirects &&
        !SetOption(platform::WINHTTP_OPTION_DISABLE_FEATURE, platform::WINHTTP_DISABLE_REDIRECTS)) {
        SetStatus(errors::kRedirects);
        return false;
    }
    return true;
}

bool SessionExchange::SendAndReceive() {
    const Text cookies = o_.cookies != nullptr ? *o_.cookies : Text();
    const bool plain = o_.headers.empty() && cookies.empty() && o_.addDefaultHeaders != 0 &&
                       o_.normaliseHeaderNames != 0;
    const std::u16string headerBlock =
        plain ? PlainHeaderBlock(o_.method)
              : Wide(AssembleRequestHeaders(o_.headers, o_.method, cookies, o_.addDefaultHeaders,
                                            o_.normaliseHeaderNames));
    if (!api_.WinHttpAddRequestHeaders(request_, headerBlock.c_str(),
                                       static_cast<DWORD>(headerBlock.size()),
                                       platform::WINHTTP_ADDREQ_FLAG_ADD)) {
        SetStatus(errors::kHeaders);
        return false;
    }
    const ByteSet body = RequestBody(o_.bodyBytes, o_.bodyText);
    const DWORD n = static_cast<DWORD>(body.size());
    if (!api_.WinHttpSendRequest(request_, nullptr, 0, n > 0 ? body.data() : nullptr, n, n, 0)) {
        SetStatus(errors::kSend);
        return false;
    }
    if (!api_.WinHttpReceiveResponse(request_, nullptr)) {
        SetStatus(errors::kNoResponse);
        return false;
    }
    return true;
}

void SessionExchange::ReadBody() {
    for (;;) {
        DWORD available = 0;
        if (!api_.WinHttpQueryDataAvailable(request_, &available) || available < 1) return;
        // The piece is read straight into `available` bytes at the end of the body and the body
        // cut back to what was read, so no byte of the body is copied twice.
        const std::size_t old = body_.size();
        if (body_.capacity() - old < available) {
            // Grow in large steps: every reallocation copies the body into fresh memory, and
            // for a large page those copies cost more than the network does.
            body_.reserve(platform::BodyRoomFor(old + available));
        }
        body_.resize(old + available);
        DWORD read = 0;
        const bool ok = api_.WinHttpReadData(request_, body_.data() + old, available, &read);
        const std::size_t got = ok ? std::min(read, available) : 0;
        body_.resize(old + got);
        // Where the text ends is found piece by piece, while each piece is fresh in the cache.
        if (textLength_ == old) textLength_ = old + TextLengthOfBytes(body_.data() + old, got);
        if (!ok) {
            SetStatus(errors::kRead);  // what arrived so far is kept
            return;
        }
    }
}

void SessionExchange::HarvestResponse() {
    DWORD size = 0, index = 0;
    api_.WinHttpQueryHeaders(request_, platform::WINHTTP_QUERY_RAW_HEADERS_CRLF, nullptr, nullptr,
                             &size, &index);
    ByteSet buffer = BlankBytes(static_cast<int>(size));
    index = 0;
    if (!api_.WinHttpQueryHeaders(request_, platform::WINHTTP_QUERY_RAW_HEADERS_CRLF, nullptr,
                                  buffer.empty() ? nullptr : buffer.data(), &size, &index)) {
        return;  // no output of the response is written
    }
    Text& headers = Out(o_.returnedHeaders, headersScratch_);
    headers = WideToText(buffer);

    const int lineEnd = FindText(headers, "\r\n", 10);
    SetStatus(lineEnd > 0 ? MidText(headers, 10, lineEnd - 10) : Text());

    HarvestHeaderLines(headers);

    Text& returnedCookies = Out(o_.returnedCookies, cookiesScratch_);
    if (o_.mergeCookies != 0 && o_.cookies != nullptr && !o_.cookies->empty()) {
        returnedCookies = MergeCookies(*o_.cookies, returnedCookies);
    }
    if (o_.responseBytes != nullptr) {
        // The byte set is the body's one copy kept: the read buffer goes before the decoding.
        *o_.responseBytes = ByteSet(body_.begin(), body_.end());
        Text().swap(body_);
        result_ = DecodeResponseText(*regex_, *o_.responseBytes);
        return;
    }
    // The body's storage becomes the text when its bytes are taken as they are.
    result_ = DecodeResponseText(*regex_, std::move(body_), textLength_);
}

void SessionExchange::HarvestHeaderLines(const Text& headerBlock) {
    Out(o_.returnedCookies, cookiesScratch_) = CollectResponseCookies(headerBlock);
    // The lines are looked at in place; only a "Location" line is copied out.
    VisitSplitPieces(headerBlock, "\r\n", [this](std::string_view line) {
        if (CompareText(Text(line.substr(0, 10)), "Location: ", false) == 0) {
            const Text whole(line);
            Out(o_.returnedLocation, locationScratch_) = MidText(whole, 11, TextLength(whole));
        }
        ProcessMessages();
        return true;
    });
}

void SessionExchange::CloseHandles() {
    for (HINTERNET* handle : {&request_, &connection_, &session_}) {
        if (*handle != nullptr) api_.WinHttpCloseHandle(*handle);
        *handle = nullptr;
    }
}

}  // namespace

Text WebRequest(const Text& url, const RequestOptions& options) {
    return WebRequest(SystemWinHttp(), url, options);
}

Text WebRequest(WinHttpApi& api, const Text& url, const RequestOptions& options) {
    return SessionExchange(api, url, options).Run();
}

}  // namespace lumeno
