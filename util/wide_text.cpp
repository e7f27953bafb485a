// TextToWide / WideToText on the code page functions.
#include "util/wide_text.h"

#include <cstring>
#include <limits>

#include "platform/codepage/codepage.h"

namespace lumeno {

ByteSet TextToWide(const Text& text) {
    if (text.empty() || text.size() >= std::numeric_limits<int>::max() / 4) return {};
    int length = static_cast<int>(text.size());
    int units =
        platform::MultiByteToWideChar(platform::kCodePageGbk, 0, text.data(), length, nullptr, 0);
    if (units <= 0) return {};
    std::u16string wide(static_cast<std::size_t>(units), u'\0');
    platform::MultiByteToWideChar(platform::kCodePageGbk, 0, text.data(), length, wide.data(),
                                  units);
    ByteSet bytes((wide.size() + 1) * 2, 0);  // the terminating zero character stays zero
    std::memcpy(bytes.data(), wide.data(), wide.size() * 2);
    return bytes;
}

Text WideToText(const ByteSet& bytes) {
    std::size_t units = bytes.size() / 2;
    if (units == 0) return {};
    std::u16string wide(units, u'\0');
    std::memcpy(wide.data(), bytes.data(), units * 2);
    std::size_t end = wide.find(u'\0');
    if (end != std::u16string::npos) wide.resize(end);
    if (wide.empty() || wide.size() >= std::numeric_limits<int>::max() / 4) return {};
    int length = static_cast<int>(wide.size());
    int needed = platform::WideCharToMultiByte(platform::kCodePageGbk, platform::kWcCompositeCheck,
                                               wide.data(), length, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) return {};
    Text text(static_cast<std::size_t>(needed), '\0');
    platform::WideCharToMultiByte(platform::kCodePageGbk, platform::kWcCompositeCheck, wide.data(),
                                  length, text.data(), needed, nullptr, nullptr);
    return text;
}

}  // namespace lumeno
