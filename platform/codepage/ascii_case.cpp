// The ASCII case-insensitive comparison of UTF-16 strings, the same on every platform.
#include "platform/codepage/codepage.h"

namespace lumeno::platform {

bool EqualsAsciiIgnoreCase(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char16_t x = a[i], y = b[i];
        if (x >= u'A' && x <= u'Z') x = static_cast<char16_t>(x + 32);
        if (y >= u'A' && y <= u'Z') y = static_cast<char16_t>(y + 32);
        if (x != y) return false;
    }
    return true;
}

}  // namespace lumeno::platform
