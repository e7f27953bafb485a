// One HTTP exchange on one curl easy handle, pulled phase by phase through a multi handle.
#include "platform/winhttp/transfer.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <string_view>

#include "platform/codepage/codepage.h"
#include "platform/system/body_room.h"

namespace lumeno::platform {
namespace {

constexpr long kNoLimitMs = 0x7FFFFFFF;
constexpr int kPollSliceMs = 50;
constexpr int kMaxRedirects = 10;
constexpr long kReceiveBufferBytes = 128 * 1024;
// Receiving pauses once this much of the body waits unread, so a large body is never held whole.
constexpr std::size_t kMaxUnreadBytes = 512 * 1024;
// Room for a usual response head, taken at its status line.
constexpr std::size_t kHeaderBlockBytes = 1024;
// A declared body length up to this is reserved whole before the body is read; a larger one
// (or none) grows in steps, so a false length cannot make a request hold much it never gets.
constexpr curl_off_t kTrustedLengthBytes = 64 * 1024 * 1024;
// What the receive buffer can come to: the unread limit plus the one piece that crosses it.
constexpr std::size_t kReceiveBufferCapacity = kMaxUnreadBytes + kReceiveBufferBytes;

// What ended transfers leave for the next ones (as many as usually run at once), so a request
// does not make again what one before it made: its receive buffer (allocated and first touched
// once) and its multi handle (whose making opens a socket pair). Each is used by one transfer at
// a time. Never destroyed: a transfer may end during exit.
template <class T>
class SparePool {
public:
    T Take() {
        std::lock_guard lock(mutex_);
        if (spare_.empty()) return T();
        T item = std::move(spare_.back());
        spare_.pop_back();
        return item;
    }
    void Give(T item) {
        std::lock_guard lock(mutex_);
        if (spare_.size() < kMaxSpare) spare_.push_back(std::move(item));
    }

private:
    static constexpr std::size_t kMaxSpare = 4;
    std::mutex mutex_;
    std::vector<T> spare_;
};

SparePool<std::string>& Buffers() {
    static auto* pool = new SparePool<std::string>;
    return *pool;
}

SparePool<CurlMulti>& Multis() {
    static auto* pool = new SparePool<CurlMulti>;
    return *pool;
}

// Appends to a body that is held whole, growing it by the transports' one rule.
void AppendGrowing(std::vector<std::uint8_t>* body, const std::uint8_t* data, std::size_t size) {
    const std::size_t needed = body->size() + size;
    if (needed > body->capacity()) body->reserve(BodyRoomFor(needed));
    body->insert(body->end(), data, data + size);
}

CurlMulti TakeMulti() {
    CurlMulti multi = Multis().Take();
    return multi ? std::move(multi) : CurlMulti(curl_multi_init());
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           EqualsAsciiIgnoreCase(text.substr(0, prefix.size()), prefix);
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

bool IsTlsFailure(CURLcode code) {
    switch (code) {
        case CURLE_SSL_CONNECT_ERROR:
        case CURLE_PEER_FAILED_VERIFICATION:
        case CURLE_SSL_CERTPROBLEM:
        case CURLE_SSL_CIPHER:
        case CURLE_SSL_CACERT_BADFILE:
        case CURLE_SSL_ENGINE_NOTFOUND:
        case CURLE_SSL_ENGINE_SETFAILED:
        case CURLE_SSL_SHUTDOWN_FAILED:
        case CURLE_SSL_CRL_BADFILE:
        case CURLE_SSL_ISSUER_ERROR:
        case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
        case CURLE_SSL_INVALIDCERTSTATUS:
        case CURLE_SSL_CLIENTCERT:
            return true;
        default:
            return false;
    }
}

struct UrlParts {
    std::string scheme, host, port;
};

UrlParts PartsOf(CURLU* url) {
    UrlParts parts;
    auto take = [url](CURLUPart part, std::string& out, unsigned flags) {
        char* value = nullptr;
        if (curl_url_get(url, part, &value, flags) == CURLUE_OK && value != nullptr) {
            out = value;
            curl_free(value);
        }
    };
    take(CURLUPART_SCHEME, parts.scheme, 0);
    take(CURLUPART_HOST, parts.host, 0);
    take(CURLUPART_PORT, parts.port, CURLU_DEFAULT_PORT);
    for (char& c : parts.scheme) c = AsciiLower(c);
    for (char& c : parts.host) c = AsciiLower(c);
    return parts;
}

}  // namespace

Transfer::Transfer(TransferSettings settings)
    : settings_(std::move(settings)),
      easy_(curl_easy_init()),
      multi_(TakeMulti()),
      currentUrl_(settings_.url),
      currentVerb_(settings_.verb),
      bodySize_(settings_.body.size()),
      buffer_(Buffers().Take()) {
    buffer_.reserve(kReceiveBufferCapacity);
}

Transfer::~Transfer() {
    if (inMulti_) curl_multi_remove_handle(multi_.get(), easy_.get());
    if (multi_) Multis().Give(std::move(multi_));
    buffer_.clear();
    Buffers().Give(std::move(buffer_));
}

bool Transfer::Configure() {
    CURL* e = easy_.get();
    if (e == nullptr || multi_ == nullptr) return false;
    curl_easy_setopt(e, CURLOPT_URL, currentUrl_.c_str());
    curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(e, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
    curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 0L);
    // Every exchange opens its own connection and closes it when done, although the multi
    // handle lives on; names are resolved afresh each time too.
    curl_easy_setopt(e, CURLOPT_FORBID_REUSE, 1L);
    curl_easy_setopt(e, CURLOPT_DNS_CACHE_TIMEOUT, 0L);
    curl_easy_setopt(e, CURLOPT_BUFFERSIZE, kReceiveBufferBytes);
    curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT_MS,
                     settings_.connectTimeoutMs > 0 ? settings_.connectTimeoutMs : kNoLimitMs);

