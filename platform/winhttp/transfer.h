// One HTTP exchange on one curl easy handle, driven on demand through its own multi handle: the
// caller pulls each phase (send, response headers, body pieces), so a large body is never held
// whole and each WinHTTP call fails exactly when its own phase fails.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/winhttp/curl_holders.h"
#include "platform/winhttp/winhttp.h"

namespace lumeno::platform {

struct TransferSettings {
    std::string url;
    std::string verb = "GET";
    // Header lines as the caller gave them, in order: (name, value).
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;
    std::string proxy;  // "http://host:port" or empty for a direct connection
    bool serverCredentials = false;
    std::string serverUser, serverPassword;
    bool proxyCredentials = false;
    std::string proxyUser, proxyPassword;
    bool verifyPeer = true;
    bool verifyHost = true;
    CURLSH* cookieShare = nullptr;  // set: the cookie engine is on and keeps its store here
    bool followRedirects = true;
    long connectTimeoutMs = 0;  // resolve and connect together; 0: no limit
    long sendTimeoutMs = 0;     // idle limits; 0: no limit
    long receiveTimeoutMs = 0;
    std::function<bool()> cancelled;  // polled while the transfer runs; true aborts it
};

class Transfer {
public:
    explicit Transfer(TransferSettings settings);
    ~Transfer();
    Transfer(const Transfer&) = delete;
    Transfer& operator=(const Transfer&) = delete;

    // Each returns 0 or the ERROR_WINHTTP_* code of the failure.
    DWORD Send();            // connected and request sent
    DWORD ReceiveHeaders();  // the final response's headers are in (redirects followed)
    DWORD WaitForBody(std::size_t* available);  // bytes ready, or 0 at the clean end

    std::size_t Read(void* out, std::size_t size);

    // The rest of the body appended straight to *body as it arrives, for a reader that holds
    // the whole body anyway (the request object): one copy fewer than the pieces of Read.
    // 0 at the clean end, otherwise the failure of WaitForBody; what arrived stays in *body.
    DWORD ReadAll(std::vector<std::uint8_t>* body);

    // The final response's status line and header lines, each ended by CR LF, then CR LF.
    const std::string& RawHeaders() const { return rawHeaders_; }
    long StatusCode() const { return status_; }

private:
    using Clock = std::chrono::steady_clock;

    bool Configure();
    void ApplyVerb(const std::string& verb, bool hasBody);
    template <class Done>
    void Drive(Done done);
    bool CheckLimits();
    void Abort(DWORD error);
    void CollectResult();
    bool PlanRedirect();
    bool Restart();
    DWORD SendFailure() const;
    DWORD ReceiveFailure() const;
    DWORD ReadFailure() const;

    static std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* self);
    static std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* self);
    static int OnProgress(void* self, curl_off_t, curl_off_t dlNow, curl_off_t, curl_off_t ulNow);
    static int OnConnected(void* self, char*, char*, int, int);

    TransferSettings settings_;
    CurlEasy easy_;
    CurlMulti multi_;
    CurlList headerList_;
    std::string currentUrl_;
    std::string currentVerb_;
    std::size_t bodySize_ = 0;
    bool inMulti_ = false;

    bool connected_ = false;
    bool requestSent_ = false;
    bool headersDone_ = false;
    bool finished_ = false;
    bool cancelledByCallback_ = false;
    bool paused_ = false;  // receiving held back until the reader drains the buffer
    CURLcode result_ = CURLE_OK;
    DWORD ownError_ = 0;  // a limit of ours (idle timeout, cancel) ended the transfer
    Clock::time_point lastActivity_;
    bool headWaitStarted_ = false;  // the request is out and the response head awaited
    Clock::time_point headWaitStart_;
    curl_off_t lastDownloaded_ = 0;
    curl_off_t lastUploaded_ = 0;

    std::string rawHeaders_;
    std::string location_;
    long status_ = 0;
    bool redirectPending_ = false;
    std::string redirectUrl_;
    int redirects_ = 0;

    std::string buffer_;
    std::size_t readPos_ = 0;
    std::vector<std::uint8_t>* sink_ = nullptr;  // set while ReadAll runs
};

}  // namespace lumeno::platform
