// The fifteen WinHTTP handle functions, bound by name at run time from "Winhttp.dll" on first
// use. The shapes of platform/winhttp/winhttp.h are the functions' own (UTF-16 strings,
// opaque handles, 32-bit DWORDs, URL_COMPONENTS laid out as URL_COMPONENTSW), so the calls go
// through as they are. When the library or one of its functions is missing, every function
// fails with ERROR_PROC_NOT_FOUND and WinHttpCheckPlatform answers false.
#include "platform/windows/win32.h"

#include "platform/winhttp/winhttp.h"

#include <tuple>

namespace lumeno::platform {
namespace {

constexpr DWORD kErrorProcNotFound = 127;

struct WinHttpFunctions {
    BOOL(WINAPI* checkPlatform)();
    BOOL(WINAPI* crackUrl)(const char16_t*, DWORD, DWORD, URL_COMPONENTS*);
    HINTERNET(WINAPI* open)(const char16_t*, DWORD, const char16_t*, const char16_t*, DWORD);
    BOOL(WINAPI* setTimeouts)(HINTERNET, int, int, int, int);
    HINTERNET(WINAPI* connect)(HINTERNET, const char16_t*, INTERNET_PORT, DWORD);
    HINTERNET(WINAPI* openRequest)
    (HINTERNET, const char16_t*, const char16_t*, const char16_t*, const char16_t*,
     const char16_t**, DWORD);
    BOOL(WINAPI* setCredentials)(HINTERNET, DWORD, DWORD, const char16_t*, const char16_t*, void*);
    BOOL(WINAPI* setOption)(HINTERNET, DWORD, void*, DWORD);
    BOOL(WINAPI* addRequestHeaders)(HINTERNET, const char16_t*, DWORD, DWORD);
    BOOL(WINAPI* sendRequest)(HINTERNET, const char16_t*, DWORD, void*, DWORD, DWORD, DWORD_PTR);
    BOOL(WINAPI* receiveResponse)(HINTERNET, void*);
    BOOL(WINAPI* queryDataAvailable)(HINTERNET, DWORD*);
    BOOL(WINAPI* readData)(HINTERNET, void*, DWORD, DWORD*);
    BOOL(WINAPI* queryHeaders)(HINTERNET, DWORD, const char16_t*, void*, DWORD*, DWORD*);
    BOOL(WINAPI* closeHandle)(HINTERNET);