    // An empty proxy switches the environment's http_proxy off as well.
    curl_easy_setopt(e, CURLOPT_PROXY, settings_.proxy.c_str());
    if (!settings_.proxy.empty()) {
        curl_easy_setopt(e, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
        curl_easy_setopt(e, CURLOPT_HEADEROPT, static_cast<long>(CURLHEADER_SEPARATE));
        if (settings_.proxyCredentials) {
            curl_easy_setopt(e, CURLOPT_PROXYAUTH, static_cast<long>(CURLAUTH_BASIC));
            curl_easy_setopt(e, CURLOPT_PROXYUSERNAME, settings_.proxyUser.c_str());
            curl_easy_setopt(e, CURLOPT_PROXYPASSWORD, settings_.proxyPassword.c_str());
        }
    }
    if (settings_.serverCredentials) {
        curl_easy_setopt(e, CURLOPT_HTTPAUTH, static_cast<long>(CURLAUTH_BASIC));
        curl_easy_setopt(e, CURLOPT_USERNAME, settings_.serverUser.c_str());
        curl_easy_setopt(e, CURLOPT_PASSWORD, settings_.serverPassword.c_str());
    }
    curl_easy_setopt(e, CURLOPT_SSL_VERIFYPEER, settings_.verifyPeer ? 1L : 0L);
    curl_easy_setopt(e, CURLOPT_SSL_VERIFYHOST, settings_.verifyHost ? 2L : 0L);
    if (settings_.cookieShare != nullptr) {
        curl_easy_setopt(e, CURLOPT_COOKIEFILE, "");
        curl_easy_setopt(e, CURLOPT_SHARE, settings_.cookieShare);
    }

    // The server gets the caller's lines as given; the headers libcurl would add on its own
    // (Accept, Expect, a form Content-Type, Proxy-Connection) are switched off unless given.
    // Like WinHTTP, every request asks for the connection to be kept open, unless the caller
    // says otherwise.
    bool hasAccept = false, hasExpect = false, hasContentType = false, hasProxyConnection = false;
    bool hasConnection = false;
    curl_slist* list = nullptr;
    std::string line;
    for (const auto& [name, value] : settings_.headers) {
        hasAccept = hasAccept || EqualsAsciiIgnoreCase(name, "Accept");
        hasExpect = hasExpect || EqualsAsciiIgnoreCase(name, "Expect");
        hasContentType = hasContentType || EqualsAsciiIgnoreCase(name, "Content-Type");
        hasProxyConnection = hasProxyConnection || EqualsAsciiIgnoreCase(name, "Proxy-Connection");
        hasConnection = hasConnection || EqualsAsciiIgnoreCase(name, "Connection");
        // "Name;" is libcurl's way to send a header with an empty value.
        line.assign(name);
        if (value.empty()) {
            line += ';';
        } else {
            line += ": ";
            line += value;
        }
        list = curl_slist_append(list, line.c_str());
    }
    if (!hasAccept) list = curl_slist_append(list, "Accept:");
    if (!hasExpect) list = curl_slist_append(list, "Expect:");
    if (!hasContentType) list = curl_slist_append(list, "Content-Type:");
    if (!hasProxyConnection) list = curl_slist_append(list, "Proxy-Connection:");
    if (!hasConnection) list = curl_slist_append(list, "Connection: Keep-Alive");
    headerList_.reset(list);
    curl_easy_setopt(e, CURLOPT_HTTPHEADER, headerList_.get());

    curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, &Transfer::OnHeader);
    curl_easy_setopt(e, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, &Transfer::OnBody);
    curl_easy_setopt(e, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(e, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(e, CURLOPT_XFERINFOFUNCTION, &Transfer::OnProgress);
    curl_easy_setopt(e, CURLOPT_XFERINFODATA, this);
    curl_easy_setopt(e, CURLOPT_PREREQFUNCTION, &Transfer::OnConnected);
    curl_easy_setopt(e, CURLOPT_PREREQDATA, this);
    ApplyVerb(currentVerb_, bodySize_ > 0);
    return true;
}

void Transfer::ApplyVerb(const std::string& verb, bool hasBody) {
    CURL* e = easy_.get();
    curl_easy_setopt(e, CURLOPT_NOBODY, 0L);
    curl_easy_setopt(e, CURLOPT_CUSTOMREQUEST, nullptr);
    if (verb == "HEAD") {
        curl_easy_setopt(e, CURLOPT_NOBODY, 1L);
    } else if (hasBody || verb == "POST" || verb == "PUT") {
        // POST and PUT announce their length even when it is 0.
        curl_easy_setopt(e, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(bodySize_));
        curl_easy_setopt(e, CURLOPT_COPYPOSTFIELDS, settings_.body.data());
        if (verb != "POST") curl_easy_setopt(e, CURLOPT_CUSTOMREQUEST, verb.c_str());
    } else {
        curl_easy_setopt(e, CURLOPT_HTTPGET, 1L);
        if (verb != "GET") curl_easy_setopt(e, CURLOPT_CUSTOMREQUEST, verb.c_str());
    }
}

DWORD Transfer::Send() {
    if (!Configure()) return ERROR_WINHTTP_INTERNAL_ERROR;
    if (curl_multi_add_handle(multi_.get(), easy_.get()) != CURLM_OK) {
        return ERROR_WINHTTP_INTERNAL_ERROR;
    }
    inMulti_ = true;
    lastActivity_ = Clock::now();
    Drive([this] { return requestSent_ || headersDone_; });
    return requestSent_ || headersDone_ ? 0 : SendFailure();
}

DWORD Transfer::ReceiveHeaders() {
    for (;;) {
        Drive([this] { return headersDone_; });
        if (!headersDone_) return ReceiveFailure();
        if (!redirectPending_) return 0;
        // The redirect's own body is read to its end and dropped, so its exchange ends cleanly
        // before the next hop starts on a connection of its own.
        Drive([] { return false; });
        if (cancelledByCallback_ || ownError_ == ERROR_WINHTTP_OPERATION_CANCELLED) {
            return ERROR_WINHTTP_OPERATION_CANCELLED;
        }
        if (!Restart()) return ERROR_WINHTTP_INTERNAL_ERROR;
        Drive([this] { return requestSent_ || headersDone_; });
        if (!requestSent_ && !headersDone_) return SendFailure();
    }
}

DWORD Transfer::WaitForBody(std::size_t* available) {
    Drive([this] { return readPos_ < buffer_.size(); });
    *available = buffer_.size() - readPos_;
    if (*available > 0) return 0;
    if (finished_ && result_ == CURLE_OK && ownError_ == 0) return 0;
    return ReadFailure();
}

std::size_t Transfer::Read(void* out, std::size_t size) {
    const std::size_t n = std::min(size, buffer_.size() - readPos_);
    std::memcpy(out, buffer_.data() + readPos_, n);
    readPos_ += n;
    if (readPos_ == buffer_.size()) {
        buffer_.clear();
        readPos_ = 0;
    }
    return n;
}

DWORD Transfer::ReadAll(std::vector<std::uint8_t>* body) {
    curl_off_t declared = -1;
    curl_easy_getinfo(easy_.get(), CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &declared);
    if (declared > 0 && declared <= kTrustedLengthBytes) {
        body->reserve(body->size() + static_cast<std::size_t>(declared));
    }
    const auto* unread = reinterpret_cast<const std::uint8_t*>(buffer_.data()) + readPos_;
    AppendGrowing(body, unread, buffer_.size() - readPos_);
    buffer_.clear();
    readPos_ = 0;
    sink_ = body;
    Drive([] { return false; });
    sink_ = nullptr;
    if (finished_ && result_ == CURLE_OK && ownError_ == 0) return 0;
    return ReadFailure();
}

template <class Done>
void Transfer::Drive(Done done) {
    // Time spent by the caller between two calls is not idle time of the connection.
    lastActivity_ = std::max(lastActivity_, Clock::now());
    if (paused_ && !done()) {
        // The reader has caught up: take in what libcurl held back and receive again.
        paused_ = false;
        curl_easy_pause(easy_.get(), CURLPAUSE_CONT);
    }
    while (!finished_ && !done()) {
        int running = 0;
        if (curl_multi_perform(multi_.get(), &running) != CURLM_OK) {
            Abort(ERROR_WINHTTP_INTERNAL_ERROR);
            return;
        }
        CollectResult();
        if (finished_ || done() || !CheckLimits()) return;
        int ready = 0;
        curl_multi_poll(multi_.get(), nullptr, 0, kPollSliceMs, &ready);
    }
}

bool Transfer::CheckLimits() {
    if (settings_.cancelled && settings_.cancelled()) {
        Abort(ERROR_WINHTTP_OPERATION_CANCELLED);
        return false;
    }
    if (!connected_) return true;  // curl's connect timeout covers resolve and connect
    const long limit = requestSent_ ? settings_.receiveTimeoutMs : settings_.sendTimeoutMs;
    if (limit <= 0) return true;
    const Clock::time_point now = Clock::now();
    const auto idle = std::chrono::duration_cast<std::chrono::milliseconds>(now - lastActivity_);
    // The whole response head must arrive within the receive timeout, as WinHTTP's does: a
    // server that trickles its head a byte at a time is never idle, yet never answers.
    if (requestSent_ && !headersDone_ && !headWaitStarted_) {
        headWaitStarted_ = true;
        headWaitStart_ = now;
    }
    const auto waitedForHead =
        std::chrono::duration_cast<std::chrono::milliseconds>(now - headWaitStart_);
    if (idle.count() < limit &&
        (headersDone_ || !headWaitStarted_ || waitedForHead.count() < limit))
        return true;
    Abort(ERROR_WINHTTP_TIMEOUT);
    return false;
}

void Transfer::Abort(DWORD error) {
    if (inMulti_) curl_multi_remove_handle(multi_.get(), easy_.get());
    inMulti_ = false;
    finished_ = true;
    ownError_ = error;
}

void Transfer::CollectResult() {
    int queued = 0;
    while (CURLMsg* message = curl_multi_info_read(multi_.get(), &queued)) {
        if (message->msg == CURLMSG_DONE && message->easy_handle == easy_.get()) {
            result_ = message->data.result;
            finished_ = true;
        }
    }
}

// Decides at the end of a response's headers whether it is a redirect WinHTTP would follow:
// a 301/302/303/307/308 with a Location, at most ten hops, never from HTTPS down to HTTP.
bool Transfer::PlanRedirect() {
    if (!settings_.followRedirects || location_.empty() || redirects_ >= kMaxRedirects)
        return false;
    if (status_ != 301 && status_ != 302 && status_ != 303 && status_ != 307 && status_ != 308) {
        return false;
    }
    CurlUrl url(curl_url());
    if (!url || curl_url_set(url.get(), CURLUPART_URL, currentUrl_.c_str(), 0) != CURLUE_OK ||
        curl_url_set(url.get(), CURLUPART_URL, location_.c_str(), CURLU_URLENCODE) != CURLUE_OK) {
        return false;
    }
    const UrlParts target = PartsOf(url.get());
    if (target.scheme != "http" && target.scheme != "https") return false;
    CurlUrl current(curl_url());
    curl_url_set(current.get(), CURLUPART_URL, currentUrl_.c_str(), 0);
    const UrlParts from = PartsOf(current.get());
    if (from.scheme == "https" && target.scheme == "http") return false;
    char* text = nullptr;
    if (curl_url_get(url.get(), CURLUPART_URL, &text, 0) != CURLUE_OK) return false;
    redirectUrl_ = text;
    curl_free(text);
    return true;
}

bool Transfer::Restart() {
    if (inMulti_) curl_multi_remove_handle(multi_.get(), easy_.get());
    inMulti_ = false;

    CurlUrl from(curl_url()), to(curl_url());
    curl_url_set(from.get(), CURLUPART_URL, currentUrl_.c_str(), 0);
    curl_url_set(to.get(), CURLUPART_URL, redirectUrl_.c_str(), 0);
    const UrlParts a = PartsOf(from.get()), b = PartsOf(to.get());
    // Server credentials stay with the server they were given for.
    if (settings_.serverCredentials && (a.host != b.host || a.port != b.port)) {
        curl_easy_setopt(easy_.get(), CURLOPT_USERNAME, nullptr);
        curl_easy_setopt(easy_.get(), CURLOPT_PASSWORD, nullptr);
    }
    // 303 turns every verb but HEAD into GET; 301 and 302 turn POST into GET.
    if ((status_ == 303 && currentVerb_ != "HEAD") ||
        ((status_ == 301 || status_ == 302) && currentVerb_ == "POST")) {
        currentVerb_ = "GET";
        bodySize_ = 0;
        settings_.body.clear();
        ApplyVerb(currentVerb_, false);
    }
    currentUrl_ = redirectUrl_;
    curl_easy_setopt(easy_.get(), CURLOPT_URL, currentUrl_.c_str());
    ++redirects_;

    connected_ = requestSent_ = headersDone_ = finished_ = false;
    headWaitStarted_ = false;
    redirectPending_ = false;
    paused_ = false;
    result_ = CURLE_OK;
    ownError_ = 0;
    lastDownloaded_ = lastUploaded_ = 0;
    rawHeaders_.clear();
    location_.clear();
    status_ = 0;
    buffer_.clear();
    readPos_ = 0;
    lastActivity_ = Clock::now();
    if (curl_multi_add_handle(multi_.get(), easy_.get()) != CURLM_OK) return false;
    inMulti_ = true;
    return true;
}

DWORD Transfer::SendFailure() const {
    if (cancelledByCallback_ || ownError_ == ERROR_WINHTTP_OPERATION_CANCELLED) {
        return ERROR_WINHTTP_OPERATION_CANCELLED;
    }
    if (ownError_ != 0) return ownError_;
    switch (result_) {
        case CURLE_COULDNT_RESOLVE_HOST:
        case CURLE_COULDNT_RESOLVE_PROXY:
            return ERROR_WINHTTP_NAME_NOT_RESOLVED;
        case CURLE_OPERATION_TIMEDOUT:
            return ERROR_WINHTTP_TIMEOUT;
        case CURLE_COULDNT_CONNECT:
            return ERROR_WINHTTP_CANNOT_CONNECT;
        default:
            if (IsTlsFailure(result_)) return ERROR_WINHTTP_SECURE_FAILURE;
            return connected_ ? ERROR_WINHTTP_CONNECTION_ERROR : ERROR_WINHTTP_CANNOT_CONNECT;
    }
}

DWORD Transfer::ReceiveFailure() const {
    if (cancelledByCallback_ || ownError_ == ERROR_WINHTTP_OPERATION_CANCELLED) {
        return ERROR_WINHTTP_OPERATION_CANCELLED;
    }
    if (ownError_ != 0) return ownError_;
    switch (result_) {
        case CURLE_OPERATION_TIMEDOUT:
            return ERROR_WINHTTP_TIMEOUT;
        case CURLE_OK:
        case CURLE_GOT_NOTHING:
        case CURLE_WEIRD_SERVER_REPLY:
            return ERROR_WINHTTP_INVALID_SERVER_RESPONSE;
        default:
            return ERROR_WINHTTP_CONNECTION_ERROR;
    }
}

DWORD Transfer::ReadFailure() const {
    if (cancelledByCallback_ || ownError_ == ERROR_WINHTTP_OPERATION_CANCELLED) {
        return ERROR_WINHTTP_OPERATION_CANCELLED;
    }
    if (ownError_ != 0) return ownError_;
    return result_ == CURLE_OPERATION_TIMEDOUT ? ERROR_WINHTTP_TIMEOUT
                                               : ERROR_WINHTTP_CONNECTION_ERROR;
}

std::size_t Transfer::OnHeader(char* data, std::size_t size, std::size_t count, void* self) {
    auto* t = static_cast<Transfer*>(self);
    const std::size_t length = size * count;
    t->lastActivity_ = Clock::now();
    t->requestSent_ = true;
    if (t->headersDone_) return length;  // trailers after a chunked body
    std::string_view line(data, length);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
    if (line.starts_with("HTTP/")) {
        // Each response starts a new block, so only the final response's block stays.
        t->rawHeaders_.clear();
        t->rawHeaders_.reserve(kHeaderBlockBytes);
        t->location_.clear();
        const std::size_t space = line.find(' ');
        t->status_ = space == std::string_view::npos
                         ? 0
                         : std::atol(std::string(line.substr(space + 1, 3)).c_str());
    }
    if (line.empty()) {
        if (t->status_ >= 200) {
            t->rawHeaders_ += "\r\n";
            t->headersDone_ = true;
            t->redirectPending_ = t->PlanRedirect();
        }
        return length;  // the end of an interim 1xx response: the real one follows
    }
    t->rawHeaders_.append(line);
    t->rawHeaders_ += "\r\n";
    if (StartsWithNoCase(line, "Location:")) t->location_ = std::string(Trim(line.substr(9)));
    return length;
}

std::size_t Transfer::OnBody(char* data, std::size_t size, std::size_t count, void* self) {
    auto* t = static_cast<Transfer*>(self);
    const std::size_t length = size * count;
    t->lastActivity_ = Clock::now();
    if (t->redirectPending_) return length;  // a redirect's own body is dropped
    if (t->sink_ != nullptr) {
        AppendGrowing(t->sink_, reinterpret_cast<const std::uint8_t*>(data), length);
        return length;
    }
    if (t->buffer_.size() - t->readPos_ >= kMaxUnreadBytes) {
        t->paused_ = true;
        return CURL_WRITEFUNC_PAUSE;  // libcurl keeps these bytes and hands them over again
    }
    t->buffer_.append(data, length);
    return length;
}

int Transfer::OnProgress(void* self, curl_off_t, curl_off_t dlNow, curl_off_t, curl_off_t ulNow) {
    auto* t = static_cast<Transfer*>(self);
    if (t->settings_.cancelled && t->settings_.cancelled()) {
        t->cancelledByCallback_ = true;
        return 1;  // abort: the program is shutting down
    }
    if (dlNow != t->lastDownloaded_ || ulNow != t->lastUploaded_) {
        t->lastActivity_ = Clock::now();
        t->lastDownloaded_ = dlNow;
        t->lastUploaded_ = ulNow;
    }
    if (t->connected_ && static_cast<std::size_t>(ulNow) >= t->bodySize_) t->requestSent_ = true;
    return 0;
}

int Transfer::OnConnected(void* self, char*, char*, int, int) {
    auto* t = static_cast<Transfer*>(self);
    t->connected_ = true;
    t->lastActivity_ = Clock::now();
    if (t->bodySize_ == 0) t->requestSent_ = true;
    return CURL_PREREQFUNC_OK;
}

}  // namespace lumeno::platform
