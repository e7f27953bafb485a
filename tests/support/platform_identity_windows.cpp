// What the platform is on Windows: the system's own pieces. Wine's ntdll says which Wine it is;
// Windows' own ntdll has no such function.
#include "tests/support/platform_gaps.h"

#include <windows.h>

namespace lumeno {

bool RunsOnOurStandIns() {
    return false;
}

std::string WineVersion() {
    using VersionFn = const char*(__cdecl*)();
    HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    if (ntdll == nullptr) return {};
    auto version = reinterpret_cast<VersionFn>(
        reinterpret_cast<void*>(::GetProcAddress(ntdll, "wine_get_version")));
    const char* text = version != nullptr ? version() : nullptr;
    return text != nullptr ? std::string(text) : std::string();
}

}  // namespace lumeno