    bool complete = false;
};

// One function of the library: its exported name and the member that holds it.
template <class Function>
struct Binding {
    const char* name;
    Function WinHttpFunctions::*member;
};

constexpr std::tuple kBindings{
    Binding{"WinHttpCheckPlatform", &WinHttpFunctions::checkPlatform},
    Binding{"WinHttpCrackUrl", &WinHttpFunctions::crackUrl},
    Binding{"WinHttpOpen", &WinHttpFunctions::open},
    Binding{"WinHttpSetTimeouts", &WinHttpFunctions::setTimeouts},
    Binding{"WinHttpConnect", &WinHttpFunctions::connect},
    Binding{"WinHttpOpenRequest", &WinHttpFunctions::openRequest},
    Binding{"WinHttpSetCredentials", &WinHttpFunctions::setCredentials},
    Binding{"WinHttpSetOption", &WinHttpFunctions::setOption},
    Binding{"WinHttpAddRequestHeaders", &WinHttpFunctions::addRequestHeaders},
    Binding{"WinHttpSendRequest", &WinHttpFunctions::sendRequest},
    Binding{"WinHttpReceiveResponse", &WinHttpFunctions::receiveResponse},
    Binding{"WinHttpQueryDataAvailable", &WinHttpFunctions::queryDataAvailable},
    Binding{"WinHttpReadData", &WinHttpFunctions::readData},
    Binding{"WinHttpQueryHeaders", &WinHttpFunctions::queryHeaders},
    Binding{"WinHttpCloseHandle", &WinHttpFunctions::closeHandle},
};

template <class Function>
bool Bind(HMODULE module, const char* name, Function*& function) {
    function = reinterpret_cast<Function*>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
    return function != nullptr;
}

WinHttpFunctions LoadFunctions() {
    WinHttpFunctions f{};
    HMODULE module = ::LoadLibraryW(L"Winhttp.dll");
    if (module == nullptr) return f;
    // In the table's order, stopping at the first function the library lacks.
    f.complete = std::apply(
        [&](const auto&... binding) {
            return (Bind(module, binding.name, f.*binding.member) && ...);
        },
        kBindings);
    return f;
}

// Bound once, on the first call from any thread (a function-local static is thread-safe).
const WinHttpFunctions* Functions() {
    static const WinHttpFunctions functions = LoadFunctions();
    if (functions.complete) return &functions;
    ::SetLastError(kErrorProcNotFound);
    return nullptr;
}

// A success leaves 0 as the thread's last error, as the header promises for every function.
bool Report(BOOL ok) {
    if (ok) ::SetLastError(0);
    return ok != FALSE;
}
HINTERNET Report(HINTERNET handle) {
    if (handle != nullptr) ::SetLastError(0);
    return handle;
}

}  // namespace

bool InitializeHttpEngine() {
    return Functions() != nullptr;
}

DWORD WinHttpLastError() {
    return ::GetLastError();
}

bool WinHttpCheckPlatform() {
    const WinHttpFunctions* f = Functions();
    return f != nullptr && f->checkPlatform() != FALSE;
}

bool WinHttpCrackUrl(const char16_t* url, DWORD urlLength, DWORD flags,
                     URL_COMPONENTS* components) {
    const WinHttpFunctions* f = Functions();
    return f != nullptr && Report(f->crackUrl(url, urlLength, flags, components));
}

HINTERNET WinHttpOpen(const char16_t* userAgent, DWORD accessType, const char16_t* proxyName,
                      const char16_t* proxyBypass, DWORD flags) {
    const WinHttpFunctions* f = Functions();
    return f == nullptr ? nullptr
                        : Report(f->open(userAgent, accessType, proxyName, proxyBypass, flags));
}

bool WinHttpSetTimeouts(HINTERNET handle, int resolveTimeout, int connectTimeout, int sendTimeout,
                        int receiveTimeout) {
    const WinHttpFunctions* f = Functions();
    return f != nullptr && Report(f->setTimeouts(handle, resolveTimeout, connectTimeout,
                                                 sendTimeout, receiveTimeout));
}

HINTERNET WinHttpConnect(HINTERNET session, const char16_t* serverName, INTERNET_PORT serverPort,
                         DWORD reserved) {
    const WinHttpFunctions* f = Functions();
    return f == nullptr ? nullptr : Report(f->connect(session, serverName, serverPort, reserved));
}

HINTERNET WinHttpOpenRequest(HINTERNET connection, const char16_t* verb, const char16_t* objectName,
                             const char16_t* version, const char16_t* referrer,
                             const char16_t** acceptTypes, DWORD flags) {
    const WinHttpFunctions* f = Functions();
    return f == nullptr ? nullptr
                        : Report(f->openRequest(connection, verb, objectName, version, referrer,
                                                acceptTypes, flags));
}

bool WinHttpSetCredentials(HINTERNET request, DWORD authTargets, DWORD authScheme,
                           const char16_t* userName, const char16_t* password, void* authParams) {
    const WinHttpFunctions* f = Functions();
    return f != nullptr && Report(f->setCredentials(request, authTargets, authScheme, userName,
                                                    password, authParams));
}

bool WinHttpSetOption(HINTERNET handle, DWORD option, const void* buffer, DWORD bufferLength) {
    const WinHttpFunctions* f = Functions();
    // WinHTTP reads the option's buffer only; its prototype just lacks the const.
    return f != nullptr &&
           Report(f->setOption(handle, option, const_cast<void*>(buffer), bufferLength));
}

bool WinHttpAddRequestHeaders(HINTERNET request, const char16_t* headers, DWORD headersLength,
                              DWORD modifiers) {
    const WinHttpFunctions* f = Functions();
    return f != nullptr && Report(f->addRequestHeaders(request, headers, headersLength, modifiers));
}

bool WinHttpSendRequest(HINTERNET request, const char16_t* headers, DWORD headersLength,
                        const void* optional, DWORD optionalLength, DWORD totalLength,
                        std::uintptr_t context) {
    const WinHttpFunctions* f = Functions();
    // The body is only read, as above.
    return f != nullptr &&
           Report(f->sendRequest(request, headers, headersLength, const_cast<void*>(optional),
                                 optionalLength, totalLength, context));
}

bool WinHttpReceiveResponse(HINTERNET request, void* reserved) {
    const WinHttpFunctions* f = Functions();
    return f != nullptr && Report(f->receiveResponse(request, reserved));
}

bool WinHttpQueryDataAvailable(HINTERNET request, DWORD* available) {
    const WinHttpFunctions* f = Functions();
    return f != nullptr && Report(f->queryDataAvailable(request, available));
}

bool WinHttpReadData(HINTERNET request, void* buffer, DWORD bufferLength, DWORD* read) {
    const WinHttpFunctions* f = Functions();
    return f != nullptr && Report(f->readData(request, buffer, bufferLength, read));
}

bool WinHttpQueryHeaders(HINTERNET request, DWORD infoLevel, const char16_t* name, void* buffer,
                         DWORD* bufferLength, DWORD* index) {
    const WinHttpFunctions* f = Functions();
    return f != nullptr &&
           Report(f->queryHeaders(request, infoLevel, name, buffer, bufferLength, index));
}

bool WinHttpCloseHandle(HINTERNET handle) {
    const WinHttpFunctions* f = Functions();
    return f != nullptr && Report(f->closeHandle(handle));
}

}  // namespace lumeno::platform
