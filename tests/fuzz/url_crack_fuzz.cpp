// WinHttpCrackUrl on any UTF-16 address. Asked for pointers, every part it answers lies inside
// the address, the path and extra information run on to its end, the host is never empty and
// the port is a real one. Asked for copies into buffers of any size (each exactly as large as
// said, so an overrun is caught), it either copies the same parts, zero-terminated, or refuses
// with ERROR_INSUFFICIENT_BUFFER.
#include <array>
#include <string>
#include <vector>

#include "platform/codepage/codepage.h"
#include "platform/winhttp/winhttp.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

using namespace lumeno::platform;

constexpr DWORD kAskForPointer = 0xFFFFFFFF;
constexpr std::size_t kMaxUnits = 1024;

struct Part {
    char16_t* URL_COMPONENTS::*pointer;
    DWORD URL_COMPONENTS::*length;
};
constexpr std::array<Part, 6> kParts = {{
    {&URL_COMPONENTS::lpszScheme, &URL_COMPONENTS::dwSchemeLength},
    {&URL_COMPONENTS::lpszHostName, &URL_COMPONENTS::dwHostNameLength},
    {&URL_COMPONENTS::lpszUserName, &URL_COMPONENTS::dwUserNameLength},
    {&URL_COMPONENTS::lpszPassword, &URL_COMPONENTS::dwPasswordLength},
    {&URL_COMPONENTS::lpszUrlPath, &URL_COMPONENTS::dwUrlPathLength},
    {&URL_COMPONENTS::lpszExtraInfo, &URL_COMPONENTS::dwExtraInfoLength},
}};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    lumeno::fuzz::FuzzInput in(data, size);
    const std::uint8_t mode = in.Byte();
    std::array<std::size_t, 6> bufferSizes{};
    for (std::size_t& s : bufferSizes) s = in.Byte() % 48;
    const std::string rest = in.RestText();
    std::u16string url;
    if (mode & 1) {
        url = GbkToUtf16(rest);  // the way WebRequest hands its text over
    } else {
        for (std::size_t i = 0; i + 1 < rest.size(); i += 2) {
            url += static_cast<char16_t>(static_cast<unsigned char>(rest[i]) |
                                         static_cast<unsigned char>(rest[i + 1]) << 8);
        }
    }
    if (url.size() > kMaxUnits) url.resize(kMaxUnits);
    // Zero-terminated when the length is not given: the address ends at its first zero unit.
    const bool zeroTerminated = (mode & 2) != 0;
    std::vector<char16_t> owned(url.begin(), url.end());
    owned.push_back(0);
    const char16_t* begin = owned.data();
    const std::size_t length = zeroTerminated ? std::u16string(begin).size() : url.size();
    if (!zeroTerminated && length == 0) return 0;  // length 0 means zero-terminated
    const char16_t* end = begin + length;

    URL_COMPONENTS pointers{};
    pointers.dwStructSize = sizeof pointers;
    for (const Part& part : kParts) pointers.*part.length = kAskForPointer;
    const bool cracked =
        WinHttpCrackUrl(begin, zeroTerminated ? 0 : static_cast<DWORD>(length), 0, &pointers);
    if (cracked) {
        for (const Part& part : kParts) {
            const char16_t* p = pointers.*part.pointer;
            FUZZ_CHECK(p != nullptr && p >= begin && p <= end);
            FUZZ_CHECK(pointers.*part.length <= static_cast<std::size_t>(end - p));
        }
        FUZZ_CHECK(pointers.dwHostNameLength > 0);
        FUZZ_CHECK(pointers.nPort != 0);
        FUZZ_CHECK(pointers.nScheme == INTERNET_SCHEME_HTTP ||
                   pointers.nScheme == INTERNET_SCHEME_HTTPS);
        FUZZ_CHECK(pointers.lpszScheme == begin);
        FUZZ_CHECK(pointers.lpszUrlPath + pointers.dwUrlPathLength == pointers.lpszExtraInfo);
        FUZZ_CHECK(pointers.lpszExtraInfo + pointers.dwExtraInfoLength == end);
        FUZZ_CHECK(pointers.dwUrlPathLength == 0 || pointers.lpszUrlPath[0] == u'/');
        FUZZ_CHECK(pointers.dwExtraInfoLength == 0 || pointers.lpszExtraInfo[0] == u'?' ||
                   pointers.lpszExtraInfo[0] == u'#');
    }

    std::array<std::vector<char16_t>, 6> buffers;
    URL_COMPONENTS copies{};
    copies.dwStructSize = sizeof copies;
    for (std::size_t i = 0; i < kParts.size(); ++i) {
        buffers[i].resize(bufferSizes[i]);
        copies.*kParts[i].pointer = buffers[i].empty() ? nullptr : buffers[i].data();
        copies.*kParts[i].length = static_cast<DWORD>(bufferSizes[i]);
    }
    const bool copied =
        WinHttpCrackUrl(begin, zeroTerminated ? 0 : static_cast<DWORD>(length), 0, &copies);
    if (!cracked) {
        FUZZ_CHECK(!copied);
        return 0;
    }
    if (!copied) {
        FUZZ_CHECK(WinHttpLastError() == ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    for (std::size_t i = 0; i < kParts.size(); ++i) {
        if (buffers[i].empty()) continue;
        const DWORD n = copies.*kParts[i].length;
        FUZZ_CHECK(n == pointers.*kParts[i].length);
        FUZZ_CHECK(n < buffers[i].size() && buffers[i][n] == 0);
        FUZZ_CHECK(std::u16string(buffers[i].data(), n) ==
                   std::u16string(pointers.*kParts[i].pointer, n));
    }
    return 0;
}
