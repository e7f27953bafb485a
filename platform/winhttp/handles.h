// The objects behind WinHTTP handles (session, connection, request) and the process-wide table
// that hands them out, so that a stale or foreign handle is refused instead of dereferenced.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "platform/winhttp/curl_holders.h"
#include "platform/winhttp/last_error.h"
#include "platform/winhttp/transfer.h"
#include "platform/winhttp/winhttp.h"

namespace lumeno::platform {

enum class HandleKind { Session, Connection, Request };

}  // namespace lumeno::platform

struct lumeno::platform::WinHttpHandleObject {
    explicit WinHttpHandleObject(HandleKind k) : kind(k) {}
    virtual ~WinHttpHandleObject() = default;
    const HandleKind kind;
};

namespace lumeno::platform {

struct Timeouts {
    int resolve = 0;  // WinHTTP's defaults
    int connect = 60000;
    int send = 30000;
    int receive = 30000;
};

// The cookie store shared by the requests of one session, with the locks libcurl asks for. The
// store is made when a request of the session first keeps cookies: most sessions switch cookies
// off and never need one.
class CookieStore {
public:
    // The store, made on first use; null when libcurl cannot make one.
    CURLSH* Share();

    std::array<std::mutex, CURL_LOCK_DATA_LAST> locks;

private:
    std::once_flag made_;
    CurlShare share_;
};

struct Session : WinHttpHandleObject {
    Session() : WinHttpHandleObject(HandleKind::Session) {}
    std::string userAgent;
    std::string proxyList;  // empty: direct
    std::string bypassList;
    Timeouts timeouts;
    CookieStore cookies;
};

struct Connection : WinHttpHandleObject {
    Connection() : WinHttpHandleObject(HandleKind::Connection) {}
    std::shared_ptr<Session> session;
    std::string host;  // UTF-8
    INTERNET_PORT port = 0;
};

struct Request : WinHttpHandleObject {
    Request() : WinHttpHandleObject(HandleKind::Request) {}
    enum class State { Opened, Sent, Responded };

    std::shared_ptr<Connection> connection;
    std::string verb;
    std::string path;
    bool secure = false;
    Timeouts timeouts;
    std::vector<std::pair<std::string, std::string>> headers;
    bool serverCredentials = false;
    std::string serverUser, serverPassword;
    bool proxyCredentials = false;
    std::string proxyUser, proxyPassword;
    DWORD securityFlags = 0;
    DWORD disabledFeatures = 0;
    DWORD enabledFeatures = 0;
    State state = State::Opened;
    std::unique_ptr<Transfer> transfer;
};

// Registers an object and returns its handle.
HINTERNET AddHandle(std::shared_ptr<WinHttpHandleObject> object);
// The live object of that kind behind a handle; null (with the last error set) otherwise.
std::shared_ptr<WinHttpHandleObject> FindHandle(HINTERNET handle);
template <class T>
std::shared_ptr<T> FindHandleAs(HINTERNET handle, HandleKind kind) {
    auto object = FindHandle(handle);
    if (!object) return nullptr;
    if (object->kind != kind) {
        SetWinHttpLastError(ERROR_WINHTTP_INCORRECT_HANDLE_TYPE);
        return nullptr;
    }
    return std::static_pointer_cast<T>(object);
}
// Drops the table's reference; false for an unknown handle.
bool RemoveHandle(HINTERNET handle);

// The rest of a responded request's body appended to *body as it arrives, for the request object
// of this layer, which holds the whole body anyway: the loop of WinHttpQueryDataAvailable and
// WinHttpReadData without its copy through the caller's buffer. Fails as WinHttpReadData does;
// what arrived stays in *body.
bool ReadWholeBody(HINTERNET request, std::vector<std::uint8_t>* body);

}  // namespace lumeno::platform
