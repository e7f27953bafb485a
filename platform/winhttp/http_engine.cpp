// One-time set-up of the HTTP engine and the per-thread last-error value of the WinHTTP layer.
#include <curl/curl.h>

#include <csignal>
#include <mutex>

#include "platform/winhttp/last_error.h"
#include "platform/winhttp/winhttp.h"

namespace lumeno::platform {
namespace {

thread_local DWORD lastError = 0;

}  // namespace

bool InitializeHttpEngine() {
    static std::once_flag once;
    static bool ready = false;
    std::call_once(once, [] {
        // A peer that closes its end must not kill the process on the next write.
        std::signal(SIGPIPE, SIG_IGN);
        ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    });
    return ready;
}

void SetWinHttpLastError(DWORD error) {
    lastError = error;
}

DWORD WinHttpLastError() {
    return lastError;
}

bool WinHttpCheckPlatform() {
    // The engine and its protocols do not change while the process runs: asked once.
    static const bool offered = [] {
        if (!InitializeHttpEngine()) return false;
        const curl_version_info_data* info = curl_version_info(CURLVERSION_NOW);
        if (info == nullptr || info->protocols == nullptr) return false;
        bool http = false, https = false;
        for (const char* const* p = info->protocols; *p != nullptr; ++p) {
            http = http || std::string_view(*p) == "http";
            https = https || std::string_view(*p) == "https";
        }
        return http && https;
    }();
    return offered;
}

}  // namespace lumeno::platform
