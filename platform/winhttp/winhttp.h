// The WinHTTP handle functions with their Windows shapes (UTF-16 strings, session / connection /
// request handles, option numbers, URL_COMPONENTS), built on libcurl. Every function reports
// failure through its result and leaves the reason in WinHttpLastError() (ERROR_WINHTTP_* codes).
#pragma once

#include <cstdint>

namespace lumeno::platform {

using DWORD = std::uint32_t;
using INTERNET_PORT = std::uint16_t;
using INTERNET_SCHEME = int;

struct WinHttpHandleObject;
using HINTERNET = WinHttpHandleObject*;

// ---- Constants ----------------------------------------------------------------------------

inline constexpr INTERNET_SCHEME INTERNET_SCHEME_HTTP = 1;
inline constexpr INTERNET_SCHEME INTERNET_SCHEME_HTTPS = 2;
inline constexpr INTERNET_PORT INTERNET_DEFAULT_HTTP_PORT = 80;
inline constexpr INTERNET_PORT INTERNET_DEFAULT_HTTPS_PORT = 443;

inline constexpr DWORD WINHTTP_ACCESS_TYPE_DEFAULT_PROXY = 0;
inline constexpr DWORD WINHTTP_ACCESS_TYPE_NO_PROXY = 1;
inline constexpr DWORD WINHTTP_ACCESS_TYPE_NAMED_PROXY = 3;
inline constexpr DWORD WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY = 4;

inline constexpr DWORD WINHTTP_FLAG_SECURE = 0x00800000;

inline constexpr DWORD WINHTTP_AUTH_TARGET_SERVER = 0;
inline constexpr DWORD WINHTTP_AUTH_TARGET_PROXY = 1;
inline constexpr DWORD WINHTTP_AUTH_SCHEME_BASIC = 1;

inline constexpr DWORD WINHTTP_OPTION_SECURITY_FLAGS = 31;
inline constexpr DWORD WINHTTP_OPTION_DISABLE_FEATURE = 63;
inline constexpr DWORD WINHTTP_OPTION_ENABLE_FEATURE = 79;

inline constexpr DWORD SECURITY_FLAG_IGNORE_UNKNOWN_CA = 0x00000100;
inline constexpr DWORD SECURITY_FLAG_IGNORE_CERT_WRONG_USAGE = 0x00000200;
inline constexpr DWORD SECURITY_FLAG_IGNORE_CERT_CN_INVALID = 0x00001000;
inline constexpr DWORD SECURITY_FLAG_IGNORE_CERT_DATE_INVALID = 0x00002000;

inline constexpr DWORD WINHTTP_DISABLE_COOKIES = 0x00000001;
inline constexpr DWORD WINHTTP_DISABLE_REDIRECTS = 0x00000002;
inline constexpr DWORD WINHTTP_DISABLE_AUTHENTICATION = 0x00000004;
inline constexpr DWORD WINHTTP_DISABLE_KEEP_ALIVE = 0x00000008;
inline constexpr DWORD WINHTTP_ENABLE_SSL_REVOCATION = 0x00000001;

inline constexpr DWORD WINHTTP_ADDREQ_FLAG_ADD_IF_NEW = 0x10000000;
inline constexpr DWORD WINHTTP_ADDREQ_FLAG_ADD = 0x20000000;
inline constexpr DWORD WINHTTP_ADDREQ_FLAG_REPLACE = 0x80000000;

inline constexpr DWORD WINHTTP_QUERY_STATUS_CODE = 19;
inline constexpr DWORD WINHTTP_QUERY_STATUS_TEXT = 20;
inline constexpr DWORD WINHTTP_QUERY_RAW_HEADERS_CRLF = 22;
inline constexpr DWORD WINHTTP_QUERY_FLAG_NUMBER = 0x20000000;

// Last-error values (the Windows numbers).
inline constexpr DWORD ERROR_INVALID_HANDLE = 6;
inline constexpr DWORD ERROR_INVALID_PARAMETER = 87;
inline constexpr DWORD ERROR_INSUFFICIENT_BUFFER = 122;
inline constexpr DWORD ERROR_WINHTTP_TIMEOUT = 12002;
inline constexpr DWORD ERROR_WINHTTP_INTERNAL_ERROR = 12004;
inline constexpr DWORD ERROR_WINHTTP_INVALID_URL = 12005;
inline constexpr DWORD ERROR_WINHTTP_UNRECOGNIZED_SCHEME = 12006;
inline constexpr DWORD ERROR_WINHTTP_NAME_NOT_RESOLVED = 12007;
inline constexpr DWORD ERROR_WINHTTP_INVALID_OPTION = 12009;
inline constexpr DWORD ERROR_WINHTTP_OPERATION_CANCELLED = 12017;
inline constexpr DWORD ERROR_WINHTTP_INCORRECT_HANDLE_TYPE = 12018;
inline constexpr DWORD ERROR_WINHTTP_INCORRECT_HANDLE_STATE = 12019;
inline constexpr DWORD ERROR_WINHTTP_CANNOT_CONNECT = 12029;
inline constexpr DWORD ERROR_WINHTTP_CONNECTION_ERROR = 12030;
inline constexpr DWORD ERROR_WINHTTP_HEADER_NOT_FOUND = 12150;
inline constexpr DWORD ERROR_WINHTTP_INVALID_SERVER_RESPONSE = 12152;
inline constexpr DWORD ERROR_WINHTTP_INVALID_HEADER = 12153;
inline constexpr DWORD ERROR_WINHTTP_SECURE_FAILURE = 12175;

// ---- Records ------------------------------------------------------------------------------

// A component whose length is -1 (0xFFFFFFFF) and pointer null is answered with a pointer into
// the URL and its length in characters; a component with a buffer and a non-zero length gets a
// zero-terminated copy; a zero length leaves it out.
struct URL_COMPONENTS {
    DWORD dwStructSize = 0;
    char16_t* lpszScheme = nullptr;
    DWORD dwSchemeLength = 0;
    INTERNET_SCHEME nScheme = 0;
    char16_t* lpszHostName = nullptr;
    DWORD dwHostNameLength = 0;
    INTERNET_PORT nPort = 0;
    char16_t* lpszUserName = nullptr;
    DWORD dwUserNameLength = 0;
    char16_t* lpszPassword = nullptr;
    DWORD dwPasswordLength = 0;
    char16_t* lpszUrlPath = nullptr;
    DWORD dwUrlPathLength = 0;
    char16_t* lpszExtraInfo = nullptr;
    DWORD dwExtraInfoLength = 0;
};

// ---- Engine -------------------------------------------------------------------------------

// Sets the HTTP engine up once per process (curl_global_init, SIGPIPE ignored). Call from main
// before any thread starts; later calls do nothing. WinHttpOpen calls it as well.
bool InitializeHttpEngine();

// The reason for the calling thread's last failed WinHTTP call; 0 after a success.
DWORD WinHttpLastError();

// ---- The handle functions -----------------------------------------------------------------

bool WinHttpCheckPlatform();

// urlLength 0: the URL is zero-terminated. Only http and https URLs are accepted.
bool WinHttpCrackUrl(const char16_t* url, DWORD urlLength, DWORD flags, URL_COMPONENTS* components);

// proxyName is a WinHTTP proxy list: entries "[<scheme>=][<scheme>://]<server>[:<port>]"
// separated by ';' or spaces. proxyBypass: host names (or "<local>") that go direct.
HINTERNET WinHttpOpen(const char16_t* userAgent, DWORD accessType, const char16_t* proxyName,
                      const char16_t* proxyBypass, DWORD flags);

// On a session (applies to the requests opened afterwards) or on a request. Values in ms;
// 0 or -1 means no limit. Resolve and connect bound the connection set-up together; send and
// receive are idle limits that restart whenever bytes move.
bool WinHttpSetTimeouts(HINTERNET handle, int resolveTimeout, int connectTimeout, int sendTimeout,
                        int receiveTimeout);

HINTERNET WinHttpConnect(HINTERNET session, const char16_t* serverName, INTERNET_PORT serverPort,
                         DWORD reserved);

HINTERNET WinHttpOpenRequest(HINTERNET connection, const char16_t* verb, const char16_t* objectName,
                             const char16_t* version, const char16_t* referrer,
                             const char16_t** acceptTypes, DWORD flags);

// Only the Basic scheme is offered.
bool WinHttpSetCredentials(HINTERNET request, DWORD authTargets, DWORD authScheme,
                           const char16_t* userName, const char16_t* password, void* authParams);

// Options 31 (security flags), 63 (disable feature), 79 (enable feature), each a 32-bit value.
bool WinHttpSetOption(HINTERNET handle, DWORD option, const void* buffer, DWORD bufferLength);

// headersLength (DWORD)-1: zero-terminated. Lines separated by CR LF; empty lines are skipped, a
// line without a colon fails with ERROR_WINHTTP_INVALID_HEADER. ADD appends; REPLACE gives the
// first header of the name the new value in place (empty: removes it) and drops the others, and
// adds an absent one only together with ADD; ADD_IF_NEW fails when the name is already there.
bool WinHttpAddRequestHeaders(HINTERNET request, const char16_t* headers, DWORD headersLength,
                              DWORD modifiers);

// Connects and sends the request; fails when the host cannot be resolved, reached or the request
// cannot be sent in time. The body is copied.
bool WinHttpSendRequest(HINTERNET request, const char16_t* headers, DWORD headersLength,
                        const void* optional, DWORD optionalLength, DWORD totalLength,
                        std::uintptr_t context);

// Waits for the final response's headers (redirects followed unless disabled); fails when none
// arrive within the receive timeout or the connection ends before them.
bool WinHttpReceiveResponse(HINTERNET request, void* reserved);

// Waits until body bytes are ready or the body ended (*available 0). Fails when the connection
// broke and no received byte is left to deliver.
bool WinHttpQueryDataAvailable(HINTERNET request, DWORD* available);

// Copies up to bufferLength body bytes; *read 0 at the end of the body. Every byte that arrived
// is delivered before a broken connection makes it fail.
bool WinHttpReadData(HINTERNET request, void* buffer, DWORD bufferLength, DWORD* read);

// WINHTTP_QUERY_RAW_HEADERS_CRLF: the final response's status line and header lines, each ended
// by CR LF, then an empty line, as UTF-16. WINHTTP_QUERY_STATUS_CODE (with FLAG_NUMBER: a DWORD)
// and WINHTTP_QUERY_STATUS_TEXT. A missing or small buffer fails with ERROR_INSUFFICIENT_BUFFER
// and sets *bufferLength to the bytes needed, terminating zero included.
bool WinHttpQueryHeaders(HINTERNET request, DWORD infoLevel, const char16_t* name, void* buffer,
                         DWORD* bufferLength, DWORD* index);

// Closes any handle; a request's transfer is abandoned. A null or unknown handle fails.
bool WinHttpCloseHandle(HINTERNET handle);

}  // namespace lumeno::platform
